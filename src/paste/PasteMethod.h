#pragma once

#include <QString>

// Paste method codes as clips and the PasteMethod setting store them.
namespace PasteMethod {

constexpr int ControlV = 1;
constexpr int KeyByKey = 2;
constexpr int ShiftInsert = 3;
constexpr int Default = 4;

// The keystroke strings of the two paste shortcuts.
inline const QString ControlVKeys = QStringLiteral("^{v}");
inline const QString ShiftInsertKeys = QStringLiteral("+{INSERT}");

// The method a clip is pasted with: the setting's for Default, else the clip's own.
int effective(int clipMethod, int pasteMethodSetting);

// What pasting a clip sends into the target, by effective method and clip format.
enum class Send { Nothing, ControlV, ShiftInsert, ClipText };
// Text clips (TXT-SIMPLE, TXT-LONG) can be typed; pictures and rich text cannot and are pasted with Control+V.
Send forClip(int effectiveMethod, const QString& format);
// After the clipboard menu's date and time commands: by the PasteMethod setting alone.
Send forClipboard(int pasteMethodSetting);
// The keystroke string for ControlV and ShiftInsert; "" otherwise.
QString keysFor(Send send);

} // namespace PasteMethod
