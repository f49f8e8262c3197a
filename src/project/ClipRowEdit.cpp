#include "project/ClipRowEdit.h"

#include "platform/KeyCodes.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>

int virtualKeyCode(int qtKey) {
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return KeyCode::F1 + (qtKey - Qt::Key_F1);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey; // same codes as ASCII capitals
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qtKey;
    switch (qtKey) {
    case Qt::Key_Backspace:
        return KeyCode::Backspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return KeyCode::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyCode::Return;
    case Qt::Key_Shift:
        return KeyCode::Shift;
    case Qt::Key_Control:
        return KeyCode::Control;
    case Qt::Key_Alt:
        return KeyCode::Alt;
    case Qt::Key_Escape:
        return KeyCode::Escape;
    case Qt::Key_Space:
        return KeyCode::Space;
    case Qt::Key_PageUp:
        return KeyCode::PageUp;
    case Qt::Key_PageDown:
        return KeyCode::PageDown;
    case Qt::Key_End:
        return KeyCode::End;
    case Qt::Key_Home:
        return KeyCode::Home;
    case Qt::Key_Left:
        return KeyCode::Left;
    case Qt::Key_Up:
        return KeyCode::Up;
    case Qt::Key_Right:
        return KeyCode::Right;
    case Qt::Key_Down:
        return KeyCode::Down;
    case Qt::Key_Insert:
        return KeyCode::Insert;
    case Qt::Key_Delete:
        return KeyCode::Delete;
    default:
        return 0;
    }
}

ClipRowEdit::ClipRowEdit(int index, QWidget* parent) : QLineEdit(parent), m_index(index) {
    setObjectName(QStringLiteral("txtPaste(%1)").arg(index));
    setAcceptDrops(true);
}

void ClipRowEdit::setLocked(bool locked) {
    setReadOnly(locked);
}

void ClipRowEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    Q_EMIT gotFocus(m_index);
}

void ClipRowEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    Q_EMIT lostFocus(m_index);
}

void ClipRowEdit::keyPressEvent(QKeyEvent* event) {
    int shift = 0;
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::ShiftModifier)
        shift |= RowKeyModifier::Shift;
    if (mods & Qt::ControlModifier)
        shift |= RowKeyModifier::Control;
    if (mods & Qt::AltModifier)
        shift |= RowKeyModifier::Alt;
    const int code = virtualKeyCode(event->key());
    // The row's rules run first; the key then reaches the text box as usual. Escape is left to the window.
    QPointer<ClipRowEdit> self(this);
    Q_EMIT keyDown(m_index, code, shift);
    if (!self)
        return;
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    if (event->key() == Qt::Key_Delete)
        return; // Delete clears the whole clip (after its question) and never deletes a character
    QLineEdit::keyPressEvent(event);
}

void ClipRowEdit::mousePressEvent(QMouseEvent* event) {
    if (m_automaticDrag && event->button() == Qt::LeftButton) {
        auto* mime = new QMimeData;
        mime->setData(QLatin1String(DragMimeType), QByteArray::number(m_index));
        auto* drag = new QDrag(this);
        drag->setMimeData(mime);
        drag->exec(Qt::MoveAction);
        return;
    }
    QLineEdit::mousePressEvent(event);
    Q_EMIT clicked(m_index);
}

void ClipRowEdit::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(QLatin1String(DragMimeType)))
        event->acceptProposedAction();
    else
        QLineEdit::dragEnterEvent(event);
}

void ClipRowEdit::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasFormat(QLatin1String(DragMimeType)))
        event->acceptProposedAction();
    else
        QLineEdit::dragMoveEvent(event);
}

void ClipRowEdit::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasFormat(QLatin1String(DragMimeType))) {
        QLineEdit::dropEvent(event);
        return;
    }
    bool ok = false;
    const int source = event->mimeData()->data(QLatin1String(DragMimeType)).toInt(&ok);
    event->acceptProposedAction();
    if (ok)
        Q_EMIT rowDropped(source, m_index);
}
