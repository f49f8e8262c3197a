#include "platform/ClipboardPipes.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QMimeData>
#include <QPointer>
#include <QSocketNotifier>
#include <QThreadPool>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace ClipboardForms {

namespace {
const QByteArray kUtf8Text = "text/plain;charset=utf-8";
const QByteArray kPlainText = "text/plain";
const QByteArray kQtImage = "application/x-qt-image";
// Plain text as X11 programs behind XWayland name it; STRING is Latin-1.
const QByteArray kTextAliases[] = {kUtf8Text, kPlainText, "UTF8_STRING", "TEXT", "STRING"};
const QByteArray kImageTypes[] = {"image/png", "image/bmp"};
} // namespace

QList<QByteArray> offered(const QMimeData& content) {
    QList<QByteArray> types;
    for (const QString& format : content.formats())
        if (format.toLatin1() != kQtImage)
            types.append(format.toLatin1());
    const auto add = [&types](const QByteArray& type) {
        if (!types.contains(type))
            types.append(type);
    };
    if (content.hasText())
        for (const QByteArray& type : kTextAliases)
            add(type);
    if (content.hasImage())
        for (const QByteArray& type : kImageTypes)
            add(type);
    return types;
}

QByteArray data(const QMimeData& content, const QByteArray& type) {
    if (!offered(content).contains(type))
        return {};
    if (content.hasImage() && isSlow(type))
        return encodePicture(qvariant_cast<QImage>(content.imageData()), type);
    if (content.hasFormat(QString::fromLatin1(type)) && type != kPlainText)
        return content.data(QString::fromLatin1(type));
    if (type == "STRING")
        return content.text().toLatin1();
    return content.text().toUtf8();
}

bool isSlow(const QByteArray& type) {
    return type.startsWith("image/");
}

QByteArray encodePicture(const QImage& picture, const QByteArray& type) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, type == "image/png" ? "PNG" : "BMP");
    return bytes;
}

} // namespace ClipboardForms

void ClipboardWriter::start(int fd, std::function<QByteArray()> produce, bool slow, QObject* parent,
                            std::function<void(bool)> done) {
    auto* writer = new ClipboardWriter(fd, parent);
    writer->m_done = std::move(done);
    if (!slow) {
        writer->begin(produce());
        return;
    }
    QPointer<ClipboardWriter> target = writer;
    QThreadPool::globalInstance()->start([target, produce = std::move(produce)] {
        QByteArray bytes = produce();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [target, bytes = std::move(bytes)]() mutable {
                if (target)
                    target->begin(std::move(bytes));
            },
            Qt::QueuedConnection);
    });
}

void ClipboardWriter::serve(int fd, const QMimeData& content, const QByteArray& type, QObject* parent,
                            std::function<void(bool)> done) {
    if (content.hasImage() && ClipboardForms::isSlow(type)) {
        // Encoded on a worker thread, which gets the picture (shared, not copied) rather than the QObject.
        const QImage picture = qvariant_cast<QImage>(content.imageData());
        start(
            fd, [picture, type] { return ClipboardForms::encodePicture(picture, type); }, true, parent,
            std::move(done));
        return;
    }
    start(
        fd, [bytes = ClipboardForms::data(content, type)] { return bytes; }, false, parent, std::move(done));
}

ClipboardWriter::ClipboardWriter(int fd, QObject* parent) : QObject(parent), m_fd(fd) {
    fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    m_stall = new QTimer(this);
    m_stall->setSingleShot(true);
    connect(m_stall, &QTimer::timeout, this, &QObject::deleteLater);
    m_stall->start(stalledReaderMs);
}

ClipboardWriter::~ClipboardWriter() {
    close(m_fd);
    if (m_done)
        m_done(m_written == m_bytes.size() && m_notifier);
}

void ClipboardWriter::begin(QByteArray bytes) {
    m_bytes = std::move(bytes);
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ClipboardWriter::writeSome);
    writeSome();
}

void ClipboardWriter::writeSome() {
    while (m_written < m_bytes.size()) {
        const ssize_t n = write(m_fd, m_bytes.constData() + m_written, size_t(m_bytes.size() - m_written));
        if (n > 0) {
            m_written += n;
            m_stall->start(stalledReaderMs);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return; // the notifier says when the pipe takes more
        break;      // the reader went away
    }
    m_notifier->setEnabled(false);
    deleteLater();
}

ClipboardReader* ClipboardReader::start(int fd, qsizetype maxBytes, QObject* parent,
                                        std::function<void(bool, const QByteArray&)> done) {
    auto* reader = new ClipboardReader(fd, parent);
    reader->m_max = maxBytes;
    reader->m_done = std::move(done);
    return reader;
}

ClipboardReader::ClipboardReader(int fd, QObject* parent)
    : QObject(parent), m_fd(fd), m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this)) {
    fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    connect(m_notifier, &QSocketNotifier::activated, this, &ClipboardReader::readSome);
}

ClipboardReader::~ClipboardReader() {
    close(m_fd);
}

void ClipboardReader::readSome() {
    char buffer[65536];
    bool whole = false;
    for (;;) {
        const ssize_t n = read(m_fd, buffer, sizeof buffer);
        if (n > 0 && m_bytes.size() + n <= m_max) {
            m_bytes.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return;
        whole = n == 0;
        break; // the end, or more than is taken
    }
    // Also reached from the notifier's own signal: the reader goes once that has returned.
    m_notifier->setEnabled(false);
    deleteLater();
    if (const auto done = std::exchange(m_done, nullptr))
        done(whole, whole ? m_bytes : QByteArray());
}
