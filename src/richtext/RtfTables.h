#pragma once

#include "richtext/RtfProperties.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include <optional>

namespace richtext {

// What the header of an RTF document defines and the text refers to by number: fonts (with the code page their
// \'hh bytes are in), colours, paragraph and character styles and lists. Also turns the reader's properties into
// Qt formats, since that needs the fonts and colours.
class RtfTables final {
public:
    // Font table: \fN starts an entry, \fcharset and \cpg give its code page, the text up to ";" its name.
    void beginFont(int number);
    void setFontCharset(int charset);
    void setFontCodePage(int codePage);
    void appendFontName(const QString& text);
    void endFont();
    // The code page of the font being defined, or of a font of the table; 0 for "the document's".
    int pendingFontCodePage() const;
    int fontCodePage(int number) const;

    // Colour table: \red \green \blue, ";" ends an entry; an entry without components is the automatic colour.
    void setColorComponent(char which, int value);
    void endColor();

    // Styles: the properties a \sN (paragraph) or \csN (character) style sets.
    void addStyle(int number, bool character, const RtfCharProps& chars, const RtfParaProps& para);
    void applyStyle(int number, RtfCharProps& chars, RtfParaProps& para) const;
    void applyCharStyle(int number, RtfCharProps& chars) const;

    // Lists: \list groups of \listlevel groups with their number format (\levelnfc), and the \lsN overrides that
    // paragraphs name.
    void beginList();
    void setListId(int id);
    void beginLevel();
    void setLevelFormat(int format);
    void endLevel();
    void endList();
    void beginOverride();
    void setOverrideListId(int id);
    void setOverrideNumber(int number);
    void endOverride();
    // Whether level `level` of list override `number` shows bullets; nothing when the tables do not say.
    std::optional<bool> isBulletList(int number, int level) const;

    QTextCharFormat charFormat(const RtfCharProps& chars) const;
    QTextBlockFormat blockFormat(const RtfParaProps& para) const;

private:
    struct Font {
        QString name;
        int codePage = 0;
    };
    struct Style {
        RtfCharProps chars;
        RtfParaProps para;
    };
    QHash<int, Font> m_fonts;
    int m_fontNumber = -1;
    Font m_font;
    bool m_fontCodePageSet = false;

    QList<QColor> m_colors; // invalid: automatic
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;

    QHash<int, Style> m_styles;
    QHash<int, RtfCharProps> m_charStyles;

    QHash<int, QList<int>> m_lists; // list id -> number format of each level
    int m_listId = 0;
    QList<int> m_levels;
    int m_levelFormat = 0;
    QHash<int, int> m_overrides; // \ls number -> list id
    int m_overrideListId = 0;
    int m_overrideNumber = 0;
};

} // namespace richtext
