#include "startup/DesktopBindings.h"

#include "platform/KeyCodes.h"
#include "platform/KeySymbols.h"
#include "services/AppPaths.h"
#include "services/IniFile.h"
#include "services/Settings.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <array>

namespace DesktopBindings {
namespace {

// How each desktop spells a binding's parts, and where its bindings go. The modifiers in the order Control, Alt,
// Shift.
struct Syntax {
    Desktop desktop;
    const char* name;
    const char* place;
    std::array<const char*, 3> modifiers;
};
constexpr std::array<Syntax, 5> syntaxes{{
    {Desktop::Sway, "sway", "~/.config/sway/config", {"Ctrl", "Alt", "Shift"}},
    {Desktop::Hyprland, "hyprland", "~/.config/hypr/hyprland.conf", {"CTRL", "ALT", "SHIFT"}},
    {Desktop::Labwc, "labwc", "the keyboard element of ~/.config/labwc/rc.xml", {"C", "A", "S"}},
    {Desktop::River, "river", "~/.config/river/init", {"Control", "Alt", "Shift"}},
    {Desktop::Wayfire, "wayfire", "the command section of ~/.config/wayfire.ini", {"<ctrl>", "<alt>", "<shift>"}},
}};
constexpr std::array<int, 3> modifierBits{HotkeyModifier::Control, HotkeyModifier::Alt, HotkeyModifier::Shift};

const Syntax& syntaxOf(Desktop desktop) {
    for (const Syntax& s : syntaxes)
        if (s.desktop == desktop)
            return s;
    return syntaxes.front();
}

// A word for the shell: as it is when it holds nothing the shell would read otherwise, else in single quotes.
QString quoted(const QString& word) {
    return u'\'' + QString(word).replace(u'\'', QLatin1String("'\\''")) + u'\'';
}
QString shellWord(const QString& word) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
    return plain.match(word).hasMatch() ? word : quoted(word);
}

QString bindingLines(const Syntax& syntax, const Hotkey& hotkey, const QString& program) {
    const KeySymbols::HotkeyKey* key = KeySymbols::hotkeyKey(hotkey.key);
    QStringList modifiers;
    for (size_t i = 0; key && i < modifierBits.size(); ++i)
        if (hotkey.modifierCode & modifierBits[i])
            modifiers.append(QLatin1String(syntax.modifiers[i]));
    const QString keyName = !key ? QStringLiteral("KEY")
                                 : QLatin1String(syntax.desktop == Desktop::Wayfire ? key->linuxName : key->keysymName);
    const QString option = QString::fromLatin1(hotkey.request.toLine().chopped(1));
    const QString command = shellWord(program) + QLatin1String(" --") + option;
    const QStringList withKey = modifiers + QStringList{keyName};

    QString lines;
    switch (syntax.desktop) {
    case Desktop::Sway:
        lines = QStringLiteral("bindsym %1 exec %2").arg(withKey.join(u'+'), command);
        break;
    case Desktop::Hyprland:
        lines = QStringLiteral("bind = %1, %2, exec, %3").arg(modifiers.join(u' '), keyName, command);
        break;
    case Desktop::Labwc: {
        // "--" may not stand in an XML comment; a character reference means the same once uncommented.
        QString attribute = command.toHtmlEscaped();
        if (!key)
            attribute.replace(u'-', QLatin1String("&#45;"));
        lines = QStringLiteral("<keybind key=\"%1\"><action name=\"Execute\" command=\"%2\"/></keybind>")
                    .arg(withKey.join(u'-'), attribute);
        return key ? lines : QLatin1String("<!-- ") + lines + QLatin1String(" -->");
    }
    case Desktop::River:
        // river hands the command to sh -c, and the line itself is read by the shell running the init script.
        lines = QStringLiteral("riverctl map normal %1 %2 spawn %3")
                    .arg(modifiers.isEmpty() ? QStringLiteral("None") : modifiers.join(u'+'), keyName, quoted(command));
        break;
    case Desktop::Wayfire: {
        const QString name = QLatin1String("zolpane_") + QString(option).replace(u'-', u'_').replace(u' ', u'_');
        lines = QStringLiteral("binding_%1 = %2\ncommand_%1 = %3").arg(name, withKey.join(u' '), command);
        break;
    }
    }
    return key ? lines : QLatin1String("# ") + lines.replace(u'\n', QLatin1String("\n# "));
}

} // namespace

std::optional<Desktop> desktopNamed(QStringView name) {
    for (const Syntax& s : syntaxes)
        if (name == QLatin1String(s.name))
            return s.desktop;
    return std::nullopt;
}

QString desktopNames() {
    return QStringLiteral("sway, hyprland, labwc, river or wayfire");
}

QString format(const QList<Hotkey>& hotkeys, Desktop desktop, const QString& program) {
    const Syntax& syntax = syntaxOf(desktop);
    const QString header =
        QStringLiteral("Zolpane's hotkeys for %1 (those without a key commented out)").arg(QLatin1String(syntax.place));
    QString text = desktop == Desktop::Labwc ? QLatin1String("<!-- ") + header + QLatin1String(" -->\n")
                                             : QLatin1String("# ") + header + u'\n';
    if (desktop == Desktop::Wayfire)
        text += QLatin1String("[command]\n");
    for (const Hotkey& hotkey : hotkeys)
        text += bindingLines(syntax, hotkey, program) + u'\n';
    return text;
}

std::optional<QList<Hotkey>> readHotkeys(const AppPaths& paths, QString* error) {
    const bool present = QFileInfo::exists(paths.SettingsPath);
    if (present && !IniFile::readable(paths.SettingsPath)) {
        if (error)
            *error = QStringLiteral("cannot read %1").arg(paths.SettingsPath);
        return std::nullopt;
    }
    // Without a settings file the program writes the default one at its next start.
    const QByteArray defaults = present ? QByteArray() : Settings::defaultSettingsContent(QString());
    const auto number = [&](const QString& key) {
        const QString text = present ? IniFile::read(paths.SettingsPath, QStringLiteral("Hotkeys"), key)
                                     : QString::fromLatin1(IniFile::readValue(defaults, "Hotkeys", key.toLatin1()));
        return Settings::toInt(Settings::valueOf(text));
    };
    using Command = CommandRequest::Command;
    QList<Hotkey> hotkeys;
    for (int n = CommandRequest::FirstClip; n <= CommandRequest::LastClip; ++n) {
        const int m = number(QStringLiteral("Clip%1Mod").arg(n));
        // A clip's hotkey without a modifier is never registered.
        hotkeys.append({{Command::Paste, n}, m, m != 0 ? number(QStringLiteral("Clip%1Key").arg(n)) : 0});
    }
    // The special hotkeys by their index in Settings::SpecialHotkeyNames.
    constexpr std::array<std::pair<Command, size_t>, 5> special{{{Command::PasteNext, 2},
                                                                 {Command::ClipMenu, 3},
                                                                 {Command::ClipboardMenu, 1},
                                                                 {Command::Show, 0},
                                                                 {Command::Settings, 4}}};
    for (const auto& [command, index] : special) {
        const QString stem = QLatin1String(Settings::SpecialHotkeyNames[index]);
        hotkeys.append({{command, 0}, number(stem + QLatin1String("Mod")), number(stem + QLatin1String("Key"))});
    }
    return hotkeys;
}

} // namespace DesktopBindings
