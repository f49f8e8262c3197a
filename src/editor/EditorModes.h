#pragma once

#include <QString>

// The clip editor's three modes and the rules for going from one to another. The mode's names are the form the
// design gives them (the editor's EditorMode field and the caption rules take them); everything else works with
// the enum.
namespace EditorModes {

enum class Mode { Txt, Rtf, Img };

// "txt", "rtf" or "img"; fromName gives Txt for anything else.
QString name(Mode mode);
Mode fromName(const QString& name);

// What the text boxes do on a switch: nothing, or the text moves to the box of the new mode (from rich text with
// its formatting removed).
enum class TextMove { None, PlainToRich, RichToPlain };

// A switch from one mode to another: the question the user must answer with yes first ("" when none), and the
// text that moves once the new mode is shown.
struct Switch {
    Mode from;
    Mode to;
    const char* question;
    TextMove move;
};
// The switch between two different modes; nullptr for a mode to itself, which changes nothing.
const Switch* switchBetween(Mode from, Mode to);

// The clipboard form of rich text.
inline const QString RtfMime = QStringLiteral("text/rtf");

} // namespace EditorModes
