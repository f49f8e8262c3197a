#include "services/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QQueue>

namespace {

Q_LOGGING_CATEGORY(lcMessages, "zolpane.messages")

struct State {
    bool unattended = false;
    bool stopped = false;
    QQueue<int> answers;
    QList<Messages::ShownBox> shown;
};

State& state() {
    static State s;
    return s;
}

struct KindLook {
    QMessageBox::Icon icon;
    const char* name; // in the log and the test record
};

KindLook lookOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information:
        return {QMessageBox::Information, "inf"};
    case MessageKind::Error:
        return {QMessageBox::Critical, "err"};
    case MessageKind::Question:
        return {QMessageBox::Question, "quest"};
    case MessageKind::Warning:
        break;
    }
    return {QMessageBox::Warning, "excl"};
}

} // namespace

namespace Messages {

int ShowMessage(const QString& text, MessageKind kind) {
    State& s = state();
    const KindLook look = lookOf(kind);
    const QString title = kind == MessageKind::Error ? QStringLiteral("Zolpane - Error") : QStringLiteral("Zolpane");
    const bool question = kind == MessageKind::Question;
    // Every box is also logged, so what the user was told can be read back from the log.
    qCInfo(lcMessages).noquote() << look.name << title << text;
    if (s.stopped)
        return question ? No : 0;
    if (s.unattended) {
        s.shown.append({QLatin1String(look.name), title, text});
        const int answer = s.answers.isEmpty() ? (question ? No : 0) : s.answers.dequeue();
        return question ? answer : 0;
    }
    QMessageBox box(look.icon, title, text, question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.setObjectName(QStringLiteral("ZolpaneMessageBox"));
    const int button = box.exec();
    return question ? (button == QMessageBox::Yes ? Yes : No) : 0;
}

void ShowError(const QString& text) {
    ShowMessage(text, MessageKind::Error);
}

void ShowError(const QString& text, const Outcome& failure) {
    ShowMessage(text + QStringLiteral("\r\n\r\nError number: ") + QString::number(failure.error) +
                    QStringLiteral(", description: ") + failure.description,
                MessageKind::Error);
}

void ShowNotice(const QString& text, QObject* context, std::function<void(bool)> done) {
    State& s = state();
    const QString title = QStringLiteral("Zolpane");
    qCInfo(lcMessages).noquote() << "notice" << title << text;
    if (s.stopped)
        return;
    if (s.unattended) {
        s.shown.append({QStringLiteral("notice"), title, text});
        const bool ticked = !s.answers.isEmpty() && s.answers.dequeue() == Yes;
        done(ticked);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok);
    box->setObjectName(QStringLiteral("ZolpaneMessageBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    auto* dontShowAgain = new QCheckBox(QStringLiteral("&Do not show this again"), box);
    box->setCheckBox(dontShowAgain);
    QObject::connect(box, &QMessageBox::finished, context,
                     [dontShowAgain, done = std::move(done)] { done(dontShowAgain->isChecked()); });
    box->show();
}

void stopShowing() {
    state().stopped = true;
}

void setUnattended(bool on) {
    state().unattended = on;
    state().stopped = false;
    state().answers.clear();
    state().shown.clear();
}

void setNextAnswer(int answer) {
    state().answers.enqueue(answer);
}

QList<ShownBox> takeShown() {
    QList<ShownBox> shown;
    shown.swap(state().shown);
    return shown;
}

} // namespace Messages
