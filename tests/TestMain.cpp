// Every test executable's main: the classes its files register in turn; "test_project MainWindowTest lifecycle"
// runs one class with the arguments after its name.
#include "TestSupport.h"
#include "services/Messages.h"

#include <QApplication>
#include <QLoggingCategory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Messages::setUnattended(true);
    // Damaged files are the point of many tests; their warnings would drown the results.
    QLoggingCategory::setFilterRules(QStringLiteral("zolpane.project.warning=false"));
    QStringList args = QCoreApplication::arguments();
    const QString only = args.size() > 1 && args[1].endsWith("Test") ? args.takeAt(1) : QString();
    int status = 0;
    for (const TestSupport::TestFactory make : TestSupport::testClasses()) {
        const std::unique_ptr<QObject> test = make();
        if (only.isEmpty() || only == QLatin1String(test->metaObject()->className()))
            status |= QTest::qExec(test.get(), args);
    }
    return status;
}
