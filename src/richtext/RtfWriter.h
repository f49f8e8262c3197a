#pragma once

#include "richtext/CodePageConverter.h"

#include <QByteArray>

class QTextCursor;
class QTextDocument;

// Writing a QTextDocument as RTF that word processors and rich edit controls read back as it was: 7-bit ASCII,
// every other character as \uN with its code-page fallback, bullets both as a Word list and in the older \pn form.
// The same document and code page always give the same bytes.
namespace richtext {

QByteArray writeRtf(const QTextDocument& document, const CodePageConverter& codePages, int codePage);

// The selection of a cursor as a complete RTF document (the editor's copy and cut); empty selection → "". A
// paragraph whose end is outside the selection is written without a paragraph mark, so that pasting it joins the
// paragraph it is pasted into.
QByteArray writeRtf(const QTextCursor& selection, const CodePageConverter& codePages, int codePage);

} // namespace richtext
