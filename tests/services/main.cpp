// The services folder's test classes, run one after another.
#include <QApplication>

int iniFileTest(int, char**), settingsTest(int, char**);

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return iniFileTest(argc, argv) + settingsTest(argc, argv);
}
