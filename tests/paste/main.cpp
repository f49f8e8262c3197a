// The paste folder's test classes, run one after another.
#include <QApplication>
#include <QTest>

#include <memory>

std::unique_ptr<QObject> keystrokeTest(), hotkeysTest(), pasteEngineTest(), propertiesTest();

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int failed = 0;
    for (auto* make : {keystrokeTest, hotkeysTest, pasteEngineTest, propertiesTest})
        failed += QTest::qExec(make().get(), argc, argv);
    return failed;
}
