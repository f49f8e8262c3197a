#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <functional>

class QImage;
class QMimeData;
class QSocketNotifier;
class QTimer;

// The forms a clip's content is offered in on Wayland, by MIME type, and their bytes.
namespace ClipboardForms {
// The content's own types in their order (rich text first where it has it), then plain text under the names
// X11 programs behind XWayland ask for, and a picture as PNG and BMP.
QList<QByteArray> offered(const QMimeData& content);
// The bytes of one offered type; empty for a type that is not offered.
QByteArray data(const QMimeData& content, const QByteArray& type);
// Whether producing the type's bytes takes long enough to be done off the event loop (encoding a picture).
bool isSlow(const QByteArray& type);
// A picture in one of the offered picture types; any thread may call it.
QByteArray encodePicture(const QImage& picture, const QByteArray& type);
} // namespace ClipboardForms

// Writes one answer to a paste request into the pipe the reader gave, without blocking the event loop: each
// chunk when the pipe can take it, then closes the pipe and deletes itself. A reader that stops reading is
// given up on after a while (the pipe closes, the writer goes).
class ClipboardWriter final : public QObject {
    Q_OBJECT
public:
    // Takes over fd. produce() runs on a worker thread when slow, else at once.
    static void start(int fd, std::function<QByteArray()> produce, bool slow, QObject* parent);

    // How long a reader may take without reading anything before the pipe is closed.
    static constexpr int stalledReaderMs = 30000;

private:
    ClipboardWriter(int fd, QObject* parent);
    ~ClipboardWriter() override;
    void begin(QByteArray bytes);
    void writeSome();

    int m_fd;
    QByteArray m_bytes;
    qsizetype m_written = 0;
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_stall = nullptr;
};
