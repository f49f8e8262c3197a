#include "platform/portal/PortalClipboard.h"

#include "platform/ClipboardPipes.h"
#include "platform/PlatformLog.h"
#include "platform/portal/PortalBus.h"
#include "platform/portal/PortalRemoteSession.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QMimeData>

#include <unistd.h>

namespace {
const QString kUtf8Text = QStringLiteral("text/plain;charset=utf-8");

// The pipe end a reply hands over, as a descriptor of our own (-1 when the call failed).
int ownDescriptor(QDBusPendingCallWatcher* call) {
    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *call;
    return reply.isValid() && reply.value().isValid() ? dup(reply.value().fileDescriptor()) : -1;
}
} // namespace

PortalClipboard::PortalClipboard(PortalBus& portal, PortalRemoteSession& session, std::unique_ptr<Clipboard> fallback,
                                 QObject* parent)
    : Clipboard(parent), m_portal(portal), m_session(session), m_fallback(std::move(fallback)) {
    QDBusConnection bus = m_portal.bus();
    const QString service = QString::fromLatin1(PortalBus::Service), path = QString::fromLatin1(PortalBus::Path),
                  interface = QString::fromLatin1(PortalBus::Clipboard);
    bus.connect(service, path, interface, QStringLiteral("SelectionTransfer"), this,
                SLOT(onSelectionTransfer(QDBusMessage)));
    bus.connect(service, path, interface, QStringLiteral("SelectionOwnerChanged"), this,
                SLOT(onSelectionOwnerChanged(QDBusMessage)));
}

PortalClipboard::~PortalClipboard() = default;

bool PortalClipboard::shared() const {
    return m_session.state() == PortalRemoteSession::State::Ready && m_session.clipboardEnabled();
}

bool PortalClipboard::isOurs(const QDBusMessage& signal) const {
    return shared() && signal.arguments().value(0).value<QDBusObjectPath>().path() == m_session.path();
}

void PortalClipboard::offer(const QStringList& types) {
    m_portal.call(
        PortalBus::Clipboard, QStringLiteral("SetSelection"),
        {QVariant::fromValue(QDBusObjectPath(m_session.path())), QVariantMap{{QStringLiteral("mime_types"), types}}});
}

void PortalClipboard::setContent(std::unique_ptr<QMimeData> content, std::unique_ptr<QMimeData> primary) {
    if (!shared()) {
        m_fallback->setContent(std::move(content), std::move(primary));
        return;
    }
    QStringList types;
    for (const QByteArray& type : ClipboardForms::offered(*content))
        types.append(QString::fromLatin1(type));
    m_content = std::move(content);
    offer(types);
}

void PortalClipboard::copyTextToPrimary() {
    if (!shared())
        m_fallback->copyTextToPrimary();
}

QString PortalClipboard::text() const {
    if (!shared())
        return m_fallback->text();
    return m_content ? m_content->text() : m_foreignText;
}

void PortalClipboard::clear() {
    if (!shared()) {
        m_fallback->clear();
        return;
    }
    m_content.reset();
    m_foreignText.clear();
    offer({});
}

void PortalClipboard::onSelectionTransfer(const QDBusMessage& signal) {
    if (!isOurs(signal))
        return;
    const QByteArray type = signal.arguments().value(1).toString().toLatin1();
    const uint serial = signal.arguments().value(2).toUInt();
    const QVariant session = QVariant::fromValue(QDBusObjectPath(m_session.path()));
    // Also called by a writer that goes with this clipboard at exit: it holds nothing of the clipboard's.
    const auto done = [&portal = m_portal, session, serial](bool written) {
        portal.call(PortalBus::Clipboard, QStringLiteral("SelectionWriteDone"), {session, serial, written});
    };
    if (!m_content || !ClipboardForms::offered(*m_content).contains(type)) {
        done(false);
        return;
    }
    auto* call = new QDBusPendingCallWatcher(
        m_portal.call(PortalBus::Clipboard, QStringLiteral("SelectionWrite"), {session, serial}), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, type, done](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const int fd = ownDescriptor(w);
        if (fd < 0 || !m_content) {
            if (fd >= 0)
                close(fd);
            done(false);
            return;
        }
        ClipboardWriter::serve(fd, *m_content, type, this, done);
    });
}

void PortalClipboard::onSelectionOwnerChanged(const QDBusMessage& signal) {
    if (!isOurs(signal))
        return;
    const QVariantMap options = qdbus_cast<QVariantMap>(signal.arguments().value(1));
    if (options.value(QStringLiteral("session_is_owner")).toBool())
        return;
    // Another application took the clipboard: its text is read now, so that the clipboard menu's commands find it.
    m_content.reset();
    m_foreignText.clear();
    delete m_reading.data();
    if (!qdbus_cast<QStringList>(options.value(QStringLiteral("mime_types"))).contains(kUtf8Text))
        return;
    auto* call =
        new QDBusPendingCallWatcher(m_portal.call(PortalBus::Clipboard, QStringLiteral("SelectionRead"),
                                                  {QVariant::fromValue(QDBusObjectPath(m_session.path())), kUtf8Text}),
                                    this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (const int fd = ownDescriptor(w); fd >= 0)
            m_reading =
                ClipboardReader::start(fd, maxForeignTextBytes, this, [this](bool whole, const QByteArray& bytes) {
                    if (whole)
                        m_foreignText = QString::fromUtf8(bytes);
                });
    });
}
