#pragma once

#include "services/AppPaths.h"

#include <QByteArray>
#include <QString>

#include <array>

// settings.ini: the single-key read and write routines every part uses, the generated default file, and
// the few options also held in memory.
class Settings final {
public:
    explicit Settings(const AppPaths& paths) : m_paths(paths) {}
    // The paths are kept by reference: they must outlive the settings, so a temporary is refused.
    explicit Settings(AppPaths&&) = delete;

    // file "0" stands for settings.ini. Values are cut to 254 bytes.
    QString ReadSetting(const QString& section, const QString& key, const QString& file = QStringLiteral("0"));
    void WriteSetting(const QString& section, const QString& key, const QString& value,
                      const QString& file = QStringLiteral("0"));
    // The numeric value of a setting, read with the leading-number rule ("" and text read as 0).
    double ReadNumber(const QString& section, const QString& key) { return valueOf(ReadSetting(section, key)); }
    // The same as an int: the whole part, or the nearest end of the int range for a number beyond it (a value may
    // hold up to 254 digits).
    int ReadInt(const QString& section, const QString& key) { return toInt(ReadNumber(section, key)); }

    void WriteDefaultSettings();
    // A settings.ini that is there but cannot be read (a folder, a FIFO, no access) is reported with the loading
    // error; false then. The writes to it that follow would fail alike and are not reported again.
    bool CheckSettingsFile();
    static QByteArray defaultSettingsContent(const QString& projectsFolder);

    // Loading stops with false when a stored number does not fit the integer the program keeps it in (a special
    // hotkey value 32 bits, the paste method 16 bits, the exit mode a byte); the values read before stay. The font
    // size (16 bits) is only left as it was.
    void LoadEditorFont();
    bool LoadSpecialHotkeys();
    // The copy options from the file: hiding wins when both MinimizeOnCopy and HideOnCopy are 1.
    void LoadCopyOptions();
    // The copy options into the file, as held in memory (only one of MinimizeOnCopy and HideOnCopy is 1).
    void SaveCopyOptions();
    // The PasteMethod setting as it is read now; a stored value of 0 or less reads as 1.
    int ReadPasteMethod();
    // The memory-only steps of loading the options (charset, paste method, exit mode, flags).
    bool loadCoreValues();

    const AppPaths& paths() const { return m_paths; }

    // The leading-number parse of a text: blanks skipped, optional sign, digits, optional fraction.
    static double valueOf(const QString& text);
    // A number's whole part as an int, the nearest end of the range for a number beyond it.
    static int toInt(double value);
    // The charset index (1..10) to a font character set value.
    static int charsetValue(int charsetIndex);

    // In-memory copies.
    int Charset = 0;
    QString DefaultFontName;
    int DefaultFontSize = 0;
    int DefaultPasteMethod = 1;
    int ExitMode = 1;
    bool AskDeletingClip = true;
    bool SentenceCaseKeepBig = true;
    // The copy options (Options menu, settings dialog), read by every copy.
    bool AutoPaste = true;
    bool MinimizeOnCopy = false;
    bool HideOnCopy = false;
    // HKShowZP, HKGlobalMenu, HKPasteNext, HKPasteMenu, HKSettings: Mod then Key for each.
    std::array<int, 10> SpecialHotkeys{};
    bool SettingsWritten = false;

    static const std::array<const char*, 5> SpecialHotkeyNames;

private:
    const AppPaths& m_paths;
    // The file whose failed write was reported: an exit writes a dozen keys, each failing as the first did, and
    // the user is told once. A write to it that succeeds ends this.
    QString m_unwritable;
};
