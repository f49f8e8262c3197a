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

    // The program runs on xcb wherever there is an X display, also on a Wayland session (through XWayland,
    // which sets DISPLAY) where Qt would pick its Wayland plugin: global key grabs and the active-window record
    // need X11.
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
