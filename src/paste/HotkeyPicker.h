#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;

// The Shift, Alt and Control boxes and the key list of one global hotkey, in this tab order. The controls take
// the dialog's names plus a suffix: "chkAlt(3)" in row 3 of the settings dialog, "chkAlt" in the clip
// properties, whose "+" labels lblInfo(0..2) stand after the three boxes.
class HotkeyPicker final : public QWidget {
    Q_OBJECT
public:
    HotkeyPicker(const QString& nameSuffix, bool plusLabels, QWidget* parent);

    // The entries of HotkeyKeyList(), none selected.
    void fillKeyList();
    // HotkeyModifier bits of the checked boxes.
    int modifiers() const;
    // Checks the box of each HotkeyModifier bit set in bits; other bits are ignored.
    void setModifiers(int bits);
    // The key code of the selected entry, 0 when nothing is selected.
    int keyCode() const;
    // Selects the entry with this code; without one the selection stays and the result is false.
    bool selectKey(double code);

    // A line under the boxes with what the desktop bound, where the desktop binds the keys; hidden when "".
    void showDesktopBinding(const QString& text);

    QCheckBox* chkShift = nullptr;
    QCheckBox* chkAlt = nullptr;
    QCheckBox* chkControl = nullptr;
    std::array<QLabel*, 3> lblInfo{};
    QComboBox* mKey = nullptr;
    QLabel* lblDesktop = nullptr;
};
