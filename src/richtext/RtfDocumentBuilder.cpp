#include "richtext/RtfDocumentBuilder.h"

#include "richtext/RichTextFormat.h"

#include <QTextBlock>
#include <QTextList>

namespace richtext {

RtfDocumentBuilder::RtfDocumentBuilder(QTextCursor& cursor, bool wholeDocument)
    : m_cursor(cursor), m_wholeDocument(wholeDocument), m_continueFormat(cursor.blockFormat()),
      m_continueCharFormat(cursor.blockCharFormat()), m_paragraphStart(cursor.position()) {}

bool RtfDocumentBuilder::isText(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x20 || u == '\t') && u != 0x7F && u != QChar::ParagraphSeparator && u != 0xFDD0 && u != 0xFDD1 &&
           u != QChar::ObjectReplacementCharacter;
}

void RtfDocumentBuilder::startBlockIfNeeded() {
    if (!m_needBlock)
        return;
    m_cursor.insertBlock(m_continueFormat, m_continueCharFormat);
    m_paragraphStart = m_cursor.position();
    m_needBlock = false;
}

void RtfDocumentBuilder::insertText(const QString& text, const QTextCharFormat& format) {
    startBlockIfNeeded();
    m_cursor.insertText(text, format);
}

void RtfDocumentBuilder::insertMarker(const QString& marker, const QTextCharFormat& format) {
    if (marker.isEmpty())
        return;
    QTextCursor start(m_cursor);
    start.setPosition(m_paragraphStart);
    start.insertText(marker, format);
}

void RtfDocumentBuilder::applyFormat(const QTextBlockFormat& format, bool bullet) {
    m_cursor.setBlockFormat(format);
    const QTextBlock block = m_cursor.block();
    QTextList* list = block.textList();
    if (bullet) {
        if (isBullet(block))
            return;
        if (list)
            list->remove(block);
        const QTextBlock previous = block.previous();
        if (isBullet(previous)) {
            previous.textList()->add(block);
        } else {
            QTextListFormat listFormat;
            listFormat.setStyle(QTextListFormat::ListDisc);
            listFormat.setIndent(0);
            m_cursor.createList(listFormat);
        }
    } else if (list) {
        list->remove(block);
        m_cursor.setBlockFormat(format); // removing leaves an indent property behind
    }
}

void RtfDocumentBuilder::endParagraph(const QTextBlockFormat& format, bool bullet, const QString& marker,
                                      const QTextCharFormat& markerFormat) {
    startBlockIfNeeded();
    if (!bullet)
        insertMarker(marker, markerFormat);
    applyFormat(format, bullet);
    m_needBlock = true;
}

void RtfDocumentBuilder::finish(bool hasOpenParagraph, const QTextBlockFormat& format, bool bullet,
                                const QString& marker, const QTextCharFormat& markerFormat) {
    if (hasOpenParagraph) {
        startBlockIfNeeded();
        if (!bullet)
            insertMarker(marker, markerFormat);
        if (m_wholeDocument)
            applyFormat(format, bullet);
    } else if (!m_wholeDocument) {
        // A pasted paragraph end splits the paragraph at the cursor.
        startBlockIfNeeded();
    }
}

} // namespace richtext
