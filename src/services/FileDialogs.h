#pragma once

#include <QString>

class QWidget;

// The program's file dialogs. Tests queue the next answer, so no test waits for a person: a queued
// empty string stands for Cancel.
namespace FileDialogs {

QString getOpenFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter);
QString getSaveFileName(QWidget* parent, const QString& title, const QString& proposed, const QString& filter);

// For a program being ended by a signal: from now on every dialog is taken as cancelled without being shown.
void stopShowing();

void setNextFileName(const QString& fileName);
bool hasQueuedAnswers();

} // namespace FileDialogs
