#include "startup/UserGuide.h"
#include "TestSupport.h"

#include <QDir>
#include <QtTest>

using namespace TestSupport;

// Where the program finds its guide: help/ beside the executable before the installed ../share/zolpane/.
class UserGuideTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void locate_data() {
        // guides: folders below the prefix that hold a guide; found: the one located, "" for none
        columns<QStringList, QString>("guides", "found");
        QTest::newRow("portable") << QStringList{"bin/help"} << "bin/help";
        QTest::newRow("installed") << QStringList{"share/zolpane"} << "share/zolpane";
        QTest::newRow("both: the portable one") << QStringList{"share/zolpane", "bin/help"} << "bin/help";
        QTest::newRow("missing") << QStringList{"bin"} << "";
    }
    void locate() {
        const auto [guides, found] = fetch<QStringList, QString>("guides", "found");
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath("bin"));
        for (const QString& folder : guides)
            QVERIFY(QDir(prefix.path()).mkpath(folder) &&
                    writeFile(prefix.filePath(folder + "/" + UserGuide::FileName), "<html>"));
        QCOMPARE(UserGuide::locate(prefix.filePath("bin")),
                 found.isEmpty() ? QString() : prefix.filePath(found + "/" + UserGuide::FileName));
    }
};

ZP_TEST_CLASS(UserGuideTest)

#include "UserGuideTest.moc"
