// The widgets folder's test classes, run one after another.
#include <QApplication>
#include <QTest>

#include <memory>

std::unique_ptr<QObject> widgetsTest();

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int failed = 0;
    for (auto* make : {widgetsTest})
        failed += QTest::qExec(make().get(), argc, argv);
    return failed;
}
