// The portal backend against a scripted portal on the test's own session bus: the RemoteDesktop session with the
// clipboard asked for before the start, and the clipboard shared in it (a newer portal's Clipboard interface,
// which Debian's portal lacks, so no end-to-end test can reach it).

#include "TestSupport.h"
#include "platform/portal/PortalBus.h"
#include "platform/portal/PortalClipboard.h"
#include "platform/portal/PortalRemoteSession.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kClipboard = QStringLiteral("org.freedesktop.portal.Clipboard");
const QString kSession = kPath + QStringLiteral("/session/test/s1");

// A clipboard that records what it was given, for the time the portal does not share the desktop's.
class RecordingClipboard final : public Clipboard {
public:
    void setContent(std::unique_ptr<QMimeData> content, std::unique_ptr<QMimeData>) override {
        texts.append(content->text());
    }
    void copyTextToPrimary() override {}
    QString text() const override { return texts.value(texts.size() - 1); }
    void clear() override {}
    QStringList texts;
};

// The portal: answers RemoteDesktop's requests at once through Response signals, shares its clipboard, and
// records each call as "Method arguments". Runs on a connection and a thread of its own, as a real portal would.
class ScriptedPortal final : public QDBusVirtualObject {
public:
    explicit ScriptedPortal(QDBusConnection bus) : m_bus(std::move(bus)) {}
    QString introspect(const QString&) const override {
        return QStringLiteral("<interface name=\"org.freedesktop.portal.RemoteDesktop\"/>"
                              "<interface name=\"org.freedesktop.portal.Clipboard\"/>");
    }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection&) override {
        const QString method = call.member();
        const QVariantList args = call.arguments();
        QMutexLocker lock(&m_mutex);
        m_calls.append(method);
        if (method == QLatin1String("Introspect"))
            return m_bus.send(call.createReply(QStringLiteral("<node>%1</node>").arg(introspect({}))));
        if (method == QLatin1String("Get")) // AvailableDeviceTypes: the keyboard
            return m_bus.send(call.createReply(QVariant::fromValue(QDBusVariant(uint(1)))));
        if (method == QLatin1String("SelectionWrite") || method == QLatin1String("SelectionRead")) {
            int ends[2];
            if (pipe2(ends, O_CLOEXEC) != 0)
                return false;
            // SelectionWrite hands out the write end and keeps the read end for the test; SelectionRead the
            // other way round, with another application's text already in it.
            const bool write = method == QLatin1String("SelectionWrite");
            if (!write) {
                const QByteArray text = "from another application";
                (void)::write(ends[1], text.constData(), size_t(text.size()));
            }
            m_bus.send(call.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(ends[write ? 1 : 0]))));
            close(ends[write ? 1 : 0]);
            if (write)
                m_pending = ends[0];
            else
                close(ends[1]);
            return true;
        }
        if (method == QLatin1String("SetSelection"))
            m_calls.last() +=
                QLatin1Char(' ') + qdbus_cast<QVariantMap>(args.value(1)).value("mime_types").toStringList().join(',');
        if (method == QLatin1String("SelectionWriteDone"))
            m_calls.last() += QStringLiteral(" %1 %2").arg(args.value(1).toUInt()).arg(args.value(2).toBool());
        if (call.interface() != QLatin1String("org.freedesktop.portal.RemoteDesktop") ||
            method.startsWith(QLatin1String("Notify")))
            return m_bus.send(call.createReply());
        // A request: its handle, then its Response with the results the method's answer holds.
        const QString token = qdbus_cast<QVariantMap>(args.last()).value("handle_token").toString();
        QString sender = call.service().mid(1).replace('.', '_');
        const QString request = QStringLiteral("%1/request/%2/%3").arg(kPath, sender, token);
        m_bus.send(call.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QVariantMap results;
        if (method == QLatin1String("CreateSession"))
            results.insert("session_handle", kSession);
        if (method == QLatin1String("Start"))
            results = {{"devices", uint(1)}, {"clipboard_enabled", true}};
        QDBusMessage response =
            QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"), "Response");
        response << uint(0) << results;
        return m_bus.send(response);
    }
    void emitSignal(const QString& name, const QVariantList& args) {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kClipboard, name);
        signal.setArguments(args);
        m_bus.send(signal);
    }
    QStringList calls() const {
        QMutexLocker lock(&m_mutex);
        return m_calls;
    }
    // The read end of the last SelectionWrite, -1 until there is one.
    int written() const {
        QMutexLocker lock(&m_mutex);
        return m_pending;
    }

private:
    QDBusConnection m_bus;
    mutable QMutex m_mutex;
    QStringList m_calls;
    int m_pending = -1;
};
} // namespace

class PortalTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "scripted-portal");
        QVERIFY2(bus.isConnected(), "no session bus: the test runs under dbus-run-session");
        m_portal = new ScriptedPortal(bus);
        QVERIFY(bus.registerVirtualObject(kPath, m_portal, QDBusConnection::SubPath));
        m_portal->moveToThread(&m_thread);
        m_thread.start();
        QVERIFY(bus.registerService(kService));
    }
    void cleanupTestCase() {
        m_thread.quit();
        m_thread.wait();
    }

    void clipboardSharedInTheSession() {
        std::unique_ptr<PortalBus> bus = PortalBus::open();
        QVERIFY(bus && bus->offer().keyboard && bus->offer().clipboard && !bus->offer().shortcuts);
        PortalRemoteSession session(*bus, true);
        auto fallback = std::make_unique<RecordingClipboard>();
        RecordingClipboard* before = fallback.get();
        PortalClipboard clipboard(*bus, session, std::move(fallback));
        clipboard.setText(QStringLiteral("before the start"));
        QCOMPARE(before->texts, QStringList{"before the start"});

        QSignalSpy ready(&session, &PortalRemoteSession::ready);
        session.start({});
        QVERIFY(ready.wait());
        const QStringList calls = m_portal->calls();
        QVERIFY2(calls.indexOf("RequestClipboard") >= 0 && calls.indexOf("RequestClipboard") < calls.indexOf("Start"),
                 qPrintable(calls.join(' ')));

        // Ours: offered under the text types, and written when the desktop asks.
        clipboard.setText(QStringLiteral("Grüße"));
        QTRY_VERIFY(m_portal->calls().last().startsWith("SetSelection text/plain,text/plain;charset=utf-8"));
        m_portal->emitSignal("SelectionTransfer", {QVariant::fromValue(QDBusObjectPath(kSession)),
                                                   QStringLiteral("text/plain;charset=utf-8"), uint(7)});
        QTRY_VERIFY2(m_portal->written() >= 0, qPrintable(m_portal->calls().join(" | ")));
        const int written = m_portal->written();
        QTRY_COMPARE(m_portal->calls().last(), QStringLiteral("SelectionWriteDone 7 1"));
        char bytes[64] = {};
        QCOMPARE(QString::fromUtf8(bytes, int(read(written, bytes, sizeof bytes))), QStringLiteral("Grüße"));
        close(written);
        QCOMPARE(clipboard.text(), QStringLiteral("Grüße"));

        // Another application's: its text is read at once.
        m_portal->emitSignal(
            "SelectionOwnerChanged",
            {QVariant::fromValue(QDBusObjectPath(kSession)),
             QVariantMap{{"mime_types", QStringList{"text/plain;charset=utf-8"}}, {"session_is_owner", false}}});
        QTRY_COMPARE(clipboard.text(), QStringLiteral("from another application"));
        QCOMPARE(before->texts.size(), 1);
    }

private:
    QThread m_thread;
    ScriptedPortal* m_portal = nullptr;
};

ZP_TEST_CLASS(PortalTest)
#include "PortalTest.moc"
