#include "TkWindow.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>

namespace {
// Bounds for the helper's own waits; reaching one means the window misbehaves, never a measured figure.
constexpr int kAnswerTimeoutMs = 10000;
} // namespace

TkWindow::TkWindow(const QString& script, const QString& title, QObject* parent)
    : QObject(parent), m_title(title), m_outFile(m_dir.filePath(QStringLiteral("text.txt"))) {
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &TkWindow::readLines);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("wish"), {script, m_outFile, title});
}

TkWindow::~TkWindow() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.closeWriteChannel(); // the end of input ends the script
        if (!m_process.waitForFinished(2000)) {
            m_process.kill(); // only this process, by the id QProcess holds
            m_process.waitForFinished(2000);
        }
    }
}

void TkWindow::readLines() {
    m_partial += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        m_lines.append(QString::fromUtf8(m_partial.left(end)).trimmed());
        m_partial.remove(0, end + 1);
    }
}

QString TkWindow::text() const {
    QFile f(m_outFile);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

bool TkWindow::clear() {
    const auto before = m_lines.count(QStringLiteral("cleared"));
    m_process.write("clear\n");
    return QTest::qWaitFor([&] { return m_lines.count(QStringLiteral("cleared")) > before; }, kAnswerTimeoutMs);
}

bool TkWindow::quit() {
    m_process.write("quit\n");
    return m_process.waitForFinished(kAnswerTimeoutMs);
}

QList<qint64> TkWindow::pasteTimes() const {
    QList<qint64> times;
    for (const QString& line : m_lines)
        if (line.startsWith(QLatin1String("paste ")))
            times.append(line.mid(6).toLongLong());
    return times;
}
