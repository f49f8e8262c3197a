#pragma once

#include <QDialog>
#include <QVector>

#include <array>
#include <functional>

class Autostart;
class ClipTable;
class HotkeyPicker;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;
class Settings;

// What applying the options reaches beyond the dialog. The composition root fills it once.
struct SettingsDialogContext {
    Settings& settings;
    Autostart& autostart;
    ClipTable& table;
    // The copy options changed (they live in the settings): the main window shows them.
    std::function<void()> copyOptionsChanged;
    // The charset index changed: the open windows take it.
    std::function<void()> applyCharset;
    // Unregisters the five special hotkeys, reloads them with LoadSpecialHotkeys and registers them anew.
    std::function<void()> reRegisterSpecialHotkeys;
    // What the desktop bound to the hotkey of an id, "" where the program takes its keys itself.
    std::function<QString(int id)> desktopBinding;
    // The main window becomes top-most again when it is in its always-on-top state.
    std::function<void()> restoreTopMost;
    // True while the program shuts down; only then does closing the window really close it.
    std::function<bool()> programExiting;
};

// The options dialog: general behaviour, pasting, the clipboard menu and the five special hotkeys. Created
// hidden once, then only shown and hidden; every showing refills the controls from settings.ini.
class frmSettings final : public QDialog {
    Q_OBJECT
public:
    static constexpr int HotkeyCount = 5;

    explicit frmSettings(SettingsDialogContext context, QWidget* parent = nullptr);

    void GetSettings();
    void WriteSettings();
    void DisableFrames();
    void InitializeHotkeysConfig();
    // The HotkeyModifier bits of hotkey index 0..4.
    int modifierValue(int index) const;
    // The key code of the selected entry of key list index, 0 when nothing is selected.
    int selectedKey(int index) const;

    // Shows the dialog (refilled from the file when due) and brings it to the front.
    void showSettings();

    bool reloadPending() const { return m_reload; }

    QTabWidget* tabs = nullptr;
    QGroupBox* fraGeneral = nullptr;
    QGroupBox* fraPasting = nullptr;
    QGroupBox* fraFormatting = nullptr;
    QGroupBox* fraHotkeys = nullptr;

    QCheckBox* chkOpenMainWindow = nullptr;
    QCheckBox* chckRunStartup = nullptr;
    QRadioButton* optAskWhenDeletingClip = nullptr;
    QRadioButton* optDontAskDeletingClip = nullptr;
    QRadioButton* optDontSaveZPP = nullptr;
    QRadioButton* optAskToSaveZPP = nullptr;
    QRadioButton* optAutoSaveZPP = nullptr;
    QComboBox* cmbFontScript = nullptr;

    QCheckBox* chkAutopaste = nullptr;
    QRadioButton* optZPNothing = nullptr;
    QRadioButton* optZPMinimize = nullptr;
    QRadioButton* optHideZP = nullptr;
    QRadioButton* optControlV = nullptr;
    QRadioButton* optKeyByKey = nullptr;
    QRadioButton* optShiftInsert = nullptr;
    QPushButton* cmdMassSet = nullptr;

    QCheckBox* chkAutoPasteOther = nullptr;
    QCheckBox* chkKeepBig = nullptr;

    std::array<QGroupBox*, HotkeyCount> fraBox{};
    std::array<HotkeyPicker*, HotkeyCount> hotkeyPicker{};
    // The pickers' controls.
    std::array<QCheckBox*, HotkeyCount> chkShift{};
    std::array<QCheckBox*, HotkeyCount> chkAlt{};
    std::array<QCheckBox*, HotkeyCount> chkControl{};
    std::array<QComboBox*, HotkeyCount> mKey{};

    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;

protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    QWidget* buildGeneralTab();
    QWidget* buildPastingTab();
    QWidget* buildFormattingTab();
    QWidget* buildHotkeysTab();
    void tabChanged(int index);
    void showStoredHotkeys();
    void okClicked();
    void cancelClicked();
    void massSetClicked();
    int readNumber(const char* section, const char* key);
    void write(const char* section, const QString& key, int value);

    SettingsDialogContext m_ctx;
    bool m_reload = true;
};
