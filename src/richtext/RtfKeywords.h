#pragma once

#include <QByteArrayView>

#include <string_view>

// The RTF control words the reader acts on; all others are ignored, as RTF asks.
namespace richtext::RtfKeywords {

enum Keyword {
    Unknown,
    // destinations
    FontTable,
    ColorTable,
    StyleSheet,
    ListTable,
    List,
    ListLevel,
    ListOverrideTable,
    ListOverride,
    ListText,
    Pn,
    Upr,
    Ud,
    Ignored,
    // document and tables
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    Deff,
    Fcharset,
    Cpg,
    Red,
    Green,
    Blue,
    ListId,
    LevelNfc,
    // character formatting
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Font,
    FontSize,
    ColorFore,
    ColorBack,
    Highlight,
    Super,
    Sub,
    NoSuperSub,
    Up,
    Down,
    UnicodeSkip,
    Unicode,
    CharStyle,
    // paragraph formatting (the alignments in the order of RtfParaProps::Alignment, the indents in the order
    // of RtfParaProps' members)
    Pard,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    Style,
    ListNumber,
    ListLevelNumber,
    PnBullet,
    PnNumbered,
    // text
    Par,
    Line,
    Tab,
    Character,
};

struct Entry {
    std::string_view word;
    Keyword keyword;
    char16_t character = 0; // the text of Character keywords
};

// The entry of a control word; Unknown for words the reader ignores.
const Entry& lookup(QByteArrayView word);

} // namespace richtext::RtfKeywords
