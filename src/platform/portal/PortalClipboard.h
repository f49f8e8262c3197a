#pragma once

#include "platform/Clipboard.h"

#include <QPointer>
#include <QString>

#include <memory>

class ClipboardReader;
class PortalBus;
class PortalRemoteSession;
class QDBusMessage;
class QMimeData;

// The desktop's clipboard shared in the RemoteDesktop session (the portal's Clipboard interface, where a newer
// portal has it). Until the session shares it, or where the desktop does not, the fallback serves (Qt's
// clipboard: on GNOME the X11 selection, which Mutter bridges). The portal has no primary selection: a primary
// asked for while the clipboard is shared is left out.
class PortalClipboard final : public Clipboard {
    Q_OBJECT
public:
    PortalClipboard(PortalBus& portal, PortalRemoteSession& session, std::unique_ptr<Clipboard> fallback,
                    QObject* parent = nullptr);
    ~PortalClipboard() override;

    // Another application's text longer than this is not read.
    static constexpr qsizetype maxForeignTextBytes = qsizetype(64) << 20;

    void setContent(std::unique_ptr<QMimeData> content, std::unique_ptr<QMimeData> primary = {}) override;
    void copyTextToPrimary() override;
    QString text() const override;
    void clear() override;

private Q_SLOTS:
    void onSelectionTransfer(const QDBusMessage& signal);
    void onSelectionOwnerChanged(const QDBusMessage& signal);

private:
    bool shared() const;
    bool isOurs(const QDBusMessage& signal) const;
    void offer(const QStringList& types);

    PortalBus& m_portal;
    PortalRemoteSession& m_session;
    std::unique_ptr<Clipboard> m_fallback;
    std::unique_ptr<QMimeData> m_content; // served while the clipboard is ours
    QString m_foreignText;
    QPointer<ClipboardReader> m_reading;
};
