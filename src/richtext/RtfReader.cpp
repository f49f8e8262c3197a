#include "richtext/RtfReader.h"

#include "richtext/RtfDocumentBuilder.h"
#include "richtext/RtfParser.h"

#include <QTextCursor>
#include <QTextDocument>

namespace richtext {

namespace {

bool isRtf(const QByteArray& bytes) {
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < bytes.size() && QChar::isSpace(uchar(bytes[start])))
        ++start;
    return QByteArrayView(bytes).sliced(start).startsWith("{\\rtf");
}

// Text that is no RTF: its line ends (CR LF, CR or LF) end paragraphs.
void insertPlainText(QTextCursor& cursor, const QByteArray& bytes, const CodePageConverter& codePages, int codePage,
                     const QTextCharFormat& format) {
    QString text = codePages.decode ? codePages.decode(bytes, codePage) : QString::fromLatin1(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.removeIf([](QChar c) { return c != '\n' && !RtfDocumentBuilder::isText(c); });
    cursor.insertText(text, format);
}

void insert(QTextCursor& cursor, const QByteArray& rtf, const CodePageConverter& codePages, int defaultCodePage,
            bool wholeDocument) {
    if (!isRtf(rtf)) {
        insertPlainText(cursor, rtf, codePages, defaultCodePage,
                        wholeDocument ? QTextCharFormat() : cursor.charFormat());
        return;
    }
    RtfDocumentBuilder builder(cursor, wholeDocument);
    RtfParser(builder, codePages, defaultCodePage).parse(rtf);
}

} // namespace

void readRtf(const QByteArray& rtf, QTextDocument& document, const CodePageConverter& codePages, int defaultCodePage) {
    // Building the document is no step a user could undo; the undo stack would only cost time and memory.
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    // In an edit block the cursor does not lay out each paragraph to keep its x position.
    cursor.beginEditBlock();
    insert(cursor, rtf, codePages, defaultCodePage, true);
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

void insertRtf(QTextCursor& cursor, const QByteArray& rtf, const CodePageConverter& codePages, int defaultCodePage) {
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insert(cursor, rtf, codePages, defaultCodePage, false);
    cursor.endEditBlock();
}

} // namespace richtext
