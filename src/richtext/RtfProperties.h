#pragma once

// The character and paragraph properties the reader keeps per RTF group, before they become Qt formats.
namespace richtext {

struct RtfCharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int font = -1;       // font table number, -1 for none
    int halfPoints = 24; // \fs: RTF's default size is 12 points
    int foreground = -1; // colour table index, -1 for automatic
    int background = -1; // colour table index, -1 for none
    int vertical = 0;    // 1 superscript, -1 subscript
    bool operator==(const RtfCharProps&) const = default;
};

struct RtfParaProps {
    enum Alignment { Left, Center, Right, Justify };
    enum OldList { NoOldList, OldBullet, OldNumbered }; // the \pn form of lists
    int alignment = Left;
    int leftIndent = 0; // twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int style = 0; // \s
    int list = 0;  // \ls: 0 when the paragraph is no list item
    int level = 0; // \ilvl
    int oldList = NoOldList;
    bool operator==(const RtfParaProps&) const = default;
};

} // namespace richtext
