#include "ProjectTestUtil.h"
#include "TestRegistry.h"
#include "project/ProjectContainer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace ProjectTestUtil;
using Members = QList<QPair<QByteArray, QByteArray>>;

class TestProjectContainer final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_root; // per test: holds "scratch/" and anything a hostile file might reach
    QString m_scratch;

private Q_SLOTS:
    void init() {
        m_root = m_dir.path() + QStringLiteral("/%1/").arg(QTest::currentTestFunction()) +
                 QString::fromLatin1(QTest::currentDataTag()).replace('/', '_') + '/';
        m_scratch = m_root + QStringLiteral("scratch/");
        QVERIFY(QDir().mkpath(m_scratch));
    }

    void packLayout() {
        writeBytes(m_scratch + "clip10.dat", "ten");
        writeBytes(m_scratch + "clip2.dat", "");
        writeBytes(m_scratch + QString::fromUtf8("\u00e9t\u00e9.dat"), "summer");
        writeBytes(m_scratch + "zp.ini", "abc");
        writeBytes(m_scratch + "clip1.dat", "one");
        writeBytes(m_scratch + ".hidden", "x");
        QDir().mkdir(m_scratch + "sub");
        QFile::link(m_scratch + "clip1.dat", m_scratch + "link.dat");
        QVERIFY(ProjectContainer::PackFolder(m_scratch.chopped(1), m_root + "out.zp", "*.*"));
        const QByteArray expected = le32(5) + le16(6) + "zp.ini" + le32(3) + "abc" + le16(9) + "clip1.dat" + le32(3) +
                                    "one" + le16(9) + "clip2.dat" + le32(0) + le16(10) + "clip10.dat" + le32(3) +
                                    "ten" + le16(7) + "\xe9t\xe9.dat" + le32(6) + "summer";
        QCOMPARE(readBytes(m_root + "out.zp"), expected);
        QVERIFY(ProjectContainer::PackFolder(m_scratch, m_root + "dat.zp", "*.DAT"));
        QCOMPARE(ProjectContainer::parse(readBytes(m_root + "dat.zp")).size(), 4);
    }

    void unpackSkipsUnsafeNames_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("parent") << QByteArray("../escape");
        QTest::newRow("absolute") << QByteArray("/tmp/zolpane-escape-test");
        QTest::newRow("backslash") << QByteArray("..\\escape");
        QTest::newRow("subfolder") << QByteArray("sub/escape");
        QTest::newRow("dot") << QByteArray(".");
        QTest::newRow("dotdot") << QByteArray("..");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("nul") << QByteArray("a\0b", 3);
    }
    void unpackSkipsUnsafeNames() {
        QFETCH(QByteArray, name);
        const QStringList before = tree(m_root);
        QList<ProjectContainer::Member> members;
        const QByteArray bytes = container({{"first", "1"}, {name, "evil"}, {"last", "2"}});
        QVERIFY(ProjectContainer::UnpackFile(writeSource(bytes), m_scratch, &members));
        QCOMPARE(tree(m_scratch), QStringList({"first", "last"}));
        QCOMPARE(readBytes(m_scratch + "last"), QByteArray("2"));
        QCOMPARE(members.size(), 2);
        QCOMPARE(tree(m_root), before + QStringList({"scratch/first", "scratch/last", "source.zp"}));
        QVERIFY(!QFile::exists("/tmp/zolpane-escape-test"));
    }

    void damagedContainers_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("written");
        const QByteArray one = le16(1) + "a" + le32(1) + "A";
        QTest::newRow("negative count") << le32(-1) + one << QStringList();
        QTest::newRow("negative name length") << le32(2) + one + le16(-5) + "b" << QStringList({"a"});
        QTest::newRow("name past end") << le32(2) + one + le16(30000) + "b" << QStringList({"a"});
        QTest::newRow("negative data length") << le32(2) + one + le16(1) + "b" + le32(-1) + "B" << QStringList({"a"});
        QTest::newRow("data past end") << le32(2) + one + le16(1) + "b" + le32(0x7fffffff) + "B" << QStringList({"a"});
    }
    void damagedContainers() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, written);
        QVERIFY(!ProjectContainer::UnpackFile(writeSource(bytes), m_scratch));
        QCOMPARE(tree(m_scratch), written);
    }

    // Cut anywhere, a container yields exactly the members that lie wholly before the cut.
    void truncatedAtEveryByte() {
        const Members members = {{"zp.ini", "[Clip1]\r\n"}, {"clip1.dat", ""}, {"clip2.dat", "two\r\n"}};
        const QByteArray full = container(members);
        QList<qsizetype> ends;
        qsizetype end = 4;
        for (const auto& [name, data] : members)
            ends.append(end += 6 + name.size() + data.size());
        for (qsizetype cut = 0; cut <= full.size(); ++cut) {
            ProjectContainer::DeleteFolderTree(m_scratch);
            ProjectContainer::MakeDirZPLoad(m_scratch);
            const bool ok = ProjectContainer::UnpackFile(writeSource(full.left(cut)), m_scratch);
            QCOMPARE(ok, cut == full.size());
            QStringList expected;
            for (int k = 0; k < members.size() && ends[k] <= cut; ++k)
                expected.append(QString::fromLatin1(members[k].first));
            expected.sort();
            QCOMPARE(tree(m_scratch), expected);
            bool complete = false;
            QCOMPARE(ProjectContainer::parse(full.left(cut), &complete).size(), expected.size());
            QCOMPARE(complete, ok);
        }
        QCOMPARE(readBytes(m_scratch + "clip2.dat"), QByteArray("two\r\n"));
    }

    void neverFollowsLinks() {
        const QString outside = m_root + "outside/";
        QDir().mkpath(outside + "inner");
        writeBytes(outside + "keep.txt", "keep");
        writeBytes(outside + "clip1.dat", "keep");
        // A member whose name is a link to a file outside replaces the link, not the file.
        QVERIFY(QFile::link(outside + "keep.txt", m_scratch + "target"));
        QVERIFY(ProjectContainer::UnpackFile(writeSource(container({{"target", "new"}})), m_scratch));
        QCOMPARE(readBytes(m_scratch + "target"), QByteArray("new"));
        // Links inside a deleted tree, and a tree that is itself a link, are removed as links.
        QVERIFY(QFile::link(outside, m_scratch + "dirlink"));
        QVERIFY(QFile::link(outside, m_root + "linkedscratch"));
        ProjectContainer::KillTempDir(m_root + "linkedscratch/");
        ProjectContainer::DeleteFolderTree(m_root + "linkedscratch/");
        ::chmod(QFile::encodeName(m_scratch).constData(), 0500);
        ProjectContainer::DeleteFolderTree(m_scratch);
        QVERIFY(!QFileInfo::exists(m_scratch) && !QFileInfo(m_root + "linkedscratch").isSymLink());
        QCOMPARE(tree(outside), QStringList({"clip1.dat", "inner", "keep.txt"}));
        QCOMPARE(readBytes(outside + "keep.txt"), QByteArray("keep"));
        // Unpacking into a folder that is a link writes nothing.
        QVERIFY(QFile::link(outside, m_root + "linkedscratch"));
        QVERIFY(!ProjectContainer::UnpackFile(writeSource(container({{"new", "x"}})), m_root + "linkedscratch"));
        QCOMPARE(tree(outside), QStringList({"clip1.dat", "inner", "keep.txt"}));
    }

private:
    QString writeSource(const QByteArray& bytes) {
        writeBytes(m_root + "source.zp", bytes);
        return m_root + "source.zp";
    }
};

ZP_REGISTER_TEST(TestProjectContainer)
#include "TestProjectContainer.moc"
