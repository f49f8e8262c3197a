#pragma once

#include "richtext/CodePageConverter.h"

#include <QByteArray>

class QTextCursor;
class QTextDocument;

// Reading RTF as word processors and rich edit controls write it into a QTextDocument: text, character formats
// (bold, italic, underline, strikethrough, font, size, colours, super- and subscript), paragraph alignment and
// indents in twips (see RichTextFormat.h) and bullets. Whatever the bytes, reading ends without crashing.
namespace richtext {

// Replaces the document's content with the RTF's. Bytes that are not RTF (no "{\rtf" at the start after
// whitespace) are taken as plain text in defaultCodePage.
void readRtf(const QByteArray& rtf, QTextDocument& document, const CodePageConverter& codePages, int defaultCodePage);

// Inserts RTF at the cursor (replacing its selection), keeping the formatting: the editor's paste and drop.
void insertRtf(QTextCursor& cursor, const QByteArray& rtf, const CodePageConverter& codePages, int defaultCodePage);

} // namespace richtext
