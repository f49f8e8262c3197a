#include "project/ClipRowGrid.h"

#include "platform/KeyCodes.h"
#include "project/ClipRowEdit.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "widgets/MenuIcons.h"
#include "widgets/isButton.h"

#include <QLabel>

using namespace RowGeometry;

ClipRowGrid::ClipRowGrid(ClipTable& table, Settings& settings, QWidget* parent, int rowDrop)
    : QObject(parent), m_table(table), m_settings(settings), m_parent(parent), m_rowDrop(rowDrop) {
    txtPaste.fill(nullptr, ClipTable::ClipCount + 1);
    lblPanel.fill(nullptr, ClipTable::ClipCount + 1);
    icmdCopy.fill(nullptr, ClipTable::ClipCount + 1);
    icmdConf.fill(nullptr, ClipTable::ClipCount + 1);
    icmdProperties.fill(nullptr, ClipTable::ClipCount + 1);
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        m_table.setData(i, QString());
        m_table.SwitchLock(i, false);
    }
    connect(&m_table, &ClipTable::clipChanged, this, &ClipRowGrid::showClip);
}

void ClipRowGrid::build() {
    if (m_built)
        return;
    m_built = true;
    QWidget* central = m_parent;
    QRect copy(TemplateCopyLeft, TemplateCopyTop - (ButtonSize + RowGap), ButtonSize, ButtonSize);
    QRect firstCopy;
    const int drop = m_rowDrop;
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        if (i == 16)
            copy = QRect(firstCopy.left() + RightColumnOffset, firstCopy.top(), ButtonSize, ButtonSize);
        else
            copy.moveTop(copy.top() + copy.height() + RowGap);
        if (i == 1)
            firstCopy = copy;

        auto button = [&](const char* name, const char* iconKey, const QString& tip, int left) {
            auto* b = new isButton(central);
            b->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i));
            b->setIcon(MenuIcons::icon(iconKey));
            b->setToolTipText(tip);
            b->setGeometry(left, copy.top(), ButtonSize, ButtonSize);
            return b;
        };
        icmdCopy[i] = button("icmdCopy", "COPY", QStringLiteral("Copy clip %1").arg(i), copy.left());
        icmdConf[i] = button("icmdConf", "CONFIGURE", QStringLiteral("Configure clip %1").arg(i), copy.right() + 1);
        icmdProperties[i] =
            button("icmdProperties", "PROPERTIES", QStringLiteral("Properties of clip %1").arg(i), copy.right() + 21);

        auto* label = new QLabel(QStringLiteral("%1.").arg(i), central);
        label->setObjectName(QStringLiteral("lblPanel(%1)").arg(i));
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        label->setGeometry(copy.left() - 2 - LabelWidth, copy.top() + drop, LabelWidth, TextHeight);
        lblPanel[i] = label;

        auto* edit = new ClipRowEdit(i, central);
        edit->setGeometry(copy.left() + TextLeftOffset, copy.top() + drop - 2, TextWidth, TextHeight);
        txtPaste[i] = edit;
        showClip(i);

        connect(edit, &ClipRowEdit::gotFocus, this, &ClipRowGrid::rowGotFocus);
        connect(edit, &ClipRowEdit::lostFocus, this, &ClipRowGrid::rowLostFocus);
        connect(edit, &ClipRowEdit::clicked, this, &ClipRowGrid::rowClicked);
        connect(edit, &ClipRowEdit::keyDown, this, &ClipRowGrid::rowKeyDown);
        connect(edit, &ClipRowEdit::rowDropped, this, &ClipRowGrid::rowDropped);
        connect(
            edit, &QLineEdit::textChanged, this, [this, i](const QString& text) { rowTextEdited(i, text); });
        connect(
            icmdCopy[i], &isButton::Click, this, [this, i] { Q_EMIT copyRequested(i); });
        connect(
            icmdConf[i], &isButton::Click, this, [this, i] { Q_EMIT editRequested(i); });
        connect(icmdProperties[i], &isButton::Click, this, [this, i] { Q_EMIT propertiesRequested(i); });
    }
    // Tab order follows the clip numbers.
    for (int i = 1; i < ClipTable::ClipCount; ++i)
        QWidget::setTabOrder(txtPaste[i], txtPaste[i + 1]);
    // What was set on the rows before they existed, in the order it happened to them: row 1 was given the focus
    // while the rows could take it.
    if (m_focusFirstRow)
        txtPaste[1]->setFocus(Qt::OtherFocusReason);
    if (m_selectFirstRow)
        txtPaste[1]->selectAll();
    m_focusFirstRow = m_selectFirstRow = false;
    setEditorAvailable(m_editorAvailable);
    setRowsEnabled(m_rowsEnabled);
    setMoveMode(m_moveMode);
    if (m_lastMarked)
        markLastClip(m_lastMarked);
}

ClipRowEdit* ClipRowGrid::row(int i) {
    build();
    return txtPaste.value(i);
}

void ClipRowGrid::showClip(int i) {
    ClipRowEdit* edit = txtPaste.value(i);
    if (!edit)
        return;
    const ClipTable::Clip& clip = m_table.clip(i);
    m_updatingRow = true;
    if (edit->text() != clip.text) {
        const bool focused = edit->hasFocus();
        edit->setText(clip.text);
        if (!focused)
            edit->setCursorPosition(0);
    }
    m_updatingRow = false;
    edit->setLocked(clip.locked);
    // Unlocked rows have the colour of an editable box, locked rows the colour of the window.
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base,
                 clip.locked ? m_parent->palette().color(QPalette::Window) : m_parent->palette().color(QPalette::Base));
    edit->setPalette(pal);
}

void ClipRowGrid::markLastClip(int n) {
    m_lastMarked = n;
    if (!m_built)
        return;
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        QFont font = lblPanel[i]->font();
        font.setBold(i == n);
        lblPanel[i]->setFont(font);
    }
}

void ClipRowGrid::focusFirstRow() {
    ClipRowEdit* first = txtPaste.value(1);
    if (first)
        first->setFocus(Qt::OtherFocusReason);
    if (m_table.clip(1).text == ClipTable::EmptyClipText)
        m_table.setText(1, QString());
    if (first) {
        first->selectAll();
        return;
    }
    // Done when the rows are built; a disabled row takes no focus.
    m_selectFirstRow = true;
    m_focusFirstRow = m_focusFirstRow || m_rowsEnabled;
}

void ClipRowGrid::rowGotFocus(int i) {
    m_currentClip = i;
    if (m_table.clip(i).text == ClipTable::EmptyClipText)
        m_table.setText(i, QString());
    if (m_skipSelectAll)
        m_skipSelectAll = false;
    else
        txtPaste[i]->selectAll();
}

void ClipRowGrid::rowLostFocus(int i) {
    if (m_table.clip(i).text.isEmpty())
        m_table.setText(i, ClipTable::EmptyClipText);
}

void ClipRowGrid::rowClicked(int i) {
    if (m_table.clip(i).text == ClipTable::EmptyClipText)
        m_table.setText(i, QString());
}

void ClipRowGrid::rowTextEdited(int i, const QString& text) {
    if (m_updatingRow)
        return;
    QString cleaned = text;
    // A simple clip stays one line: pasted line breaks vanish without a space. Any of them counts, CR LF as well
    // as LF alone (the usual one on Linux) or CR alone.
    cleaned.remove(QChar('\n'));
    cleaned.remove(QChar('\r'));
    m_table.setText(i, cleaned);
}

void ClipRowGrid::rowKeyDown(int i, int keyCode, int shift) {
    using namespace KeyCode;
    if (keyCode >= F1 && keyCode <= F8 && shift == RowKeyModifier::Control) {
        Q_EMIT quickSlotRequested(keyCode - F1 + 1);
        return;
    }
    if (keyCode == F9 && shift == RowKeyModifier::Control) {
        Q_EMIT loadDefaultProjectRequested();
        return;
    }
    if (m_table.clip(i).format == ClipTable::TxtSimple && keyCode != Tab && keyCode != Escape && keyCode != Delete &&
        keyCode != F3 && keyCode != F4) {
        if (keyCode == KeyCode::Shift || keyCode == Control || keyCode == Alt)
            return;
        if (keyCode == A && shift == RowKeyModifier::Control)
            txtPaste[i]->selectAll();
        else
            Q_EMIT edited();
        return;
    }
    switch (keyCode) {
    case F4:
        if (shift == RowKeyModifier::Alt)
            Q_EMIT exitRequested();
        else
            Q_EMIT propertiesRequested(i);
        return;
    case F3:
        Q_EMIT editRequested(i);
        return;
    case F2:
        Q_EMIT copyRequested(i);
        return;
    case Delete:
        if (m_settings.AskDeletingClip &&
            Messages::ShowMessage(QStringLiteral("Do you really want to delete this clip?"), MessageKind::Question) !=
                Messages::Yes)
            return;
        m_table.clearClip(i);
        return;
    case A:
        if (shift == RowKeyModifier::Control)
            txtPaste[i]->selectAll();
        return;
    default:
        return;
    }
}

void ClipRowGrid::rowDropped(int source, int target) {
    if (!ClipTable::isValidIndex(source) || !ClipTable::isValidIndex(target))
        return;
    m_table.swapClips(source, target);
}

void ClipRowGrid::setMoveMode(bool on) {
    m_moveMode = on;
    for (int i = 1; m_built && i <= ClipTable::ClipCount; ++i)
        txtPaste[i]->setAutomaticDrag(on);
}

void ClipRowGrid::setEditorAvailable(bool available) {
    m_editorAvailable = available;
    for (int i = 1; m_built && i <= ClipTable::ClipCount; ++i)
        icmdConf[i]->setButtonEnabled(available);
}

void ClipRowGrid::setRowsEnabled(bool enabled) {
    m_rowsEnabled = enabled;
    for (int i = 1; m_built && i <= ClipTable::ClipCount; ++i)
        txtPaste[i]->setEnabled(enabled);
}
