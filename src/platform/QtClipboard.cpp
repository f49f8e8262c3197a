#include "platform/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void QtClipboard::setContent(std::unique_ptr<QMimeData> content, std::unique_ptr<QMimeData> primary) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    // The new content replaces every format of the old one at once, so only the clip's forms are on the clipboard
    // afterwards, as when it is emptied first; emptying it on its own would cost the paste two round trips to
    // the X server.
    clipboard->setMimeData(content.release());
    if (primary && clipboard->supportsSelection())
        clipboard->setMimeData(primary.release(), QClipboard::Selection);
}

void QtClipboard::copyTextToPrimary() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection())
        clipboard->setText(clipboard->text(), QClipboard::Selection);
}

QString QtClipboard::text() const {
    return QGuiApplication::clipboard()->text();
}

void QtClipboard::clear() {
    QGuiApplication::clipboard()->clear();
}

void Clipboard::setText(const QString& text) {
    auto content = std::make_unique<QMimeData>();
    content->setText(text);
    setContent(std::move(content));
}
