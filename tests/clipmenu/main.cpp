// The clipboard menu folder's test classes, run one after another.
#include <QApplication>
#include <QTest>

#include <memory>

std::unique_ptr<QObject> textTransformationsTest(), clipboardTextCommandsTest(), trayTest();

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int failed = 0;
    for (auto* make : {textTransformationsTest, clipboardTextCommandsTest, trayTest})
        failed += QTest::qExec(make().get(), argc, argv);
    return failed;
}
