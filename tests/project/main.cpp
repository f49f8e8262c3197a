#include "Messages.h"
#include "ProjectTestUtil.h"
#include "TestRegistry.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTest>

#include <memory>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("ZOLPANE_CODEPAGE"))
        qputenv("ZOLPANE_CODEPAGE", "1252");
    QApplication app(argc, argv);
    Messages::setUnattended(true);
    // Damaged files are the point of many tests; their warnings would drown the results.
    QLoggingCategory::setFilterRules(QStringLiteral("zolpane.project.warning=false"));
    // Helper mode of the killed-save test: save two versions of a project in turn until killed.
    if (argc == 4 && qstrcmp(argv[1], "--save-loop") == 0)
        return ProjectTestUtil::saveLoop(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    int status = 0;
    for (const auto& [name, factory] : TestRegistry::all()) {
        std::unique_ptr<QObject> test(factory());
        status |= QTest::qExec(test.get(), argc, argv);
    }
    return status;
}
