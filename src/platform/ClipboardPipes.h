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

// Clipboard content going through pipes, as Wayland's data-control and the desktop portal's clipboard hand it over:
// the forms offered and their bytes, a writer and a reader that never block the event loop.

// The forms a clip's content is offered in, by MIME type, and their bytes.
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
    // Takes over fd. produce() runs on a worker thread when slow, else at once. done, when given, learns whether
    // every byte was written.
    static void start(int fd, std::function<QByteArray()> produce, bool slow, QObject* parent,
                      std::function<void(bool)> done = {});

    // start() with the bytes of one offered type of content; a picture is encoded on a worker thread.
    static void serve(int fd, const QMimeData& content, const QByteArray& type, QObject* parent,
                      std::function<void(bool)> done = {});

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
    std::function<void(bool)> m_done;
};

// Reads a pipe to its end from the event loop, then closes it and hands done the bytes; more than maxBytes, or a
// read error, hands done nothing (and false). Stopping it (deleting the returned reader) closes the pipe.
class ClipboardReader final : public QObject {
    Q_OBJECT
public:
    static ClipboardReader* start(int fd, qsizetype maxBytes, QObject* parent,
                                  std::function<void(bool, const QByteArray&)> done);
    ~ClipboardReader() override;

private:
    ClipboardReader(int fd, QObject* parent);
    void readSome();

    int m_fd;
    qsizetype m_max = 0;
    QByteArray m_bytes;
    QSocketNotifier* m_notifier;
    std::function<void(bool, const QByteArray&)> m_done;
};
