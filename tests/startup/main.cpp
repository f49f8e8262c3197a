// The composition root's test classes, run one after another.
#include <QApplication>
#include <QTest>

#include <memory>

std::unique_ptr<QObject> settingsDialogTest(), zolpaneAppTest();

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int failed = 0;
    for (auto* make : {settingsDialogTest, zolpaneAppTest})
        failed += QTest::qExec(make().get(), argc, argv);
    return failed;
}
