// The native Wayland application of the end-to-end tests: one plain-text editor filling its window, with the
// keyboard focus. Usage: zp_wayland_target APP_ID REPORT_FILE (run with QT_QPA_PLATFORM=wayland).
// APP_ID becomes the window's Wayland app_id, by which the compositor and the tests tell windows apart.
// REPORT_FILE gets the whole text (UTF-8) after every change, renamed over from a temporary file; it is first
// written (empty) once the window is shown.
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTimer>

#include <cstdio>

namespace {
void report(const QString& path, const QString& text) {
    const QString temporary = path + QStringLiteral(".tmp");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(temporary));
        return;
    }
    file.close();
    // rename(2) replaces the report in one step: a reader sees the old text or the new, never a part.
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0)
        std::perror("rename");
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: zp_wayland_target APP_ID REPORT_FILE\n");
        return 2;
    }
    QGuiApplication::setDesktopFileName(args[1]);
    const QString path = args[2];
    QPlainTextEdit editor;
    editor.setWindowTitle(args[1]);
    editor.resize(500, 300);
    QObject::connect(&editor, &QPlainTextEdit::textChanged, &editor, [&] { report(path, editor.toPlainText()); });
    editor.show();
    editor.setFocus();
    QTimer::singleShot(0, &editor, [&] { report(path, editor.toPlainText()); });
    return app.exec();
}
