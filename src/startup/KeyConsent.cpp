#include "startup/KeyConsent.h"

#include "platform/KeySender.h"
#include "services/Messages.h"
#include "services/Settings.h"

#include <QTimer>

void KeyConsent::request(KeySender& keys, Settings& settings, QObject* context) {
    const QString section = QStringLiteral("Zolpane"), key = QLatin1String(TokenKey);
    QObject::connect(
        &keys, &KeySender::consentTokenReceived, context,
        [&settings, section, key](const QString& token) { settings.WriteSetting(section, key, token); });
    QObject::connect(
        &keys, &KeySender::consentLost, context,
        [](const QString& reason) {
            // Once the caller's event has been handled: the box waits for the user.
            QTimer::singleShot(0, [reason] {
                Messages::ShowMessage(QStringLiteral("Zolpane cannot paste by itself: %1.\r\n\r\nClips are still put "
                                                     "on the clipboard when you copy them; paste them with Ctrl+V.")
                                          .arg(reason),
                                      MessageKind::Warning);
            });
        },
        Qt::SingleShotConnection);
    keys.requestConsent(settings.ReadSetting(section, key));
}
