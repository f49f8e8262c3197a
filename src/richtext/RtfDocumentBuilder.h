#pragma once

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

namespace richtext {

// Puts what the RTF reader finds into a document at a cursor: runs of formatted text and paragraph ends with the
// paragraph's format and list membership. Pasting into a paragraph keeps the rest of that paragraph, with its
// format, after the pasted text.
class RtfDocumentBuilder final {
public:
    // wholeDocument: the cursor is in an emptied document, whose last paragraph takes the format the RTF gives it
    // even without a closing \par; otherwise the text after the last \par joins the paragraph at the cursor.
    RtfDocumentBuilder(QTextCursor& cursor, bool wholeDocument);

    // Whether a character can be text of a paragraph: control characters (but tab) are none, nor are those that
    // end a paragraph or stand for an object in a QTextDocument.
    static bool isText(QChar c);

    void insertText(const QString& text, const QTextCharFormat& format);
    // Ends the paragraph being written. A list marker that is no bullet (a number, say) is kept as text at the
    // paragraph's start, so nothing the reader sees is lost.
    void endParagraph(const QTextBlockFormat& format, bool bullet, const QString& marker,
                      const QTextCharFormat& markerFormat);
    // The text after the last paragraph end, when there is some, ends here without a paragraph mark.
    void finish(bool hasOpenParagraph, const QTextBlockFormat& format, bool bullet, const QString& marker,
                const QTextCharFormat& markerFormat);

private:
    void startBlockIfNeeded();
    void insertMarker(const QString& marker, const QTextCharFormat& format);
    void applyFormat(const QTextBlockFormat& format, bool bullet);

    QTextCursor& m_cursor;
    bool m_wholeDocument;
    QTextBlockFormat m_continueFormat; // the format of the text after the cursor, and of its list
    QTextCharFormat m_continueCharFormat;
    bool m_needBlock = false;
    int m_paragraphStart;
};

} // namespace richtext
