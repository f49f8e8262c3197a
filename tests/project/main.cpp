#include "ProjectContainerTest.h"
#include "ProjectFileTest.h"
#include "ProjectTestUtil.h"
#include "services/Messages.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTest>

#include <memory>

std::unique_ptr<QObject> mainWindowTest();

// Runs every test class, or with a class name first ("test_project MainWindowTest lifecycle") that class
// with the arguments after its name.
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

    ProjectContainerTest container;
    ProjectFileTest file;
    const std::unique_ptr<QObject> mainWindow = mainWindowTest();
    QStringList args = QCoreApplication::arguments();
    const QString only = args.size() > 1 && args[1].endsWith("Test") ? args.takeAt(1) : QString();
    int status = 0;
    for (QObject* test : std::initializer_list<QObject*>{&container, &file, mainWindow.get()}) {
        if (only.isEmpty() || only == QLatin1String(test->metaObject()->className()))
            status |= QTest::qExec(test, args);
    }
    return status;
}
