#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QTextEdit;

// The formatting the rich text box's toolbar buttons, combos and dialogs apply to its selection, and the state
// of the selection they show.
namespace RichTextTools {

// The step by which the Bullet button indents a paragraph, in twips.
constexpr int BulletIndentTwips = 400;

// What the selection is: an attribute is on only when the whole selection has it (a mixed selection reads as
// off); alignment is 0 when the paragraphs differ; family "" and size 0 when the runs differ.
struct SelectionState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool bullet = false;
    bool bulletMixed = false;
    Qt::Alignment alignment = Qt::AlignLeft;
    QString family;
    double size = 0;
    QColor color;
};
SelectionState selectionState(const QTextEdit& box);

void setBold(QTextEdit& box, bool on);
void setItalic(QTextEdit& box, bool on);
void setUnderline(QTextEdit& box, bool on);
void setFontFamily(QTextEdit& box, const QString& family);
void setFontSize(QTextEdit& box, double points);
void setColor(QTextEdit& box, const QColor& color);
// Name, size, bold, italic, underline and strikethrough of a font, and a colour.
void setFontAndColor(QTextEdit& box, const QFont& font, const QColor& color);
void setAlignment(QTextEdit& box, Qt::Alignment alignment);

// Bullets off or mixed: every paragraph of the selection is indented by 400 twips more and becomes a bullet
// item; bullets on: the 400 twips go again, with the bullets and the hanging first-line indent. Returns
// whether bullets are on now.
bool toggleBullet(QTextEdit& box);

// Every character back to the default font and colour, no bold, italic, underline, strikethrough or bullets,
// left aligned; the selection collapsed.
void RestartRTFbox(QTextEdit& box, const QFont& defaultFont, const QColor& defaultColor);

// The size the size box's text asks for: its numeric value; 0 (text that is no number too) or above 64 gives
// 64; otherwise the whole number, halves to the even neighbour. A value of 0 or below is one the box refuses.
int sizeFromText(const QString& text);

} // namespace RichTextTools
