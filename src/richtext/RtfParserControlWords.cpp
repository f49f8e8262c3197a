// The parser's control words and symbols: destinations, tables, and character and paragraph formatting.
#include "richtext/RtfParser.h"

#include "richtext/RtfCodePages.h"
#include "richtext/RtfDocumentBuilder.h"
#include "richtext/RtfKeywords.h"

#include <algorithm>

namespace richtext {

using namespace RtfKeywords;

namespace {

constexpr int MaxTwips = 31680; // 22 inches, the widest page Word allows
constexpr int MaxHalfPoints = 3276;

} // namespace

void RtfParser::controlWord(const RtfTokenizer::Token& token) {
    Group& current = group();
    if (current.destination == Destination::Skip)
        return;
    const Entry& entry = lookup(token.word);
    if (current.optional) {
        // \* marks a destination that a reader not knowing it skips whole.
        current.optional = false;
        const bool known = entry.keyword == Pn || entry.keyword == ListTable || entry.keyword == ListOverrideTable ||
                           entry.keyword == Ud ||
                           (entry.keyword == CharStyle && current.destination == Destination::StyleSheet);
        if (!known) {
            current.destination = Destination::Skip;
            return;
        }
    }
    if (entry.keyword == Character) {
        output(QStringView(&entry.character, 1));
        return;
    }
    if (!destinationWord(entry.keyword, token.parameter))
        formattingWord(entry.keyword, token.hasParameter, token.parameter);
}

bool RtfParser::destinationWord(int keyword, int parameter) {
    Group& current = group();
    Destination& destination = current.destination;
    switch (keyword) {
    case FontTable:
        destination = Destination::FontTable;
        return true;
    case ColorTable:
        destination = Destination::ColorTable;
        return true;
    case StyleSheet:
        destination = Destination::StyleSheet;
        current.chars = RtfCharProps();
        current.para = RtfParaProps();
        return true;
    case ListTable:
        destination = Destination::ListTable;
        return true;
    case List:
        if (destination == Destination::ListTable) {
            destination = Destination::List;
            m_tables.beginList();
        }
        return true;
    case ListLevel:
        if (destination == Destination::List) {
            destination = Destination::ListLevel;
            m_tables.beginLevel();
        }
        return true;
    case ListOverrideTable:
        destination = Destination::ListOverrideTable;
        return true;
    case ListOverride:
        if (destination == Destination::ListOverrideTable) {
            destination = Destination::ListOverride;
            m_tables.beginOverride();
        }
        return true;
    case ListText:
        if (destination == Destination::Text) {
            destination = Destination::ListText;
            m_marker.clear();
            m_hasMarker = true;
        } else {
            destination = Destination::Skip;
        }
        return true;
    case Pn:
        destination = Destination::OldList;
        current.para.oldList = RtfParaProps::OldNumbered;
        return true;
    case Upr:
        current.uprOuter = destination;
        destination = Destination::Upr;
        return true;
    case Ud:
        if (destination == Destination::Upr)
            destination = current.uprOuter;
        return true;
    case Ignored:
        destination = Destination::Skip;
        return true;
    case ListId:
        if (destination == Destination::List)
            m_tables.setListId(parameter);
        else if (destination == Destination::ListOverride)
            m_tables.setOverrideListId(parameter);
        return true;
    case LevelNfc:
        if (destination == Destination::ListLevel)
            m_tables.setLevelFormat(parameter);
        return true;
    case ListNumber:
        if (destination == Destination::ListOverride)
            m_tables.setOverrideNumber(parameter);
        else
            current.para.list = parameter;
        return true;
    case PnBullet:
    case PnNumbered:
        if (destination == Destination::OldList)
            current.para.oldList = keyword == PnBullet ? RtfParaProps::OldBullet : RtfParaProps::OldNumbered;
        return true;
    case Font:
        if (destination == Destination::FontTable)
            m_tables.beginFont(parameter);
        else
            current.chars.font = parameter;
        return true;
    case Fcharset:
        if (destination == Destination::FontTable)
            m_tables.setFontCharset(parameter);
        return true;
    case Cpg:
        if (destination == Destination::FontTable)
            m_tables.setFontCodePage(parameter);
        return true;
    case Red:
    case Green:
    case Blue:
        if (destination == Destination::ColorTable)
            m_tables.setColorComponent(keyword == Red ? 'r' : keyword == Green ? 'g' : 'b', parameter);
        return true;
    case Style:
        current.para.style = parameter;
        if (destination == Destination::Text)
            m_tables.applyStyle(parameter, current.chars, current.para);
        return true;
    case CharStyle:
        if (destination == Destination::StyleSheet) {
            current.characterStyle = true;
            current.para.style = parameter;
        } else {
            m_tables.applyCharStyle(parameter, current.chars);
        }
        return true;
    default:
        return false;
    }
}

void RtfParser::formattingWord(int keyword, bool hasParameter, int parameter) {
    Group& current = group();
    RtfCharProps& chars = current.chars;
    RtfParaProps& para = current.para;
    const bool on = !hasParameter || parameter != 0;
    switch (keyword) {
    case Ansi:
    case Mac:
    case Pc:
    case Pca:
        m_documentCodePage = keyword == Ansi ? 1252 : keyword == Mac ? 10000 : keyword == Pc ? 437 : 850;
        break;
    case AnsiCpg:
        if (RtfCodePages::isKnown(parameter))
            m_documentCodePage = parameter;
        break;
    case Deff:
        m_defaultFont = parameter;
        if (chars.font < 0)
            chars.font = parameter;
        break;
    case Plain:
        chars = RtfCharProps();
        chars.font = m_defaultFont;
        break;
    case Bold:
        chars.bold = on;
        break;
    case Italic:
        chars.italic = on;
        break;
    case Underline:
        chars.underline = on;
        break;
    case UnderlineNone:
        chars.underline = false;
        break;
    case Strike:
        chars.strike = on;
        break;
    case FontSize:
        chars.halfPoints = hasParameter && parameter > 0 ? qMin(parameter, MaxHalfPoints) : 24;
        break;
    case ColorFore:
        chars.foreground = parameter;
        break;
    case ColorBack:
        chars.background = parameter;
        break;
    case Highlight:
        chars.background = parameter > 0 ? parameter : -1;
        break;
    case Super:
        chars.vertical = 1;
        break;
    case Sub:
        chars.vertical = -1;
        break;
    case NoSuperSub:
        chars.vertical = 0;
        break;
    case Up:
    case Down:
        chars.vertical = hasParameter && parameter == 0 ? 0 : keyword == Up ? 1 : -1;
        break;
    case UnicodeSkip:
        current.unicodeSkip = hasParameter ? qBound(0, parameter, 16) : 1;
        break;
    case Unicode:
        unicode(parameter);
        break;
    case Pard:
        para = RtfParaProps();
        break;
    case AlignLeft:
    case AlignCenter:
    case AlignRight:
    case AlignJustify:
        para.alignment = RtfParaProps::Left + (keyword - AlignLeft);
        break;
    case LeftIndent:
    case RightIndent:
    case FirstIndent:
    case SpaceBefore:
    case SpaceAfter: {
        static constexpr int RtfParaProps::*indents[] = {&RtfParaProps::leftIndent, &RtfParaProps::rightIndent,
                                                         &RtfParaProps::firstIndent, &RtfParaProps::spaceBefore,
                                                         &RtfParaProps::spaceAfter};
        para.*indents[keyword - LeftIndent] = qBound(-MaxTwips, parameter, MaxTwips);
        break;
    }
    case ListLevelNumber:
        para.level = qBound(0, parameter, 8);
        break;
    case Par:
        if (current.destination == Destination::Text)
            endParagraph();
        break;
    case Line:
        output(QString(QChar::LineSeparator));
        break;
    case Tab:
        output(QStringLiteral("\t"));
        break;
    default:
        break;
    }
}

void RtfParser::controlSymbol(char symbol) {
    switch (symbol) {
    case '*':
        if (group().destination != Destination::Skip)
            group().optional = true;
        break;
    case '~':
        output(QString(QChar(0x00A0)));
        break;
    case '-':
        output(QString(QChar(0x00AD)));
        break;
    case '_':
        output(QString(QChar(0x2011)));
        break;
    case '\r':
    case '\n':
        if (group().destination == Destination::Text)
            endParagraph();
        break;
    default:
        break;
    }
}

} // namespace richtext
