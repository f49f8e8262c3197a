#include "startup/CommandClient.h"
#include "startup/CommandLineOptions.h"
#include "startup/ZolpaneApp.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QStringList>

int main(int argc, char** argv) {
    // Options ("--paste 3", "--help") are answered without a display and never reach the start-up.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLineOptions options = CommandLineOptions::classify(arguments);
    if (options.kind != CommandLineOptions::Kind::Designed)
        return CommandClient::run(options, argc, argv);

    // Qt's windows run on xcb wherever there is an X display, also on a Wayland session (through XWayland, which
    // sets DISPLAY) where Qt would pick its Wayland plugin: global key grabs need X11. The Wayland services use a
    // connection of their own, whichever plugin Qt runs on; without DISPLAY Qt runs on Wayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // Debug output of our own categories only when asked for with QT_LOGGING_RULES.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("zolpane.*.debug=false"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zolpane"));
    QApplication::setApplicationVersion(QStringLiteral(ZOLPANE_VERSION));
    // The desktop entry's name: on Wayland it is our windows' app id, by which the desktop knows them as ours.
    QApplication::setDesktopFileName(QStringLiteral("io.github.zolpane.Zolpane"));
    QApplication::setQuitOnLastWindowClosed(false);
    return ZolpaneApp::Main(app);
}
