// The clipboard menu folder's test classes, run one after another.
#include <QApplication>

int textTransformationsTest(int, char**), clipboardTextCommandsTest(int, char**), trayTest(int, char**);

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return textTransformationsTest(argc, argv) + clipboardTextCommandsTest(argc, argv) + trayTest(argc, argv);
}
