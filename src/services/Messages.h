#pragma once

#include "services/Outcome.h"

#include <QList>
#include <QString>

#include <functional>

class QObject;

enum class MessageKind {
    Information,
    Error,
    Question, // Yes and No buttons
    Warning,
};

// The one message-box routine of the program. Questions return 6 (Yes) or 7 (No), every other kind 0.
namespace Messages {

constexpr int Yes = 6;
constexpr int No = 7;

int ShowMessage(const QString& text, MessageKind kind);
void ShowError(const QString& text);
// The error box with the failure's details appended: "Error number: ..., description: ...".
void ShowError(const QString& text, const Outcome& failure);
// An information box with a "Do not show this again" check box that does not hold anything up: it returns at
// once, and done(checked) runs when the user closes the box (not at all once context is gone).
void ShowNotice(const QString& text, QObject* context, std::function<void(bool dontShowAgain)> done);

// For a program being ended by a signal, which must not wait for a person: from now on no box is shown, each is
// only logged and taken as closed at once (a question as No). Boxes already open are left to the caller to close.
void stopShowing();

// Test seam: while unattended, no box is shown; each box takes the next queued answer (or No for a question
// and 0 otherwise when the queue is empty) and is recorded. A notice is recorded with the kind "notice"; a
// queued Yes ticks its check box.
struct ShownBox {
    QString kind; // as logged: "inf", "err", "quest", "excl" or "notice"
    QString title;
    QString text;
};
void setUnattended(bool on);
void setNextAnswer(int answer);
QList<ShownBox> takeShown();

} // namespace Messages
