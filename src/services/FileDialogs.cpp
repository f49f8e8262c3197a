#include "services/FileDialogs.h"

#include <QFileDialog>
#include <QQueue>

namespace {

QQueue<QString>& queued() {
    static QQueue<QString> answers;
    return answers;
}

bool g_stopped = false;

} // namespace

namespace FileDialogs {

QString getOpenFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter) {
    if (!queued().isEmpty())
        return queued().dequeue();
    if (g_stopped)
        return {};
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString getSaveFileName(QWidget* parent, const QString& title, const QString& proposed, const QString& filter) {
    if (!queued().isEmpty())
        return queued().dequeue();
    if (g_stopped)
        return {};
    // The overwrite question is the program's own.
    return QFileDialog::getSaveFileName(parent, title, proposed, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

void stopShowing() {
    g_stopped = true;
}

void setNextFileName(const QString& fileName) {
    queued().enqueue(fileName);
}

bool hasQueuedAnswers() {
    return !queued().isEmpty();
}

} // namespace FileDialogs
