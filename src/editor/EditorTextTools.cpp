#include "editor/EditorTextTools.h"

#include "editor/RichTextTools.h"
#include "editor/TextBoxes.h"
#include "services/Settings.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QToolBar>

using EditorModes::Mode;

namespace {

// The edit toolbar's buttons that show the selection's state.
enum Button { BoldButton = 6, ItalicButton, UnderlineButton, BulletButton, LeftButton = 14, CenterButton, RightButton };

template <typename Change> void changeFont(PlainTextBox& box, Change change) {
    QFont font = box.font();
    change(font);
    box.setFont(font);
}

} // namespace

EditorTextTools::EditorTextTools(const Mode& mode, const Controls& controls, const ColorChooser& chooseColor,
                                 const FontChooser& chooseFont, QObject* parent)
    : QObject(parent), m_mode(mode), m_controls(controls), m_chooseColor(chooseColor), m_chooseFont(chooseFont) {}

void EditorTextTools::placeFontBoxes(QToolBar& toolbar2, QAction* before) {
    m_fontAction = toolbar2.insertWidget(before, &m_controls.fontBox);
    m_sizeAction = toolbar2.insertWidget(before, &m_controls.sizeBox);
    showFontBoxes(false);
}

bool EditorTextTools::fontBoxesShown() const {
    return m_fontAction->isVisible();
}

void EditorTextTools::showFontBoxes(bool shown) {
    m_fontAction->setVisible(shown);
    m_sizeAction->setVisible(shown);
}

void EditorTextTools::offerFonts(const QStringList& fontlist) {
    if (m_controls.fontBox.count() != fontlist.size())
        m_controls.fontBox.addItems(fontlist);
    showFontBoxes(true);
}

void EditorTextTools::showPlainFont() {
    const QSignalBlocker blockFont(m_controls.fontBox);
    const QSignalBlocker blockSize(m_controls.sizeBox);
    m_controls.fontBox.setEditText(m_controls.plain.font().family());
    m_controls.sizeBox.setEditText(QString::number(m_controls.plain.font().pointSize()));
}

void EditorTextTools::undo() {
    if (m_mode == Mode::Txt)
        m_controls.plain.undo();
    else if (m_mode == Mode::Rtf)
        m_controls.rich.undo();
}

void EditorTextTools::setBold(bool on) {
    RichTextTools::setBold(m_controls.rich, on);
}

void EditorTextTools::setItalic(bool on) {
    RichTextTools::setItalic(m_controls.rich, on);
}

void EditorTextTools::setUnderline(bool on) {
    RichTextTools::setUnderline(m_controls.rich, on);
}

void EditorTextTools::toggleBullet() {
    m_controls.buttons2[BulletButton]->setChecked(RichTextTools::toggleBullet(m_controls.rich));
}

void EditorTextTools::setAlignment(Qt::Alignment alignment) {
    RichTextTools::setAlignment(m_controls.rich, alignment);
}

void EditorTextTools::showSelectionState() {
    if (m_mode != Mode::Rtf)
        return;
    const RichTextTools::SelectionState state = RichTextTools::selectionState(m_controls.rich);
    const QVector<QAction*>& buttons = m_controls.buttons2;
    buttons[BoldButton]->setChecked(state.bold);
    buttons[ItalicButton]->setChecked(state.italic);
    buttons[UnderlineButton]->setChecked(state.underline);
    buttons[BulletButton]->setChecked(state.bullet);
    if (state.alignment & Qt::AlignHCenter)
        buttons[CenterButton]->setChecked(true);
    else if (state.alignment & Qt::AlignRight)
        buttons[RightButton]->setChecked(true);
    else if (state.alignment)
        buttons[LeftButton]->setChecked(true);
    const QSignalBlocker blockFont(m_controls.fontBox);
    const QSignalBlocker blockSize(m_controls.sizeBox);
    m_controls.fontBox.setEditText(state.family);
    m_controls.sizeBox.setEditText(state.size > 0 ? QString::number(state.size) : QString());
}

void EditorTextTools::RestartRTFbox() {
    const QFont standard = m_controls.defaultFont.font();
    RichTextTools::RestartRTFbox(m_controls.rich, standard, m_controls.defaultFont.palette().color(QPalette::Text));
    const QSignalBlocker blockFont(m_controls.fontBox);
    const QSignalBlocker blockSize(m_controls.sizeBox);
    m_controls.fontBox.setEditText(standard.family());
    m_controls.sizeBox.setEditText(QString::number(standard.pointSize()));
    m_controls.buttons2[LeftButton]->setChecked(true);
}

void EditorTextTools::ChangeFont() {
    const QString family = m_controls.fontBox.currentText();
    if (family.isEmpty())
        return;
    if (m_mode == Mode::Rtf)
        RichTextTools::setFontFamily(m_controls.rich, family);
    else if (m_mode == Mode::Txt)
        changeFont(m_controls.plain, [&family](QFont& font) { font.setFamily(family); });
}

void EditorTextTools::ChangeSize() {
    const int size = RichTextTools::sizeFromText(m_controls.sizeBox.currentText());
    if (size <= 0)
        return; // a size the box refuses leaves it as it is
    if (m_mode == Mode::Rtf)
        RichTextTools::setFontSize(m_controls.rich, size);
    else if (m_mode == Mode::Txt)
        changeFont(m_controls.plain, [size](QFont& font) { font.setPointSize(size); });
}

QColor EditorTextTools::currentColor() const {
    if (m_mode == Mode::Rtf) {
        const QColor color = RichTextTools::selectionState(m_controls.rich).color;
        return color.isValid() ? color : m_controls.defaultFont.palette().color(QPalette::Text);
    }
    return m_controls.plain.textColor();
}

void EditorTextTools::chooseTextColor() {
    const QColor color = m_chooseColor(currentColor());
    if (!color.isValid())
        return; // cancelled
    if (m_mode == Mode::Rtf)
        RichTextTools::setColor(m_controls.rich, color);
    else if (m_mode == Mode::Txt)
        m_controls.plain.setTextColor(color);
}

void EditorTextTools::chooseTextFont() {
    QComboBox& fontBox = m_controls.fontBox;
    QComboBox& sizeBox = m_controls.sizeBox;
    QFont initial = m_mode == Mode::Txt ? m_controls.plain.font() : m_controls.defaultFont.font();
    if (m_mode == Mode::Rtf) {
        initial.setBold(m_controls.buttons2[BoldButton]->isChecked());
        initial.setItalic(m_controls.buttons2[ItalicButton]->isChecked());
        initial.setUnderline(m_controls.buttons2[UnderlineButton]->isChecked());
    }
    if (Settings::valueOf(sizeBox.currentText()) > 0)
        initial.setPointSize(RichTextTools::sizeFromText(sizeBox.currentText()));
    if (!fontBox.currentText().isEmpty())
        initial.setFamily(fontBox.currentText());
    const QColor color = currentColor();
    // Cancel applies the values the dialog opened with.
    const QFont font = m_chooseFont(initial).value_or(initial);
    if (m_mode == Mode::Rtf)
        RichTextTools::setFontAndColor(m_controls.rich, font, color);
    else if (m_mode == Mode::Txt)
        m_controls.plain.setFont(font);
    const QSignalBlocker blockSize(sizeBox);
    sizeBox.setEditText(QString::number(font.pointSize()));
}

void EditorTextTools::cutCopy(bool cut) {
    QClipboard* clipboard = QApplication::clipboard();
    if (m_mode == Mode::Txt) {
        QTextCursor cursor = m_controls.plain.textCursor();
        if (!cursor.hasSelection())
            return;
        clipboard->clear();
        clipboard->setText(cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
        if (cut)
            cursor.removeSelectedText();
    } else if (m_mode == Mode::Rtf) {
        const QByteArray rtf = m_controls.rich.selectionRtf();
        if (rtf.isEmpty())
            return;
        clipboard->clear();
        auto* data = new QMimeData;
        QString text = m_controls.rich.textCursor().selectedText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n')).replace(QChar::LineSeparator, QLatin1Char('\n'));
        data->setText(text);
        data->setData(EditorModes::RtfMime, rtf);
        clipboard->setMimeData(data);
        if (cut)
            m_controls.rich.textCursor().removeSelectedText();
    }
}

void EditorTextTools::paste() {
    if (m_mode == Mode::Txt) {
        m_controls.plain.paste();
    } else if (m_mode == Mode::Rtf) {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        if (data && data->hasFormat(EditorModes::RtfMime))
            m_controls.rich.insertRtf(
                data->data(EditorModes::RtfMime)); // plain text pastes nothing through this button
    }
}

void EditorTextTools::TransBoxes(EditorModes::TextMove move, bool showTarget) {
    PlainTextBox& plain = m_controls.plain;
    RichTextBox& rich = m_controls.rich;
    if (move == EditorModes::TextMove::PlainToRich) {
        rich.clear();
        rich.setPlainTextLimited(plain.text());
        QTextCursor all(rich.document());
        all.select(QTextCursor::Document);
        QTextCharFormat format;
        const QFont font = plain.font();
        format.setFontFamilies({font.family()});
        format.setFontPointSize(font.pointSizeF());
        format.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
        format.setFontItalic(font.italic());
        format.setFontUnderline(font.underline());
        format.setFontStrikeOut(font.strikeOut());
        format.setForeground(plain.textColor());
        all.mergeCharFormat(format);
        rich.moveCursor(QTextCursor::End);
        if (showTarget) {
            rich.show();
            rich.setFocus();
            plain.hide();
        }
    } else if (move == EditorModes::TextMove::RichToPlain) {
        RestartRTFbox(); // the formatting goes with the move
        plain.setText(rich.plainText());
        rich.clear();
        plain.moveCursor(QTextCursor::End);
        if (showTarget) {
            plain.show();
            plain.setFocus();
            rich.hide();
        }
    }
}
