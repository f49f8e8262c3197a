// The floor of the start-up benchmark for a program that opens with its main window: the least a Qt 6 program
// does to show a window of the main window's kind (an application object, a menu bar with one menu, one text box
// holding a line of text, a status bar with a message), and nothing else.

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"), &app, &QApplication::quit);
    window.setCentralWidget(new QLineEdit(QStringLiteral("clip 1: the quick brown fox jumps over the lazy dog")));
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    window.resize(480, 360);
    window.show();
    return app.exec();
}
