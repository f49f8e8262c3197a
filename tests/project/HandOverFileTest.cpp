#include "project/HandOverFile.h"
#include "TestSupport.h"

#include <QDir>

#include <sys/stat.h>

// loadbuff.dat as the running instance reads it: the first line, whatever follows it and however it ends.
class HandOverFileTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandLine_data() {
        TestSupport::columns<QByteArray, QString>("content", "expected");
        QTest::newRow("as written") << HandOverFile::content(QStringLiteral("/home/u\u00e9/Work.zp"))
                                    << QStringLiteral("/home/u\u00e9/Work.zp");
        QTest::newRow("line feed only") << QByteArray("nowindow\n") << QStringLiteral("nowindow");
        QTest::newRow("no line end") << QByteArray("/tmp/a.zp") << QStringLiteral("/tmp/a.zp");
        QTest::newRow("second line ignored")
            << QByteArray("/tmp/a.zp\r\r\n/tmp/b.zp\r\n") << QStringLiteral("/tmp/a.zp");
        QTest::newRow("carriage return inside kept") << QByteArray("/tmp/a\rb.zp\r") << QStringLiteral("/tmp/a\rb.zp");
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void commandLine() {
        QFETCH(QByteArray, content);
        QTEST(HandOverFile::commandLine(content), "expected");
    }

    // What may sit at loadbuff.dat instead of a hand-over; none of it is waited on or read whole.
    void read_data() {
        TestSupport::columns<QString, QString>("kind", "expected");
        // clang-format off
        QTest::newRow("a hand-over") << "line" << "/tmp/a.zp";
        QTest::newRow("a FIFO") << "fifo" << "";
        QTest::newRow("a folder") << "folder" << "";
        QTest::newRow("a link to /dev/zero") << "zero" << "";
        QTest::newRow("a sparse file of 4 GB") << "sparse" << "";
        QTest::newRow("a hand-over line, then 4 GB") << "line+sparse" << "/tmp/a.zp";
        QTest::newRow("no line end in the first 64 KB") << "long" << "";
        QTest::newRow("nothing there") << "missing" << "";
        // clang-format on
    }
    void read() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath("loadbuff.dat");
        QFile file(path);
        if (kind.startsWith("line"))
            QVERIFY(TestSupport::writeFile(path, "/tmp/a.zp\r\n"));
        if (kind.endsWith("sparse"))
            QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(qint64(4) << 30));
        if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        if (kind == "folder")
            QVERIFY(QDir().mkdir(path));
        if (kind == "zero")
            QVERIFY(QFile::link("/dev/zero", path));
        if (kind == "long")
            QVERIFY(TestSupport::writeFile(path, QByteArray(HandOverFile::MaxBytes + 1, 'a')));
        QTEST(HandOverFile::read(path), "expected");
    }
};

ZP_TEST_CLASS(HandOverFileTest)
#include "HandOverFileTest.moc"
