#include "services/FileDialogs.h"

#include <QFileDialog>
#include <QQueue>

namespace {

QQueue<QString>& queued() {
    static QQueue<QString> answers;
    return answers;
}

} // namespace

namespace FileDialogs {

QString getOpenFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter) {
    if (!queued().isEmpty())
        return queued().dequeue();
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString getSaveFileName(QWidget* parent, const QString& title, const QString& proposed, const QString& filter) {
    if (!queued().isEmpty())
        return queued().dequeue();
    // The overwrite question is the program's own.
    return QFileDialog::getSaveFileName(parent, title, proposed, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

void setNextFileName(const QString& fileName) {
    queued().enqueue(fileName);
}

bool hasQueuedAnswers() {
    return !queued().isEmpty();
}

} // namespace FileDialogs
