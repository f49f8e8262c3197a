#include "startup/ZolpaneApp.h"

#include <QApplication>
#include <QLoggingCategory>

int main(int argc, char** argv) {
    // On an X11 session the program must run on xcb even where a Wayland plugin exists: global key grabs
    // and the active-window record need X11.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // Debug output of our own categories only when asked for with QT_LOGGING_RULES.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("zolpane.*.debug=false"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zolpane"));
    QApplication::setApplicationVersion(QStringLiteral(ZOLPANE_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    return ZolpaneApp::Main(app);
}
