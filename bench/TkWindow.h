#pragma once

#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A Tk text window in a process of its own (tests/e2e/tk_target.tcl), as the foreign application the paste
// benchmark (bench_paste.cpp) pastes into.
class TkWindow final : public QObject {
    Q_OBJECT
public:
    // Starts wish with the script; isReady() once its window is shown.
    TkWindow(const QString& script, const QString& title, QObject* parent = nullptr);
    ~TkWindow() override;

    bool isReady() const { return m_lines.contains(QStringLiteral("ready")); }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    QString title() const { return m_title; }
    // The widget's text as last written to its file.
    QString text() const;
    // Empties the text; returns once the window has confirmed it (bounded wait).
    bool clear();
    // Asks the window to end; returns once the process has ended (bounded wait).
    bool quit();
    // The wall-clock times (microseconds since the epoch) of the paste events seen so far.
    QList<qint64> pasteTimes() const;
    qint64 pid() const { return m_process.processId(); }

private:
    void readLines();

    QString m_title;
    QTemporaryDir m_dir;
    QString m_outFile;
    QProcess m_process;
    QStringList m_lines;
    QByteArray m_partial;
};
