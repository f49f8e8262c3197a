#include "HostileImages.h"
#include "ProjectTestUtil.h"
#include "project/ClipTable.h"
#include "project/ProjectContainer.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "services/IniFile.h"
#include "services/Messages.h"

#include <QDir>
#include <QScopeGuard>

#include <optional>

using namespace ProjectTestUtil;
using namespace TestSupport;
using Reader = ProjectReader::LoadStatus;
using Writer = ProjectWriter::SaveResult;
Q_DECLARE_METATYPE(ClipTable::Clip)
Q_DECLARE_METATYPE(ProjectReader::LoadStatus)

// Saving and loading whole projects: the writer, the reader and their scratch folders.
class ProjectFileTest final : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_root; // per test; the temp folder is m_root + "temp/"
    QString m_temp;

private Q_SLOTS:
    void init() {
        m_root = testFolder(m_dir);
        m_temp = m_root + QStringLiteral("temp/");
        QVERIFY(QDir().mkpath(m_temp));
        Messages::takeShown();
    }

    void roundTrip_data() {
        columns<ClipTable::Clip, int, QString>("clip", "method", "loadedData");
        const auto row = [](const char* tag, const QString& format, const QString& text, const QString& data,
                            const QImage& picture, int method, const QString& loadedData) {
            const ClipTable::Clip clip{format, text, data, picture, format != ClipTable::TxtSimple};
            QTest::newRow(tag) << clip << method << loadedData;
        };
        const QString s = ClipTable::TxtSimple, l = ClipTable::TxtLong, r = ClipTable::Rtf, i = ClipTable::Img;
        const QString euro = QString::fromUtf8("Gr\u00fc\u00dfe \u20ac");
        const QString rtf = QStringLiteral("{\\rtf1\\ansi a\\par\r\n}\r\n");
        row("simple", s, "abc", "", {}, 2, "");
        row("simple, code page", s, euro, "", {}, 3, "");
        row("simple, a line feed in it", s, "a\nMethod = 9", "", {}, 4, ""); // the index keeps its first line only
        row("long, inner empty line", l, "cap", "x\r\n\r\ny", {}, 255, "x\r\n\r\ny");
        row("long, lone CR and LF", l, "cap", "a\rb\nc", {}, 1, "a\r\nb\nc");
        row("rtf", r, "doc", rtf, {}, 2, rtf);
        row("picture", i, "pic", "", pattern(37, 11, 5), 3, "");
        row("picture with alpha", i, "pic", "", pattern(4, 4, 9).convertToFormat(QImage::Format_ARGB32), 3, "");
    }
    void roundTrip() {
        const auto [clip, method, loadedData] = fetch<ClipTable::Clip, int, QString>("clip", "method", "loadedData");
        ClipTable saved;
        saved.setClip(17, clip);
        saved.ClipMethod[17] = quint8(method);
        QCOMPARE(ProjectWriter::save(saved, m_root + "p.zp", m_temp), Writer::Saved);
        ClipTable loaded;
        loaded.setClip(3, {ClipTable::TxtLong, "old", "old", {}, true});
        QCOMPARE(ProjectReader::load(m_root + "p.zp", m_temp, loaded).status, Reader::Loaded);
        const ClipTable::Clip& back = loaded.clip(17);
        QCOMPARE(QStringList({back.format, back.text, back.data}), QStringList({clip.format, clip.text, loadedData}));
        QCOMPARE(back.locked, clip.locked);
        QCOMPARE(back.picture.convertToFormat(QImage::Format_RGB888),
                 clip.picture.convertToFormat(QImage::Format_RGB888));
        QCOMPARE(int(loaded.ClipMethod[17]), method);
        QVERIFY(loaded.isEmptyClip(3));
        QCOMPARE(Messages::takeShown().size(), 0);
    }

    // Saved byte for byte, row 1 focused with its placeholder cleared. The empty-row marker is stored as raw bytes
    // and recognised before decoding, also where the code page has no no-break space (932, 950) or reads "A0 A0"
    // as one character (936, 949).
    void savedBytes_data() {
        QTest::addColumn<QByteArray>("codePage");
        for (const char* cp : {"1252", "932", "936", "949", "950"})
            QTest::newRow(cp) << QByteArray(cp);
    }
    void savedBytes() {
        QFETCH(QByteArray, codePage);
        const QByteArray before = qgetenv("ZOLPANE_CODEPAGE");
        qputenv("ZOLPANE_CODEPAGE", codePage);
        const auto restore = qScopeGuard([&] { qputenv("ZOLPANE_CODEPAGE", before); });
        ClipTable table;
        table.setText(1, QString());
        table.setText(2, QStringLiteral("two"));
        QCOMPARE(ProjectWriter::save(table, m_root + "p.zp", m_temp), Writer::Saved);
        QByteArray index;
        QList<QPair<QByteArray, QByteArray>> members;
        for (int i = 1; i <= 30; ++i) {
            const QByteArray text = i == 1 ? "" : i == 2 ? "two" : "Empty\xA0\xA0\xA0\xA0\xA0\xA0";
            index +=
                "[Clip" + QByteArray::number(i) + "]\r\nFormat = TXT-SIMPLE\r\nName = " + text + "\r\nMethod = 1\r\n";
            members.append({"clip" + QByteArray::number(i) + ".dat", text + "\r\n"});
        }
        members.prepend({"zp.ini", index});
        QCOMPARE(readFile(m_root + "p.zp"), container(members));
        QCOMPARE(tree(m_temp), QStringList());
        ClipTable loaded;
        loaded.setText(1, QStringLiteral("old"));
        QCOMPARE(ProjectReader::load(m_root + "p.zp", m_temp, loaded).status, Reader::Loaded);
        for (int i = 1; i <= ClipTable::ClipCount; ++i) {
            QCOMPARE(loaded.clip(i).text, i == 2 ? QStringLiteral("two") : ClipTable::EmptyClipText);
            QCOMPARE(loaded.isEmptyClip(i), i != 2);
        }
    }

    void readerGoldens_data() {
        columns<QByteArray, int, QStringList, int>("bytes", "clip", "expected", "method");
        // Rows: an index, one more member, and what the clip then holds: format, text, data, method (9 before).
        const auto row = [](const char* tag, const QByteArray& index, const QByteArray& member, const QByteArray& bytes,
                            int clip, const QString& format, const QString& text, const QString& data, int method) {
            QTest::newRow(tag) << container({{"zp.ini", index}, {member, bytes}}) << clip
                               << QStringList{format, text, data} << method;
        };
        const QString s = ClipTable::TxtSimple, l = ClipTable::TxtLong, empty = ClipTable::EmptyClipText;
        const QByteArray longIndex = "[Clip4]\r\nFormat = TXT-LONG\r\nName = L\r\n";
        const QByteArray simpleIndex = "[Clip5]\r\nFormat = TXT-SIMPLE\r\nName = ignored\r\n";
        row("lower-case rtf", "[Clip2]\r\nFormat = rtf\r\nName = Doc\r\nMethod = 2\r\n", "clip2.dat", "{\\rtf1 hi}\r\n",
            2, ClipTable::Rtf, "Doc", "{\\rtf1 hi}", 2);
        row("missing format", "[Clip3]\r\nName = Hello\r\nMethod = 4\r\n", "clip3.dat", "x\r\n", 3, s, "Hello", "", 4);
        row("unknown format", "[Clip3]\r\nFormat = PNG\r\nName = Pic\r\n", "clip3.dat", "", 3, s, "Pic", "", 9);
        row("unknown format, name of two lines", "[Clip3]\r\nFormat = PNG\r\nName = one\rtwo\r\n", "clip3.dat", "", 3,
            s, "one", "", 9);
        row("long, leading empty lines", longIndex, "clip4.dat", "\r\n\r\nfirst\r\nsecond\r\n", 4, l, "L",
            "first\r\nsecond", 9);
        row("long, ends with CR LF", longIndex, "clip4.dat", "body\r\n\r\n", 4, l, "L", "body\r\n", 9);
        row("long, data missing", longIndex, "clip5.dat", "x", 4, l, "L", "", 9);
        row("simple, first line only", simpleIndex, "clip5.dat", "one\rtwo\r\n", 5, s, "one", "", 9);
        row("simple, data missing", simpleIndex, "x", "", 5, s, empty, "", 9);
        row("picture, data damaged", "[Clip6]\r\nFormat = IMG\r\nName = P\r\n", "clip6.dat", "BM!", 6, ClipTable::Img,
            "P", "", 9);
        // 76 bytes claiming 2,162,691 x 2 pixels, top-down (a negative height).
        row("picture, far larger than its file", "[Clip6]\r\nFormat = IMG\r\nName = P\r\n", "clip6.dat",
            QByteArray::fromHex("424d4e00000000000000360000002800000003002100feffffff01001800000000000000080018000000"
                                "130b0000130b000000000000000000000000ff00ff000000000000ff0000ff000000"),
            6, ClipTable::Img, "P", "", 9);
        for (const qint32 height : {100'000, -100'000})
            row(height > 0 ? "picture claiming 100,000 x 100,000" : "picture claiming 100,000 x 100,000, top-down",
                "[Clip6]\r\nFormat = IMG\r\nName = P\r\n", "clip6.dat", HostileImages::bmpClaiming(100'000, height), 6,
                ClipTable::Img, "P", "", 9);
        row("names in capitals", "[CLIP7]\r\nFORMAT=txt-long\r\nNAME=N\r\n", "CLIP7.DAT", "t\r\n", 7, l, "N", "t", 9);
        row("later member wins", "[Clip9]\r\nName = A\r\n", "ZP.ini", "[Clip9]\r\nName = B\r\n", 9, s, "B", "", 9);
        row("method rounds to even", "[Clip8]\r\nMethod = 2.5\r\n", "", "", 8, s, empty, "", 2);
        row("method hexadecimal", "[Clip8]\r\nMethod = &H0A\r\n", "", "", 8, s, empty, "", 10);
        row("method not a number", "[Clip8]\r\nMethod = fast\r\n", "", "", 8, s, empty, "", 9);
        row("method out of range", "[Clip8]\r\nMethod = 256\r\n", "", "", 8, s, empty, "", 9);
    }
    void readerGoldens() {
        const auto [bytes, clip] = fetch<QByteArray, int>("bytes", "clip");
        ClipTable table;
        table.ClipMethod.fill(9);
        table.setClip(clip, {ClipTable::Rtf, "before", "before", pattern(2, 2, 1), true});
        ProjectReader::read(bytes, table);
        const ClipTable::Clip& read = table.clip(clip);
        QTEST(QStringList({read.format, read.text, read.data}), "expected");
        QCOMPARE(read.locked, read.format != ClipTable::TxtSimple);
        QVERIFY(read.picture.isNull());
        QTEST(int(table.ClipMethod[size_t(clip)]), "method");
        for (int i = 1; i <= 30; ++i)
            QVERIFY(i == clip || table.isEmptyClip(i));
    }

    // The one-pass index gives what the INI reader gives on the whole text.
    void indexMatchesIniReader_data() {
        QTest::addColumn<QByteArray>("index");
        QTest::newRow("plain") << QByteArray("[Clip1]\r\nFormat = RTF\r\nName = a b \r\nMethod = 3\r\n");
        QTest::newRow("first section and key win")
            << QByteArray("[clip2]\nname=x\nNAME=y\n[Clip2]\nName=z\n[Clip1]\n[CLIP1]\nFormat=IMG\n");
        QTest::newRow("quotes, comments, blanks")
            << QByteArray("  [ Clip1 ] junk\r\n;Name=c\r\n Name =\t\"quoted\" \r\n\r\nFormat='x\r\nMethod==5\r\n");
        QTest::newRow("no header, bad headers") << QByteArray("Name=a\n[Clip01]\nName=b\n[Clip3\nName=c\n[]\nName=d\n");
        QTest::newRow("lone CR, no line end") << QByteArray("[Clip2]\rName=a\n[Clip3]\r\nName=") + QByteArray(300, 'v');
        QTest::newRow("other sections") << QByteArray("[Clip31]\nName=a\n[Clip2]\n[General]\nName=b\n");
    }
    void indexMatchesIniReader() {
        QFETCH(QByteArray, index);
        const ProjectReader::Index reduced(index);
        for (int i = 1; i <= 3; ++i)
            for (const QByteArray key : {"Format", "Name", "Method"})
                QCOMPARE(reduced.value(i, key), IniFile::readValue(index, "Clip" + QByteArray::number(i), key));
    }

    // Cut anywhere, a project unpacks with error 62 and loads without harm: every clip is empty or as saved,
    // partly at most; cut within its index it is no project. Reading the bytes from memory gives the same table.
    void truncatedProject() {
        ClipTable saved;
        saved.setClip(1, {ClipTable::TxtLong, "long", "a\r\nb", {}, true});
        saved.setClip(2, {ClipTable::Img, "pic", "", pattern(3, 2, 1), true});
        saved.setText(3, "simple");
        saved.ClipMethod[3] = 7;
        QCOMPARE(ProjectWriter::save(saved, m_root + "full.zp", m_temp), Writer::Saved);
        const QByteArray full = readFile(m_root + "full.zp");
        const qsizetype indexEnd = 16 + ProjectWriter::indexContent(saved).size(); // the count, then zp.ini
        for (qsizetype cut = 0; cut <= full.size(); cut += cut < 400 || cut + 7 > full.size() ? 1 : 7) {
            ClipTable loaded, read;
            QVERIFY(writeFile(m_root + "p.zp", full.left(cut)));
            QList<ProjectContainer::Member> members;
            QCOMPARE(ProjectContainer::ReadMembers(m_root + "p.zp", &members).error, cut == full.size() ? 0 : 62);
            QCOMPARE(ProjectReader::load(m_root + "p.zp", m_temp, loaded).status,
                     cut < indexEnd ? Reader::NotAProject : Reader::Loaded);
            ProjectReader::read(full.left(cut), read);
            for (int i = 1; i <= 30; ++i) {
                const ClipTable::Clip& c = loaded.clip(i);
                QVERIFY(loaded.isEmptyClip(i) || c.format == saved.clip(i).format);
                QVERIFY(c.data.isEmpty() || c.data == saved.clip(i).data);
                QVERIFY(c.picture.isNull() || c.picture.size() == QSize(3, 2));
                const ClipTable::Clip& r = read.clip(i);
                QCOMPARE(QStringList({r.format, r.text, r.data}), QStringList({c.format, c.text, c.data}));
                QCOMPARE(r.picture, c.picture);
                QCOMPARE(r.locked, c.locked);
                QCOMPARE(read.ClipMethod[size_t(i)], loaded.ClipMethod[size_t(i)]);
            }
            QCOMPARE(tree(m_temp), QStringList());
        }
    }

    // Paths that hold no project, which leave the table as it was, and a project whose index is 4 MB of empty lines
    // (error 0: it loads).
    void oddFiles_data() {
        columns<QString, Reader, int>("kind", "status", "error");
        QTest::newRow("no file") << "missing" << Reader::Missing << ENOENT;
        QTest::newRow("folder") << "folder" << Reader::Missing << EISDIR;
        QTest::newRow("pipe, not waited for") << "fifo" << Reader::Missing << EINVAL;
        QTest::newRow("/dev/zero, not read") << "/dev/zero" << Reader::Missing << EINVAL;
        QTest::newRow("zeros, as an ISO image begins") << "zeros" << Reader::NotAProject << 62;
        QTest::newRow("container of no members") << "empty container" << Reader::NotAProject << 62;
        QTest::newRow("container without index") << "no index" << Reader::NotAProject << 62;
        QTest::newRow("index of empty lines") << "project" << Reader::Loaded << 0;
    }
    void oddFiles() {
        const auto [kind, status, error] = fetch<QString, Reader, int>("kind", "status", "error");
        QVERIFY(QDir().mkpath(m_root + "elsewhere"));
        // A link planted where the scratch folder goes must not lead the unpacking elsewhere.
        QFile::link(m_root + "elsewhere", m_temp + "zpload");
        const QString path = kind == "missing" || kind == "project" ? m_root + "p.zp" : notAProject(m_root, kind);
        if (kind == "project")
            writeFile(path, container({{"zp.ini", QByteArray(4 << 20, '\n') + "[Clip1]\r\nFormat = TXT-LONG\r\n"}}));
        ClipTable table;
        table.setText(4, "kept");
        const ProjectReader::LoadResult loaded = ProjectReader::load(path, m_temp, table);
        QCOMPARE(loaded.status, status);
        QCOMPARE(loaded.error.error, error);
        QCOMPARE(table.clip(4).text, error ? QStringLiteral("kept") : ClipTable::EmptyClipText);
        QCOMPARE(table.clip(1).format, error ? ClipTable::TxtSimple : ClipTable::TxtLong);
        QCOMPARE(tree(m_root + "elsewhere/"), QStringList());
        if (status != Reader::Missing)
            QCOMPARE(tree(m_temp), QStringList());
    }

    // A second load while one runs is refused; a save meanwhile is not.
    void guards() {
        ClipTable saved;
        saved.setText(2, "two");
        QCOMPARE(ProjectWriter::save(saved, m_root + "p.zp", m_temp), Writer::Saved);
        ClipTable table;
        QList<Reader> nested;
        QList<Writer> saves;
        connect(&table, &ClipTable::clipChanged, this, [&](int i) {
            if (i == 2 && nested.isEmpty()) {
                nested.append(ProjectReader::load(m_root + "p.zp", m_temp, table).status);
                saves.append(ProjectWriter::save(table, m_root + "other.zp", m_temp));
            }
        });
        QCOMPARE(ProjectReader::load(m_root + "p.zp", m_temp, table).status, Reader::Loaded);
        QCOMPARE(nested, QList<Reader>({Reader::Busy}));
        QCOMPARE(saves, QList<Writer>({Writer::Saved}));
        QCOMPARE(table.clip(2).text, QStringLiteral("two"));
        QCOMPARE(ProjectReader::load(m_root + "p.zp", m_temp, table).status, Reader::Loaded);
    }

    void failedSaveKeepsOldFile_data() {
        columns<QString, int, int>("target", "sizeLimit", "error"); // sizeLimit: KiB a file may grow to, 0 for no limit
        QTest::newRow("folder missing") << "missing/p.zp" << 0 << ENOENT;
        QTest::newRow("disk full while packing") << "p.zp" << 2048 << EFBIG;
        QTest::newRow("disk full in scratch") << "p.zp" << 512 << EFBIG;
    }
    void failedSaveKeepsOldFile() {
        const auto [target, sizeLimit, error] = fetch<QString, int, int>("target", "sizeLimit", "error");
        ClipTable old;
        old.setText(1, "old");
        QCOMPARE(ProjectWriter::save(old, m_root + "p.zp", m_temp), Writer::Saved);
        const QByteArray before = readFile(m_root + "p.zp");
        ClipTable table;
        for (int i = 2; i <= 4; ++i) // three pictures of 703 KiB each
            table.setClip(i, {ClipTable::Img, QStringLiteral("picture"), {}, pattern(600, 400, i), true});
        std::optional<FileSizeLimit> full;
        if (sizeLimit)
            full.emplace(rlim_t(sizeLimit) << 10);
        const Writer result = ProjectWriter::save(table, m_root + target, m_temp);
        full.reset();
        QCOMPARE(result, Writer::Failed);
        const auto shown = Messages::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, QStringLiteral("err"));
        QVERIFY(shown[0].text.startsWith("Unable to save project!\r\n\r\nError number: " + QString::number(error) +
                                         ", description: "));
        QCOMPARE(readFile(m_root + "p.zp"), before);
        QCOMPARE(tree(m_root).filter(".part"), QStringList());
        QCOMPARE(tree(m_temp), QStringList()); // nor a scratch file
    }
};

ZP_TEST_CLASS(ProjectFileTest)
#include "ProjectFileTest.moc"
