#include "richtext/RtfKeywords.h"

#include <unordered_map>

namespace richtext::RtfKeywords {

namespace {

// The control words the reader acts on; all others are ignored, as RTF asks.
constexpr Entry entries[] = {
    {"fonttbl", FontTable},
    {"colortbl", ColorTable},
    {"stylesheet", StyleSheet},
    {"listtable", ListTable},
    {"list", List},
    {"listlevel", ListLevel},
    {"listoverridetable", ListOverrideTable},
    {"listoverride", ListOverride},
    {"listtext", ListText},
    {"pntext", ListText},
    {"pn", Pn},
    {"upr", Upr},
    {"ud", Ud},
    // destinations whose text is no part of the document
    {"info", Ignored},
    {"pict", Ignored},
    {"object", Ignored},
    {"shp", Ignored},
    {"shpinst", Ignored},
    {"nonshppict", Ignored},
    {"header", Ignored},
    {"headerl", Ignored},
    {"headerr", Ignored},
    {"headerf", Ignored},
    {"footer", Ignored},
    {"footerl", Ignored},
    {"footerr", Ignored},
    {"footerf", Ignored},
    {"footnote", Ignored},
    {"annotation", Ignored},
    {"xe", Ignored},
    {"tc", Ignored},
    {"tcn", Ignored},
    {"fldinst", Ignored},
    {"template", Ignored},
    {"filetbl", Ignored},
    {"revtbl", Ignored},
    {"ftnsep", Ignored},
    {"ftnsepc", Ignored},
    {"ftncn", Ignored},
    {"aftnsep", Ignored},
    {"aftnsepc", Ignored},
    {"aftncn", Ignored},
    {"listname", Ignored},
    {"leveltext", Ignored},
    {"levelnumbers", Ignored},
    {"pntxta", Ignored},
    {"pntxtb", Ignored},
    {"do", Ignored},
    {"falt", Ignored},
    {"panose", Ignored},
    {"generator", Ignored},
    // document and tables
    {"ansi", Ansi},
    {"mac", Mac},
    {"pc", Pc},
    {"pca", Pca},
    {"ansicpg", AnsiCpg},
    {"deff", Deff},
    {"fcharset", Fcharset},
    {"cpg", Cpg},
    {"red", Red},
    {"green", Green},
    {"blue", Blue},
    {"listid", ListId},
    {"levelnfc", LevelNfc},
    {"levelnfcn", LevelNfc},
    // character formatting
    {"plain", Plain},
    {"b", Bold},
    {"i", Italic},
    {"ulnone", UnderlineNone},
    {"strike", Strike},
    {"striked", Strike},
    {"f", Font},
    {"fs", FontSize},
    {"cf", ColorFore},
    {"cb", ColorBack},
    {"chcbpat", ColorBack},
    {"highlight", Highlight},
    {"super", Super},
    {"sub", Sub},
    {"nosupersub", NoSuperSub},
    {"up", Up},
    {"dn", Down},
    {"uc", UnicodeSkip},
    {"u", Unicode},
    {"cs", CharStyle},
    // paragraph formatting
    {"pard", Pard},
    {"ql", AlignLeft},
    {"qc", AlignCenter},
    {"qr", AlignRight},
    {"qj", AlignJustify},
    {"qd", AlignJustify},
    {"li", LeftIndent},
    {"lin", LeftIndent},
    {"ri", RightIndent},
    {"rin", RightIndent},
    {"fi", FirstIndent},
    {"sb", SpaceBefore},
    {"sa", SpaceAfter},
    {"s", Style},
    {"ls", ListNumber},
    {"ilvl", ListLevelNumber},
    {"pnlvlblt", PnBullet},
    {"pnlvlbody", PnNumbered},
    {"pnlvlcont", PnNumbered},
    {"pnlvl", PnNumbered},
    // text
    {"par", Par},
    {"sect", Par},
    {"page", Par},
    {"row", Par},
    {"nestrow", Par},
    {"line", Line},
    {"tab", Tab},
    {"cell", Tab},
    {"nestcell", Tab},
    {"emdash", Character, 0x2014},
    {"endash", Character, 0x2013},
    {"emspace", Character, 0x2003},
    {"enspace", Character, 0x2002},
    {"qmspace", Character, 0x2005},
    {"bullet", Character, 0x2022},
    {"lquote", Character, 0x2018},
    {"rquote", Character, 0x2019},
    {"ldblquote", Character, 0x201C},
    {"rdblquote", Character, 0x201D},
    {"zwj", Character, 0x200D},
    {"zwnj", Character, 0x200C},
    {"ltrmark", Character, 0x200E},
    {"rtlmark", Character, 0x200F},
};

} // namespace

const Entry& lookup(QByteArrayView word) {
    // A document names a control word for every few bytes: one hash and one comparison each.
    static const std::unordered_map<std::string_view, const Entry*> table = [] {
        std::unordered_map<std::string_view, const Entry*> map;
        map.reserve(std::size(entries));
        for (const Entry& entry : entries)
            map.emplace(entry.word, &entry);
        return map;
    }();
    static const Entry underline{"ul", Underline};
    static const Entry unknown{"", Unknown};
    const std::string_view key(word.data(), size_t(word.size()));
    if (const auto it = table.find(key); it != table.end())
        return *it->second;
    // \ul and its styles (\uld, \uldb, \ulwave, ...) all underline; \ulc is the underline's colour.
    if (key.starts_with("ul") && key != "ulc")
        return underline;
    return unknown;
}

} // namespace richtext::RtfKeywords
