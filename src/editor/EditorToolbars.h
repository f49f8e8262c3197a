#pragma once

#include "editor/EditorModes.h"

#include <QVector>

class QAction;
class QMainWindow;
class QToolBar;

// The editor's two toolbars: `toolbar` (OK, Cancel, Clear and the three mode buttons) and `toolbar2` (files,
// undo, formatting, clipboard, picture effects). Buttons are counted from 1 as the design counts them,
// separators included; the window connects them.
struct EditorToolbars {
    QToolBar* toolbar = nullptr;
    QToolBar* toolbar2 = nullptr;
    QVector<QAction*> buttons;  // 1..8
    QVector<QAction*> buttons2; // 1..33

    static EditorToolbars build(QMainWindow& window);
    // The main toolbar's button of a mode: 6, 7 or 8.
    static int modeButton(EditorModes::Mode mode) { return 6 + int(mode); }
    // The edit toolbar's button before which the font name and size boxes stand.
    static constexpr int FontBoxesBefore = 21;
};
