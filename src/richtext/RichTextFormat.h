#pragma once

#include <QString>
#include <QTextFormat>

class QTextBlock;
class QTextBlockFormat;
class QTextCursor;
class QTextDocument;

// What the rich text box, the RTF reader and the RTF writer agree on about a QTextDocument.
//
// Paragraph indents and spacing are kept in twips as custom block properties, so that a value read from RTF
// (or the 400-twip bullet step of the editor) survives a round trip unrounded; the pixel margins that
// QTextDocument lays out with are derived from them.
namespace richtext {

enum Property {
    LeftIndentTwips = QTextFormat::UserProperty + 0x5250, // \li
    RightIndentTwips,                                     // \ri
    FirstIndentTwips,                                     // \fi (negative: hanging)
    SpaceBeforeTwips,                                     // \sb
    SpaceAfterTwips,                                      // \sa
};

// Twips of one pixel on the primary screen (15 at 96 dpi).
double twipsPerPixel();

// A block's value of one of the twips properties (0 when unset) and the setter that keeps the pixel margin
// QTextDocument lays out with in step.
int twips(const QTextBlockFormat& format, Property which);
void setTwips(QTextBlockFormat& format, Property which, int value);

// Bullets: a paragraph is a bullet item when it belongs to a list with the disc style. Setting bullets puts the
// cursor's paragraphs into one such list (indent 0: the paragraph's own twips indent places it), clearing takes
// them out of it.
bool isBullet(const QTextBlock& block);
void setBullets(QTextCursor& cursor, bool on);

// The document's plain text as the rest of the program stores text: paragraph ends and line breaks inside a
// paragraph become CR LF; no line break after the last paragraph.
QString plainText(const QTextDocument& document);

} // namespace richtext
