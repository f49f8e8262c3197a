#include "editor/TextBoxes.h"

#include "editor/EditorModes.h"
#include "richtext/RichTextFormat.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMimeData>
#include <QPalette>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextLayout>

namespace {

using EditorModes::RtfMime;

// A key that would add a character: refused when the box is full and nothing is selected to be replaced.
bool addsCharacter(const QKeyEvent* event) {
    const QString text = event->text();
    return !text.isEmpty() && (text.at(0).isPrint() || text == QLatin1String("\r") || text == QLatin1String("\t")) &&
           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

QString withLf(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// Sets the text, at most the boxes' limit of it; true when some was left out.
template <typename Box> bool setLimited(Box& box, const QString& text) {
    const QString lines = withLf(text);
    box.setPlainText(lines.left(TextBoxes::MaxChars));
    return lines.size() > TextBoxes::MaxChars;
}

} // namespace

namespace TextBoxes {

int charCount(const QTextDocument& document) {
    return document.characterCount() - 1;
}

int lineCount(const QTextDocument& document) {
    int lines = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lines += block.layout() ? std::max(1, block.layout()->lineCount()) : 1;
    return lines;
}

int caretLine(const QTextCursor& cursor) {
    const QTextBlock current = cursor.block();
    int line = 0;
    for (QTextBlock block = current.document()->begin(); block.isValid() && block != current; block = block.next())
        line += block.layout() ? std::max(1, block.layout()->lineCount()) : 1;
    if (const QTextLayout* layout = current.layout(); layout && layout->lineCount() > 0)
        line += std::max(0, layout->lineForTextPosition(cursor.positionInBlock()).lineNumber());
    return line + 1;
}

} // namespace TextBoxes

PlainTextBox::PlainTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("txtClipTXT"));
    setFont(QFont(QStringLiteral("Arial"), 9));
}

QString PlainTextBox::text() const {
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

bool PlainTextBox::setText(const QString& text) {
    return setLimited(*this, text);
}

QColor PlainTextBox::textColor() const {
    return palette().color(QPalette::Text);
}

void PlainTextBox::setTextColor(const QColor& color) {
    QPalette colors = palette();
    colors.setColor(QPalette::Text, color);
    setPalette(colors);
}

void PlainTextBox::keyPressEvent(QKeyEvent* event) {
    if (addsCharacter(event) && !textCursor().hasSelection() &&
        TextBoxes::charCount(*document()) >= TextBoxes::MaxChars) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void PlainTextBox::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return;
    const QTextCursor cursor = textCursor();
    const int room =
        TextBoxes::MaxChars - TextBoxes::charCount(*document()) + (cursor.selectionEnd() - cursor.selectionStart());
    textCursor().insertText(withLf(source->text()).left(std::max(0, room)));
    ensureCursorVisible();
}

RichTextBox::RichTextBox(richtext::CodePageConverter codePages, int codePage, QWidget* parent)
    : QTextEdit(parent), m_codePages(std::move(codePages)), m_codePage(codePage) {
    setObjectName(QStringLiteral("txtClipRTF"));
    setAcceptRichText(true);
}

QByteArray RichTextBox::rtf() const {
    return richtext::writeRtf(*document(), m_codePages, m_codePage);
}

bool RichTextBox::setRtf(const QByteArray& rtf) {
    richtext::readRtf(rtf, *document(), m_codePages, m_codePage);
    if (TextBoxes::charCount(*document()) <= TextBoxes::MaxChars)
        return false;
    QTextCursor excess(document());
    excess.setPosition(TextBoxes::MaxChars);
    excess.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    excess.removeSelectedText();
    return true;
}

QByteArray RichTextBox::selectionRtf() const {
    const QTextCursor cursor = textCursor();
    return cursor.hasSelection() ? richtext::writeRtf(cursor, m_codePages, m_codePage) : QByteArray();
}

int RichTextBox::room() const {
    const QTextCursor cursor = textCursor();
    return std::max(0, TextBoxes::MaxChars - TextBoxes::charCount(*document()) +
                           (cursor.selectionEnd() - cursor.selectionStart()));
}

void RichTextBox::insertRtf(const QByteArray& rtf) {
    QTextDocument pasted;
    richtext::readRtf(rtf, pasted, m_codePages, m_codePage);
    const int room = this->room();
    if (TextBoxes::charCount(pasted) > room) {
        QTextCursor excess(&pasted);
        excess.setPosition(room);
        excess.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        excess.removeSelectedText();
    }
    textCursor().insertFragment(QTextDocumentFragment(&pasted));
    ensureCursorVisible();
}

QString RichTextBox::plainText() const {
    return richtext::plainText(*document());
}

bool RichTextBox::setPlainTextLimited(const QString& text) {
    return setLimited(*this, text);
}

void RichTextBox::keyPressEvent(QKeyEvent* event) {
    if (addsCharacter(event) && !textCursor().hasSelection() && room() == 0) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasFormat(RtfMime) || source->hasText();
}

void RichTextBox::insertFromMimeData(const QMimeData* source) {
    if (source->hasFormat(RtfMime))
        insertRtf(source->data(RtfMime));
    else if (source->hasText())
        textCursor().insertText(withLf(source->text()).left(room()));
    ensureCursorVisible();
}

QMimeData* RichTextBox::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    const QTextCursor cursor = textCursor();
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    data->setText(text);
    data->setData(RtfMime, selectionRtf());
    return data;
}
