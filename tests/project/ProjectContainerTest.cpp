#include "project/ProjectContainer.h"
#include "ProjectTestUtil.h"
#include "services/SafeFiles.h"

#include <QDir>

#include <sys/stat.h>

using namespace ProjectTestUtil;
using namespace TestSupport;

// The container format in memory, packing and reading on disk, and the scratch folders.
class ProjectContainerTest final : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_root; // per test: holds "scratch/" and anything a hostile file might reach
    QString m_scratch;

    QString writeSource(const QByteArray& bytes) {
        writeFile(m_root + "source.zp", bytes);
        return m_root + "source.zp";
    }

private Q_SLOTS:
    void init() {
        m_root = testFolder(m_dir);
        m_scratch = m_root + QStringLiteral("scratch/");
        QVERIFY(QDir().mkpath(m_scratch));
    }

    void packLayout() {
        writeFile(m_scratch + "clip10.dat", "ten");
        writeFile(m_scratch + "clip2.dat", "");
        writeFile(m_scratch + QString::fromUtf8("\u00e9t\u00e9.dat"), "summer");
        writeFile(m_scratch + "zp.ini", "abc");
        writeFile(m_scratch + "clip1.dat", "one");
        writeFile(m_scratch + ".hidden", "x");
        QDir().mkdir(m_scratch + "sub");
        QFile::link(m_scratch + "clip1.dat", m_scratch + "link.dat");
        QVERIFY(ProjectContainer::PackFolder(m_scratch.chopped(1), m_root + "out.zp", "*.*"));
        const QByteArray expected = le32(5) + le16(6) + "zp.ini" + le32(3) + "abc" + le16(9) + "clip1.dat" + le32(3) +
                                    "one" + le16(9) + "clip2.dat" + le32(0) + le16(10) + "clip10.dat" + le32(3) +
                                    "ten" + le16(7) + "\xe9t\xe9.dat" + le32(6) + "summer";
        QCOMPARE(readFile(m_root + "out.zp"), expected);
        QVERIFY(ProjectContainer::PackFolder(m_scratch, m_root + "dat.zp", "*.DAT"));
        QCOMPARE(ContainerFormat::parse(readFile(m_root + "dat.zp")).members.size(), 4);
    }

    void parse_data() {
        columns<QByteArray, QStringList, QByteArray>("bytes", "names", "damage"); // names: of the members read
        const QByteArray one = le16(1) + "a" + le32(1) + "A";
        QTest::newRow("no members") << le32(0) << QStringList() << QByteArray();
        QTest::newRow("empty name and data")
            << container({{"", ""}, {"b", "B"}}) << QStringList({"", "b"}) << QByteArray();
        QTest::newRow("name in code page")
            << container({{"\xe9t\xe9", ""}}) << QStringList({"\u00e9t\u00e9"}) << QByteArray();
        QTest::newRow("bytes after the last member") << le32(1) + one + "junk" << QStringList({"a"}) << QByteArray();
        QTest::newRow("fewer members than counted")
            << le32(2) + one << QStringList({"a"}) << QByteArray("unexpected end");
        QTest::newRow("negative count") << le32(-1) + one << QStringList() << QByteArray("negative member count");
        QTest::newRow("negative name length")
            << le32(2) + one + le16(-5) + "b" << QStringList({"a"}) << QByteArray("negative length");
        QTest::newRow("name past end") << le32(2) + one + le16(30000) + "b" << QStringList({"a"})
                                       << QByteArray("length past the end");
        QTest::newRow("negative data length")
            << le32(2) + one + le16(1) + "b" + le32(-1) + "B" << QStringList({"a"}) << QByteArray("negative length");
        QTest::newRow("data past end") << le32(2) + one + le16(1) + "b" + le32(0x7fffffff) + "B" << QStringList({"a"})
                                       << QByteArray("length past the end");
    }
    void parse() {
        QFETCH(QByteArray, bytes);
        const ContainerFormat::Parsed parsed = ContainerFormat::parse(bytes);
        QStringList read;
        for (const ContainerFormat::Member& member : parsed.members)
            read.append(member.name);
        QTEST(read, "names");
        QTEST(QByteArray(parsed.damage), "damage");
    }

    // Lengths beyond what is read stop the reading before a byte of the member is read.
    void decoderLimits_data() {
        // sizes: data sizes of the members, with limits of 10 a member, 15 in all
        columns<QList<int>, int, QByteArray>("sizes", "read", "damage");
        QTest::newRow("within") << QList<int>{10, 5} << 2 << QByteArray();
        QTest::newRow("a member too large") << QList<int>{5, 11} << 1 << QByteArray("member too large");
        QTest::newRow("too much in all") << QList<int>{10, 6} << 1 << QByteArray("project too large");
    }
    void decoderLimits() {
        QFETCH(QList<int>, sizes);
        QList<QPair<QByteArray, QByteArray>> members;
        for (int size : sizes)
            members.append({"m", QByteArray(size, 'x')});
        const QByteArray bytes = container(members);
        ContainerFormat::Decoder decoder(bytes.size(), 10, 15);
        int read = 0;
        for (qsizetype pos = 0, size = 0; (size = qsizetype(decoder.wanted())) > 0; pos += size)
            read += decoder.take(bytes.mid(pos, size)).has_value();
        QTEST(read, "read");
        QTEST(QByteArray(decoder.damage()), "damage");
    }

    // A project file that claims a member of 2 GB, in a small file or in a sparse one that holds it: what comes
    // before is read, the claim is refused without reading it.
    void readHugeClaims_data() {
        columns<qint64, QString>("fileSize", "damage");
        QTest::newRow("small file") << qint64(0) << "Damaged project file: length past the end";
        QTest::newRow("sparse file of 3 GB") << (qint64(3) << 30) << "Damaged project file: member too large";
    }
    void readHugeClaims() {
        QFETCH(qint64, fileSize);
        const QString source =
            writeSource(le32(2) + le16(9) + "clip1.dat" + le32(3) + "one" + le16(9) + "clip2.dat" + le32(0x7fffffff));
        if (fileSize > 0) {
            QFile file(source);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(fileSize));
        }
        QList<ProjectContainer::Member> members;
        const Outcome read = ProjectContainer::ReadMembers(source, &members);
        QCOMPARE(members.size(), 1);
        QCOMPARE(members[0].data, QByteArray("one"));
        QTEST(read.description, "damage");
    }

    void neverFollowsLinks() {
        const QString outside = m_root + "outside/";
        QDir().mkpath(outside + "inner");
        writeFile(outside + "keep.txt", "keep");
        writeFile(outside + "clip1.dat", "keep");
        // A file written where a link to a file outside is replaces the link, not the file.
        QVERIFY(QFile::link(outside + "keep.txt", m_scratch + "target"));
        QVERIFY(SafeFiles::writeFile(m_scratch, "target", "new"));
        QCOMPARE(readFile(m_scratch + "target"), QByteArray("new"));
        // Links inside a deleted tree, and a tree that is itself a link, are removed as links.
        QVERIFY(QFile::link(outside, m_scratch + "dirlink"));
        QVERIFY(QFile::link(outside, m_root + "linkedscratch"));
        ProjectContainer::KillTempDir(m_root + "linkedscratch/");
        SafeFiles::DeleteFolderTree(m_root + "linkedscratch/");
        ::chmod(QFile::encodeName(m_scratch).constData(), 0500);
        SafeFiles::DeleteFolderTree(m_scratch);
        QVERIFY(!QFileInfo::exists(m_scratch) && !QFileInfo(m_root + "linkedscratch").isSymLink());
        QCOMPARE(tree(outside), QStringList({"clip1.dat", "inner", "keep.txt"}));
        QCOMPARE(readFile(outside + "keep.txt"), QByteArray("keep"));
        // Writing into a folder that is a link writes nothing.
        QVERIFY(QFile::link(outside, m_root + "linkedscratch"));
        QVERIFY(!SafeFiles::writeFile(m_root + "linkedscratch", "new", "x"));
        QCOMPARE(tree(outside), QStringList({"clip1.dat", "inner", "keep.txt"}));
    }
};

ZP_TEST_CLASS(ProjectContainerTest)
#include "ProjectContainerTest.moc"
