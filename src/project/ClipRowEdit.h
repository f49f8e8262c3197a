#pragma once

#include <QLineEdit>

// The text box of one clip row. It reports focus changes and key presses to the main window, which keeps
// the row's rules, and carries a row in move mode by drag and drop.
class ClipRowEdit final : public QLineEdit {
    Q_OBJECT
public:
    ClipRowEdit(int index, QWidget* parent);

    int index() const { return m_index; }
    // In move mode pressing the mouse starts dragging the row at once; otherwise the text is edited.
    void setAutomaticDrag(bool on) { m_automaticDrag = on; }
    bool automaticDrag() const { return m_automaticDrag; }
    void setLocked(bool locked);

    static constexpr const char* DragMimeType = "application/x-zolpane-row";

Q_SIGNALS:
    void gotFocus(int index);
    void lostFocus(int index);
    void clicked(int index);
    // Key code in the classic virtual-key numbering and the bit set 1 Shift, 2 Ctrl, 4 Alt.
    void keyDown(int index, int keyCode, int shift);
    void rowDropped(int source, int target);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int m_index;
    bool m_automaticDrag = false;
};

// Qt key to the classic virtual-key code (0 when the key has none).
int virtualKeyCode(int qtKey);
