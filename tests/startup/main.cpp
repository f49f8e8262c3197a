// The composition root's test classes, run one after another.
#include <QApplication>

int settingsDialogTest(int, char**), zolpaneAppTest(int, char**);

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return settingsDialogTest(argc, argv) + zolpaneAppTest(argc, argv);
}
