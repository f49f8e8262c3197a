#pragma once

#include "platform/KeyAction.h"

#include <QString>

// Turns a keystroke string into the keys to send. The notation:
//   a plain character types that character ("\r\n", "\n" and "\r" are Enter, "\t" is Tab);
//   "+", "^", "%" hold Shift, Control, Alt for the next key, or for every key of a following "( ... )" group;
//   "~" is Enter;
//   "{name}" is one key: a single character in braces is that character taken literally ("{+}", "{~}", "{}}"),
//   otherwise a key name (ENTER, TAB, ESC, BACKSPACE/BS/BKSP, DELETE/DEL, INSERT/INS, HOME, END, PGUP,
//   PGDN, LEFT, RIGHT, UP, DOWN, F1-F12, in any letter case); "{name n}" repeats the key n times.
struct KeystrokeParseResult {
    KeyActions actions;
    QString error;           // empty when the string was understood
    qsizetype position = -1; // where in the string the error was found

    bool ok() const { return error.isEmpty(); }
};

class KeystrokeParser final {
public:
    static KeystrokeParseResult parse(const QString& keys);
    // The most times "{name n}" may repeat a key: beyond it the string is refused rather than typed for ages.
    static constexpr int maxRepeat = 1000;
};
