#pragma once

class KeySender;
class Settings;
class QObject;

// The user's consent to typing, where the desktop asks for it (the RemoteDesktop portal): the token of the last
// consent is kept in settings.ini ([Zolpane] PortalRestoreToken) and offered at the next start, so that the
// desktop asks once; a refused or withdrawn consent is explained once, with what still works.
namespace KeyConsent {

constexpr const char* TokenKey = "PortalRestoreToken";

void request(KeySender& keys, Settings& settings, QObject* context);

} // namespace KeyConsent
