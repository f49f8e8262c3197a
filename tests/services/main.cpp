// The services folder's test classes, run one after another.
#include <QApplication>
#include <QTest>

#include <memory>

std::unique_ptr<QObject> iniFileTest(), settingsTest();

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int failed = 0;
    for (auto* make : {iniFileTest, settingsTest})
        failed += QTest::qExec(make().get(), argc, argv);
    return failed;
}
