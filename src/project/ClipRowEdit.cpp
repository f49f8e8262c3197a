#include "project/ClipRowEdit.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>

int virtualKeyCode(int qtKey) {
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey; // same codes as ASCII capitals
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qtKey;
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
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
        shift |= 1;
    if (mods & Qt::ControlModifier)
        shift |= 2;
    if (mods & Qt::AltModifier)
        shift |= 4;
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
