// The floor of the start-up benchmark: the least a Qt 6 program does to put an icon into the tray (an
// application object, a one-colour icon, the tray icon shown), and nothing else.

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::darkCyan);
    QSystemTrayIcon icon{QIcon(pixmap)};
    icon.setToolTip(QStringLiteral("bare tray"));
    icon.show();
    return app.exec();
}
