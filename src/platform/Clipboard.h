#pragma once

#include <QObject>

#include <memory>

class QMimeData;

/**
 * @brief The desktop's clipboard and primary selection, as this program puts clips on them.
 *
 * Content set here is served to every application that asks, in the forms the QMimeData holds (plain text also
 * under the names X11 and Wayland applications ask for; an image as PNG and BMP), and only in those, until
 * another application takes the clipboard. The Qt backend serves through the Qt platform plugin; the Wayland
 * one through the compositor's data-control protocol, which needs no window with the focus.
 */
class Clipboard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Clipboard() override = default;

    /// Replaces the clipboard's content with content, and the primary selection's with primary when given.
    virtual void setContent(std::unique_ptr<QMimeData> content, std::unique_ptr<QMimeData> primary = {}) = 0;
    /// Puts the clipboard's current text on the primary selection too (terminals paste that on Shift+Insert).
    virtual void copyTextToPrimary() = 0;
    /// The clipboard's text, "" when it holds none. Where another client's text has to be read through a pipe
    /// it is read as soon as that client offers it, so the answer is there when asked for.
    virtual QString text() const = 0;
    /// Replaces the clipboard's content with plain text.
    void setText(const QString& text);
    /// Empties the clipboard.
    virtual void clear() = 0;
};
