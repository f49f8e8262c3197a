#include "ZolpaneApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    // On an X11 session the program must run on xcb even where a Wayland plugin exists: global key grabs
    // and the active-window record need X11.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zolpane"));
    QApplication::setApplicationVersion(QStringLiteral(ZOLPANE_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    return ZolpaneApp::Main(app);
}
