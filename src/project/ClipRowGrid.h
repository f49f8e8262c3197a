#pragma once

#include "project/ClipTable.h"

#include <QObject>
#include <QVector>

class ClipRowEdit;
class QLabel;
class QWidget;
class Settings;
class isButton;

// Geometry of the main window's rows, derived from a template row above row 1 that is never shown.
namespace RowGeometry {
constexpr int TemplateCopyLeft = 34;
constexpr int TemplateCopyTop = 30;
constexpr int ButtonSize = 20;
constexpr int LabelWidth = 26;
constexpr int TextLeftOffset = 70; // text box starts this far right of the copy button
constexpr int RightColumnOffset = 230;
constexpr int TextWidth = 128;
constexpr int TextHeight = 19;
constexpr int RowGap = 2;
constexpr int RowDropTwips = 45; // label and text box sit this far below the copy button's top
// The right edge of the right column's text boxes.
constexpr int RightEdge = RightColumnOffset + TemplateCopyLeft + TextLeftOffset + TextWidth;
} // namespace RowGeometry

// The 30 clip rows of the main window in two columns: number label, text box, copy, configure and properties
// buttons. The rows show the clip table and keep its rules: placeholders while a row has the focus, one-line
// simple clips, the row keys (F2 copy, F3 editor, F4 properties, Alt+F4 exit, Delete, Ctrl+F1..F8 quick slots,
// Ctrl+F9 default project), dragging rows in move mode.
class ClipRowGrid final : public QObject {
    Q_OBJECT
public:
    // rowDrop: the label's and text box's offset below the copy button, in pixels. The rows of the table are
    // reset here; their widgets come with build().
    ClipRowGrid(ClipTable& table, Settings& settings, QWidget* parent, int rowDrop);

    // Creates the rows' 150 widgets showing the table, unless they exist: before the window is first shown, or
    // when a row is asked for. A main window loaded hidden at start-up (the program waiting in the tray) has
    // nothing to show them on, and building them would hold up the tray icon. What is set on the rows before
    // (marked row, enabled, editor, move mode, focus on row 1) is kept and applied then.
    void build();

    void showClip(int i);
    // The number label of clip n in bold, the others plain.
    void markLastClip(int n);
    // Row 1 takes the focus with its whole text selected, placeholder cleared.
    void focusFirstRow();
    void setRowsEnabled(bool enabled);
    void setEditorAvailable(bool available);
    void setMoveMode(bool on);

    int currentClip() const { return m_currentClip; }
    // 31: no row, the move-mode box has the focus.
    void setCurrentClip(int i) { m_currentClip = i; }
    // The text box of row i (built first if need be).
    ClipRowEdit* row(int i);

Q_SIGNALS:
    void copyRequested(int index);
    void editRequested(int index);
    void propertiesRequested(int index);
    void quickSlotRequested(int slot);
    void loadDefaultProjectRequested();
    void exitRequested();
    // A simple row was typed in: the project has unsaved changes.
    void edited();

private:
    void rowGotFocus(int i);
    void rowLostFocus(int i);
    void rowClicked(int i);
    void rowTextEdited(int i, const QString& text);
    void rowKeyDown(int i, int keyCode, int shift);
    void rowDropped(int source, int target);

    ClipTable& m_table;
    Settings& m_settings;
    QWidget* m_parent;
    int m_currentClip = 1;
    bool m_skipSelectAll = false;
    bool m_updatingRow = false;
    int m_rowDrop = 0;
    bool m_built = false;
    // Kept for the rows while they are not built.
    int m_lastMarked = 0;
    bool m_editorAvailable = false;
    bool m_rowsEnabled = true;
    bool m_moveMode = false;
    bool m_focusFirstRow = false;
    bool m_selectFirstRow = false;

    // Indexed 1..30 (index 0 unused).
    QVector<ClipRowEdit*> txtPaste;
    QVector<QLabel*> lblPanel;
    QVector<isButton*> icmdCopy;
    QVector<isButton*> icmdConf;
    QVector<isButton*> icmdProperties;
};
