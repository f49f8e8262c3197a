// The memory a clipboard text command takes on a clipboard holding 100 MB of text (100 million characters, mostly
// ASCII, some Czech letters and line breaks): for each command of the clipboard menu, run in a process of its own on
// Qt's offscreen platform, the peak resident memory (VmHWM) over the process before the text existed, in MB and in
// multiples of the text's size (its UTF-8 bytes, as the clipboard carries it); what the clipboard's own copy holds
// (2 bytes a character in memory); the peak beyond that; and the time taken. The peak is reset
// (/proc/self/clear_refs) once the clipboard holds the text.
//
//     bench_clipboard_memory [MB]        every command on a text of MB megabytes (default 100)
#include "clipmenu/ClipboardTextCommands.h"
#include "services/Messages.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>

#include <cstdio>

namespace {

using Command = ClipboardTextCommands::Command;

qint64 statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    return -1;
}

QString hundredMegabytes(qsizetype characters) {
    const QString unit = QString::fromUtf16(u"The quick brown fox jumps over the lazy dog. Žluťoučký kůň\r\n");
    QString text = unit.repeated(characters / unit.size() + 1);
    text.truncate(characters);
    return text;
}

// In the child: runs one command, prints "peakKb heldKb ms".
int measure(int command, qsizetype characters) {
    Messages::setUnattended(true);
    const qint64 before = statusKb("VmRSS:");
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(hundredMegabytes(characters));
    const qint64 held = statusKb("VmRSS:");
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1)
        return 2;
    reset.close();
    ClipboardTextCommands commands(
        clipboard, [] { return false; }, nullptr);
    QElapsedTimer timer;
    timer.start();
    commands.run(Command(command));
    const qint64 ms = timer.elapsed();
    std::printf("%lld %lld %lld %lld\n", static_cast<long long>(statusKb("VmHWM:") - before),
                static_cast<long long>(held - before), static_cast<long long>(ms),
                static_cast<long long>(clipboard->text().size()));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--child"))
        return measure(args[2].toInt(), args[3].toLongLong());
    const qsizetype megabytes = args.size() > 1 ? args[1].toLongLong() : 100;
    const qsizetype characters = megabytes * 1'000'000;
    const double textMb = hundredMegabytes(characters).toUtf8().size() / 1e6;
    std::printf("clipboard text of %lld million characters, %.1f MB in UTF-8; peak over the process before the text\n",
                static_cast<long long>(megabytes), textMb);
    std::printf("%-24s%10s%10s%10s%12s%10s\n", "command", "peak MB", "x text", "held MB", "beyond MB", "ms");
    for (int c = int(Command::ToLowerCase); c <= int(Command::Reverse); ++c) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--child"), QString::number(c), QString::number(characters)});
        child.waitForFinished(-1);
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        const QString name = ClipboardTextCommands::menuName(Command(c));
        if (figures.size() != 4) {
            std::printf("%-24s failed (exit %d)\n", qPrintable(name), child.exitCode());
            continue;
        }
        const double peakMb = figures[0].toDouble() * 1024 / 1e6;
        const double heldMb = figures[1].toDouble() * 1024 / 1e6;
        std::printf("%-24s%10.0f%10.2f%10.0f%12.0f%10lld\n", qPrintable(name), peakMb, peakMb / textMb, heldMb,
                    peakMb - heldMb, figures[2].toLongLong());
    }
    return 0;
}
