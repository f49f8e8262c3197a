#include "services/Settings.h"

#include "services/AtomicFile.h"
#include "services/CodePage.h"
#include "services/IniFile.h"
#include "services/Messages.h"

#include <QFile>
#include <QLoggingCategory>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>

const std::array<const char*, 5> Settings::SpecialHotkeyNames = {"HKShowZP", "HKGlobalMenu", "HKPasteNext",
                                                                 "HKPasteMenu", "HKSettings"};

double Settings::valueOf(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == '-' || text[i] == '+'))
        ++i;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
    }
    bool ok = false;
    const double v = text.mid(start, i - start).toDouble(&ok);
    return ok ? v : 0.0;
}

int Settings::toInt(double value) {
    // Converting a double beyond the range is undefined, and a damaged file may hold any number.
    if (!(value > double(INT_MIN)))
        return INT_MIN;
    if (!(value < double(INT_MAX)))
        return INT_MAX;
    return int(value);
}

namespace {

Q_LOGGING_CATEGORY(lcSettings, "zolpane.settings")

// Whether a whole number fits an integer of the range, as the classic conversion checks before it overflows.
bool fits(double value, double min, double max) {
    return value >= min && value <= max;
}

} // namespace

QString Settings::ReadSetting(const QString& section, const QString& key, const QString& file) {
    const QString path = file == QLatin1String("0") ? m_paths.SettingsPath : file;
    if (!QFile::exists(m_paths.SettingsPath)) {
        if (path == m_paths.SettingsPath) {
            const int answer = Messages::ShowMessage(
                QStringLiteral("Unable to load settings! Your settings.ini can be damaged or incompatible.\r\n\r\n"
                               "Do you want to generate new settings.ini file? Note: You will have to start "
                               "program again."),
                MessageKind::Question);
            if (answer == Messages::Yes) {
                QFile::remove(m_paths.SettingsPath);
                WriteDefaultSettings();
            }
        } else {
            Messages::ShowError(QStringLiteral("Error while loading from ") + path,
                                {2, QStringLiteral("settings.ini not found")});
        }
        return {};
    }
    return IniFile::read(path, section, key);
}

void Settings::WriteSetting(const QString& section, const QString& key, const QString& value, const QString& file) {
    const QString path = file == QLatin1String("0") ? m_paths.SettingsPath : file;
    errno = 0;
    const bool ok = IniFile::write(path, section, key, value);
    const int error = errno ? errno : EIO;
    SettingsWritten = true;
    if (ok) {
        if (m_unwritable == path)
            m_unwritable.clear();
        return;
    }
    if (m_unwritable == path) {
        qCWarning(lcSettings) << "cannot write" << key << "to" << path << ":" << std::strerror(error);
        return;
    }
    m_unwritable = path;
    Messages::ShowError(QStringLiteral("Unable to write settings! Please check if you have got write permissions to ") +
                            m_paths.SettingsPath + QStringLiteral("."),
                        Outcome::fromErrno(error));
}

bool Settings::CheckSettingsFile() {
    errno = 0;
    if (IniFile::readable(m_paths.SettingsPath) || errno == ENOENT)
        return true;
    m_unwritable = m_paths.SettingsPath;
    Messages::ShowError(QStringLiteral("Error while loading settings!"), Outcome::fromErrno(errno));
    return false;
}

void Settings::SaveCopyOptions() {
    const QString zolpane = QStringLiteral("Zolpane");
    WriteSetting(zolpane, QStringLiteral("MinimizeOnCopy"), QString::number(int(MinimizeOnCopy)));
    WriteSetting(zolpane, QStringLiteral("HideOnCopy"), QString::number(int(HideOnCopy && !MinimizeOnCopy)));
    WriteSetting(zolpane, QStringLiteral("AutoPaste"), QString::number(int(AutoPaste)));
}

QByteArray Settings::defaultSettingsContent(const QString& projectsFolder) {
    QByteArray out;
    auto line = [&out](const QByteArray& text) { out += text + "\r\n"; };
    line("[General]");
    line("RunOnStartup=0");
    line("OpenWindowAtStartup=1");
    line("DisabledIP=0");
    line("Charset=6");
    line("");
    line("[Zolpane]");
    line("Exiting=1");
    line("PasteMethod=1");
    line("ZPAlwaysOnTop=0");
    line("DefaultProjectName=Default.zp");
    line("DefaultProjectPath=" + CodePage::toAnsi(projectsFolder));
    line("MinimizeOnCopy=0");
    line("HideOnCopy=0");
    line("AutoPaste=1");
    line("SentenceCaseKeepBig=1");
    line("AutoPasteOther=0");
    line("AskDeletingClip=1");
    line("DefaultFontName=0");
    line("DefaultFontSize=0");
    for (int i = 1; i <= 10; ++i)
        line("RecentProject" + QByteArray::number(i) + "=");
    line("PasteMethod=1");
    line("");
    line("[WindowPos]");
    line("frmConfPasteBoxX=");
    line("frmConfPasteBoxY=");
    line("frmzolpaneX=");
    line("frmzolpaneY=");
    line("");
    line("[Hotkeys]");
    for (int n = 1; n <= 30; ++n) {
        int mod = 0;
        int key = 0;
        if (n <= 9)
            mod = 2, key = 48 + n;
        else if (n == 10)
            mod = 2, key = 48;
        else if (n <= 19)
            mod = 6, key = 38 + n;
        else if (n == 20)
            mod = 6, key = 48;
        else if (n <= 29)
            mod = 3, key = 28 + n;
        else
            mod = 3, key = 48;
        line("Clip" + QByteArray::number(n) + "Mod=" + QByteArray::number(mod));
        line("Clip" + QByteArray::number(n) + "Key=" + QByteArray::number(key));
    }
    line("HKShowZPMod=3");
    line("HKShowZPKey=72");
    line("HKGlobalMenuMod=3");
    line("HKGlobalMenuKey=71");
    line("HKPasteNextMod=2");
    line("HKPasteNextKey=81");
    line("HKPasteMenuMod=3");
    line("HKPasteMenuKey=67");
    line("HKSettingsMod=3");
    line("HKSettingsKey=83");
    return out;
}

void Settings::WriteDefaultSettings() {
    errno = 0;
    if (!AtomicFile::write(m_paths.SettingsPath, defaultSettingsContent(m_paths.ProjectsFolder)))
        Messages::ShowError(QStringLiteral("Error while creating settings file!"), Outcome::fromErrno(errno));
}

void Settings::LoadEditorFont() {
    DefaultFontName = ReadSetting(QStringLiteral("Zolpane"), QStringLiteral("DefaultFontName"));
    const double size = ReadNumber(QStringLiteral("Zolpane"), QStringLiteral("DefaultFontSize"));
    const double whole = size > 0 ? std::floor(size) : 0;
    if (fits(whole, 0, 32767)) // a size beyond a 16-bit integer leaves the one in use, as the failed assignment did
        DefaultFontSize = int(whole);
}

bool Settings::LoadSpecialHotkeys() {
    for (size_t i = 0; i < SpecialHotkeys.size(); ++i) {
        const QString key = QLatin1String(SpecialHotkeyNames[i / 2]) + QLatin1String(i % 2 ? "Key" : "Mod");
        const double value = std::trunc(ReadNumber(QStringLiteral("Hotkeys"), key));
        if (!fits(value, INT_MIN, INT_MAX))
            return false;
        SpecialHotkeys[i] = int(value);
    }
    return true;
}

void Settings::LoadCopyOptions() {
    HideOnCopy = ReadNumber(QStringLiteral("Zolpane"), QStringLiteral("HideOnCopy")) == 1;
    MinimizeOnCopy = !HideOnCopy && ReadNumber(QStringLiteral("Zolpane"), QStringLiteral("MinimizeOnCopy")) == 1;
    AutoPaste = ReadNumber(QStringLiteral("Zolpane"), QStringLiteral("AutoPaste")) != 0;
}

int Settings::ReadPasteMethod() {
    // A 16-bit integer: the stored number is rounded; 0.4 rounds to 0 and so reads as 1 as well.
    const double method = ReadNumber(QStringLiteral("Zolpane"), QStringLiteral("PasteMethod"));
    const int rounded = method > 0 ? toInt(std::nearbyint(method)) : 0;
    return rounded > 0 ? rounded : 1;
}

bool Settings::loadCoreValues() {
    const double charset = ReadNumber(QStringLiteral("General"), QStringLiteral("Charset"));
    Charset = (charset > 0 && charset <= 10) ? int(charset) : 0;
    if (!fits(std::nearbyint(ReadNumber(QStringLiteral("Zolpane"), QStringLiteral("PasteMethod"))), -32768, 32767))
        return false;
    DefaultPasteMethod = ReadPasteMethod();
    const double exiting = std::trunc(ReadNumber(QStringLiteral("Zolpane"), QStringLiteral("Exiting")));
    if (!fits(exiting, 0, 255))
        return false;
    ExitMode = int(exiting);
    AskDeletingClip = ReadNumber(QStringLiteral("Zolpane"), QStringLiteral("AskDeletingClip")) == 1;
    SentenceCaseKeepBig = ReadNumber(QStringLiteral("Zolpane"), QStringLiteral("SentenceCaseKeepBig")) == 1;
    return true;
}

int Settings::charsetValue(int charsetIndex) {
    switch (charsetIndex) {
    case 1:
        return 238;
    case 2:
        return 0;
    case 3:
        return 186;
    case 4:
        return 161;
    case 5:
        return 162;
    case 6:
        return SystemCharset();
    case 7:
        return 128;
    case 8:
        return 136;
    case 9:
        return 222;
    case 10:
        return 204;
    default:
        return 0;
    }
}
