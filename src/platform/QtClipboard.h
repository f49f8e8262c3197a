#pragma once

#include "platform/Clipboard.h"

// The clipboard of the Qt platform plugin: on X11 (where the request filter of the X11 backend answers for it)
// and wherever the compositor lets a window that has the focus set the selection.
class QtClipboard final : public Clipboard {
    Q_OBJECT
public:
    using Clipboard::Clipboard;
    void setContent(std::unique_ptr<QMimeData> content, std::unique_ptr<QMimeData> primary = {}) override;
    void copyTextToPrimary() override;
    QString text() const override;
    void clear() override;
};
