#pragma once

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
};
