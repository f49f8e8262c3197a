#include "services/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QQueue>

#include <cstring>

namespace {

Q_LOGGING_CATEGORY(lcMessages, "zolpane.messages")

struct State {
    int errorNumber = 0;
    QString errorDescription;
    bool unattended = false;
    bool stopped = false;
    QQueue<int> answers;
    QList<Messages::ShownBox> shown;
};

State& state() {
    static State s;
    return s;
}

} // namespace

namespace Messages {

void setPendingError(int number, const QString& description) {
    state().errorNumber = number;
    state().errorDescription = description;
}

void setPendingErrno(int errnoValue) {
    setPendingError(errnoValue, QString::fromLocal8Bit(std::strerror(errnoValue)));
}

int pendingErrorNumber() {
    return state().errorNumber;
}
QString pendingErrorDescription() {
    return state().errorDescription;
}

int ShowMessage(const QString& text, const QString& kind, bool details) {
    State& s = state();
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title = QStringLiteral("Zolpane");
    QString shownText = text;
    if (kind == QLatin1String("inf")) {
        icon = QMessageBox::Information;
    } else if (kind == QLatin1String("err")) {
        icon = QMessageBox::Critical;
        title = QStringLiteral("Zolpane - Error");
        if (details)
            shownText += QStringLiteral("\r\n\r\nError number: ") + QString::number(s.errorNumber) +
                         QStringLiteral(", description: ") + s.errorDescription;
    } else if (kind == QLatin1String("quest")) {
        icon = QMessageBox::Question;
    } else if (kind == QLatin1String("excl")) {
        icon = QMessageBox::Warning;
    } else {
        setPendingError(0, {});
        return 0;
    }
    const bool question = icon == QMessageBox::Question;
    // Every box is also logged, so what the user was told can be read back from the log.
    qCInfo(lcMessages).noquote() << kind << title << shownText;
    int result = 0;
    if (s.stopped) {
        result = question ? No : 0;
    } else if (s.unattended) {
        s.shown.append({kind, title, shownText});
        const int answer = s.answers.isEmpty() ? (question ? No : 0) : s.answers.dequeue();
        result = question ? answer : 0;
    } else {
        QMessageBox box(icon, title, shownText, question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
        box.setWindowModality(Qt::ApplicationModal);
        box.setObjectName(QStringLiteral("ZolpaneMessageBox"));
        const int button = box.exec();
        if (question)
            result = button == QMessageBox::Yes ? Yes : No;
    }
    setPendingError(0, {});
    return result;
}

void ShowError(const QString& text, bool details) {
    ShowMessage(text, QStringLiteral("err"), details);
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
