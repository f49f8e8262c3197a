#pragma once

#include <QDialog>
#include <QPointer>

#include <array>
#include <functional>
#include <utility>

class ClipTable;
class HotkeyPicker;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class Settings;

// What the clip properties dialog reads and calls outside itself.
struct PropertiesContext {
    Settings& settings;
    ClipTable& table;
    // The current hotkey of clip 1..30 as (ClipHotkeyMod, ClipHotkeyKey), 0 meaning none.
    std::function<std::pair<int, int>(int clip)> clipHotkey;
    // Sets, changes or removes the hotkey of clip id - 6.
    std::function<void(int m, int k, int id)> SetClipHotkey;
    // What the desktop bound to the hotkey of an id, "" where the program takes its keys itself.
    std::function<QString(int id)> desktopBinding;
    // The main window stops being top-most while the dialog is open ...
    std::function<void()> dropTopMost;
    // ... and becomes top-most again when it is in its always-on-top state.
    std::function<void()> restoreTopMost;
    std::function<bool()> programExiting;
};

// The paste method and the global hotkey of one clip. Created fresh for every opening and deleted when it
// closes, so its state never carries over from one clip to the next.
class frmProperties final : public QDialog {
    Q_OBJECT
public:
    frmProperties(PropertiesContext context, int EditClipNumber, QWidget* parent = nullptr);

    // Opens the dialog for clip n, the one way the program opens it: a dialog still open in `current` (for
    // this or another clip) is closed without storing anything, the main window leaves its top-most state
    // and the new dialog is shown, not modal. `current` is the opener's slot for the one open dialog; it
    // empties itself when the dialog is deleted. Returns nullptr while the program exits.
    static frmProperties* open(QPointer<frmProperties>& current, const PropertiesContext& context, int n,
                               QWidget* parent = nullptr);

    void FillKeyList();
    int GetModifierCode() const;
    bool ValidateHotkey();
    void SetPasteMethod();

    int clipNumber() const { return m_clip; }
    // The key code of the selected key list entry, 0 when nothing is selected.
    int selectedKey() const;

    bool HotkeyUnchanged = false;

    std::array<QGroupBox*, 2> fraContainer{};
    HotkeyPicker* picker = nullptr;
    QRadioButton* optDefault = nullptr;
    QRadioButton* optShiftInsert = nullptr;
    QRadioButton* optKeyByKey = nullptr;
    QRadioButton* optControlV = nullptr;
    // The hotkey picker's controls.
    QCheckBox* chkShift = nullptr;
    QCheckBox* chkAlt = nullptr;
    QCheckBox* chkControl = nullptr;
    std::array<QLabel*, 3> lblInfo{};
    QComboBox* mKey = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void load();
    void okClicked();

    PropertiesContext m_ctx;
    int m_clip;
    bool m_unloaded = false;
};
