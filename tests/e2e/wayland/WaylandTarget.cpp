// The native Wayland application of the end-to-end tests: one plain-text editor filling its window, with the
// keyboard focus. Usage: zp_wayland_target APP_ID REPORT_FILE [CHANGES] (run with QT_QPA_PLATFORM=wayland).
// APP_ID becomes the window's Wayland app_id, by which the compositor and the tests tell windows apart.
// REPORT_FILE gets the whole text (UTF-8) after every change, renamed over from a temporary file; it is first
// written (empty) once the window is shown.
// CHANGES (a FIFO the reader opened first, say) gets "<CLOCK_MONOTONIC microseconds> <length>" after each change,
// once REPORT_FILE holds the changed text, so a benchmark can time changes without polling.
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTimer>

#include <chrono>
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
    if (args.size() != 3 && args.size() != 4) {
        std::fprintf(stderr, "usage: zp_wayland_target APP_ID REPORT_FILE [CHANGES]\n");
        return 2;
    }
    QGuiApplication::setDesktopFileName(args[1]);
    const QString path = args[2];
    QPlainTextEdit editor;
    editor.setWindowTitle(args[1]);
    editor.resize(500, 300);
    std::FILE* changes = args.size() == 4 ? std::fopen(QFile::encodeName(args[3]).constData(), "w") : nullptr;
    QObject::connect(&editor, &QPlainTextEdit::textChanged, &editor, [&] {
        const auto at = std::chrono::steady_clock::now().time_since_epoch(); // CLOCK_MONOTONIC on Linux
        const QString text = editor.toPlainText();
        report(path, text);
        if (changes) {
            std::fprintf(changes, "%lld %lld\n",
                         static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(at).count()),
                         static_cast<long long>(text.size()));
            std::fflush(changes);
        }
    });
    editor.show();
    editor.setFocus();
    QTimer::singleShot(0, &editor, [&] { report(path, editor.toPlainText()); });
    return app.exec();
}
