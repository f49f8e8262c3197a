#include "richtext/RtfWriter.h"

#include "richtext/RichTextFormat.h"
#include "richtext/RtfCodePages.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <charconv>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

namespace richtext {

namespace {

// A run's character format in the terms RTF writes it: font and colours are indexes into the tables.
struct RunStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int font = 0;
    int halfPoints = 24;
    int foreground = 0; // 0: automatic
    int background = 0; // 0: none
    int vertical = 0;   // 1 superscript, -1 subscript
    bool operator==(const RunStyle&) const = default;
};

struct Run {
    QString text;
    RunStyle style;
};

struct Paragraph {
    QTextBlockFormat format;
    bool bullet = false;
    bool ended = false; // its paragraph mark is written
    std::vector<Run> runs;
};

constexpr char BulletFont[] = "Symbol";

class Writer {
public:
    Writer(const QTextDocument& document, const CodePageConverter& codePages, int codePage)
        : m_document(document), m_codePages(codePages), m_codePage(codePage) {
        const QFont font = document.defaultFont();
        fontIndex(font.family().isEmpty() ? QStringLiteral("Sans Serif") : font.family());
        m_defaultHalfPoints = font.pointSizeF() > 0 ? int(std::lround(font.pointSizeF() * 2)) : 24;
    }

    // Collects the paragraphs between two positions; `to` past a paragraph's end includes its mark.
    void collect(int from, int to, bool wholeDocument);
    QByteArray write();

private:
    RunStyle styleOf(const QTextCharFormat& format);
    int fontIndex(QString family);
    int colorIndex(const QBrush& brush, bool present);
    void word(const char* name);
    void word(const char* name, int parameter);
    void raw(const char* text);
    void openGroup();
    void closeGroup();
    void text(const QString& text);
    void unicode(char16_t unit, const QByteArray& fallback);
    QByteArray fallback(QChar character);
    void style(const RunStyle& style);
    void paragraph(const Paragraph& paragraph);
    void header();

    const QTextDocument& m_document;
    const CodePageConverter& m_codePages;
    int m_codePage;
    int m_defaultHalfPoints;
    QStringList m_fonts; // in the order of the font table
    std::unordered_map<QString, int> m_fontIndexes;
    QList<QRgb> m_colors;
    std::unordered_map<QRgb, int> m_colorIndexes;
    std::vector<Paragraph> m_paragraphs;
    int m_bulletFont = -1;
    QHash<char16_t, QByteArray> m_fallbacks;

    std::string m_out;
    bool m_delimit = false; // the last control word needs a space before literal text
    int m_unicodeSkip = 1;
    std::vector<int> m_unicodeSkips;
    RunStyle m_state;
    bool m_stateKnown = false;
};

int Writer::fontIndex(QString family) {
    family.remove(QLatin1Char(';')); // it would end the font table's entry
    if (family.isEmpty())
        return 0;
    const auto [it, added] = m_fontIndexes.try_emplace(family, int(m_fonts.size()));
    if (added)
        m_fonts.append(family);
    return it->second;
}

int Writer::colorIndex(const QBrush& brush, bool present) {
    if (!present || brush.style() == Qt::NoBrush || brush.color().alpha() == 0)
        return 0;
    const QRgb rgb = brush.color().rgb() & 0xFFFFFF;
    const auto [it, added] = m_colorIndexes.try_emplace(rgb, int(m_colors.size()) + 1);
    if (added)
        m_colors.append(rgb);
    return it->second;
}

RunStyle Writer::styleOf(const QTextCharFormat& format) {
    RunStyle style;
    style.bold = format.fontWeight() >= QFont::DemiBold;
    style.italic = format.fontItalic();
    style.underline = format.fontUnderline() || format.underlineStyle() != QTextCharFormat::NoUnderline;
    style.strike = format.fontStrikeOut();
    QString family = format.fontFamilies().toStringList().value(0);
    if (family.isEmpty() && format.hasProperty(QTextFormat::FontFamily))
        family = format.stringProperty(QTextFormat::FontFamily);
    style.font = fontIndex(family);
    style.halfPoints = format.fontPointSize() > 0 ? qBound(2, int(std::lround(format.fontPointSize() * 2)), 3276)
                                                  : m_defaultHalfPoints;
    style.foreground = colorIndex(format.foreground(), format.hasProperty(QTextFormat::ForegroundBrush));
    style.background = colorIndex(format.background(), format.hasProperty(QTextFormat::BackgroundBrush));
    const QTextCharFormat::VerticalAlignment vertical = format.verticalAlignment();
    style.vertical = vertical == QTextCharFormat::AlignSuperScript ? 1
                     : vertical == QTextCharFormat::AlignSubScript ? -1
                                                                   : 0;
    return style;
}

void Writer::collect(int from, int to, bool wholeDocument) {
    for (QTextBlock block = m_document.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int blockEnd = block.position() + block.length() - 1; // the position of the paragraph mark
        Paragraph paragraph;
        paragraph.format = block.blockFormat();
        paragraph.bullet = isBullet(block);
        paragraph.ended = wholeDocument || blockEnd < to;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = qMax(from, fragment.position());
            const int end = qMin(to, fragment.position() + fragment.length());
            if (start >= end)
                continue;
            const RunStyle style = styleOf(fragment.charFormat());
            const QString text = fragment.text().mid(start - fragment.position(), end - start);
            if (!paragraph.runs.empty() && paragraph.runs.back().style == style)
                paragraph.runs.back().text += text;
            else
                paragraph.runs.push_back(Run{text, style});
        }
        if (paragraph.runs.empty() && !paragraph.ended && block.position() >= to && !m_paragraphs.empty())
            break; // the selection ends where this paragraph starts
        if (paragraph.runs.empty())
            paragraph.runs.push_back(Run{QString(), styleOf(block.charFormat())});
        if (paragraph.bullet && m_bulletFont < 0)
            m_bulletFont = fontIndex(QLatin1String(BulletFont));
        m_paragraphs.push_back(std::move(paragraph));
    }
}

void Writer::word(const char* name) {
    m_out += '\\';
    m_out += name;
    m_delimit = true;
}

void Writer::word(const char* name, int parameter) {
    word(name);
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, parameter).ptr;
    m_out.append(digits, end);
}

void Writer::raw(const char* text) {
    m_out += text;
    m_delimit = false;
}

void Writer::openGroup() {
    raw("{");
    m_unicodeSkips.push_back(m_unicodeSkip);
}

void Writer::closeGroup() {
    raw("}");
    m_unicodeSkip = m_unicodeSkips.back();
    m_unicodeSkips.pop_back();
}

QByteArray Writer::fallback(QChar character) {
    const auto it = m_fallbacks.constFind(character.unicode());
    if (it != m_fallbacks.cend())
        return *it;
    QByteArray bytes = m_codePages.encode ? m_codePages.encode(QString(character), m_codePage) : QByteArray();
    if (bytes.isEmpty() || bytes.size() > 4)
        bytes = "?";
    m_fallbacks.insert(character.unicode(), bytes);
    return bytes;
}

void Writer::unicode(char16_t unit, const QByteArray& fallback) {
    // Readers skip \ucN bytes after \uN, so N is the fallback's byte count (two in double-byte code pages).
    if (fallback.size() != m_unicodeSkip) {
        m_unicodeSkip = int(fallback.size());
        word("uc", m_unicodeSkip);
    }
    word("u", int(qint16(unit)));
    static const char hex[] = "0123456789abcdef";
    for (const char byte : fallback) {
        m_out += "\\'";
        m_out += hex[uchar(byte) >> 4];
        m_out += hex[uchar(byte) & 15];
    }
    m_delimit = false;
}

void Writer::text(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F) {
            if (u == '\\' || u == '{' || u == '}')
                m_out += '\\';
            else if (m_delimit)
                m_out += ' ';
            m_out += char(u);
            m_delimit = false;
        } else if (u == '\t') {
            word("tab");
        } else if (u == QChar::LineSeparator) {
            word("line");
        } else if (u == 0x00A0) {
            raw("\\~");
        } else if (u == 0x00AD) {
            raw("\\-");
        } else if (u == 0x2011) {
            raw("\\_");
        } else if (u < 0x20 || u == 0x7F || u == 0xFFFC || u == 0xFDD0 || u == 0xFDD1) {
            continue; // control characters and object placeholders are no text
        } else if (c.isSurrogate()) {
            // Each half of a pair on its own, with "?" for a reader that knows no Unicode.
            unicode(u, "?");
        } else {
            unicode(u, fallback(c));
        }
    }
}

void Writer::style(const RunStyle& style) {
    const bool known = m_stateKnown;
    const RunStyle& was = m_state;
    if (!known || style.font != was.font)
        word("f", style.font);
    if (!known || style.halfPoints != was.halfPoints)
        word("fs", style.halfPoints);
    if (style.bold != was.bold)
        style.bold ? word("b") : word("b", 0);
    if (style.italic != was.italic)
        style.italic ? word("i") : word("i", 0);
    if (style.underline != was.underline)
        word(style.underline ? "ul" : "ulnone");
    if (style.strike != was.strike)
        style.strike ? word("strike") : word("strike", 0);
    if (style.foreground != was.foreground)
        word("cf", style.foreground);
    if (style.background != was.background) {
        // Word and LibreOffice show character shading, rich edit controls highlighting.
        word("chcbpat", style.background);
        word("highlight", style.background);
    }
    if (style.vertical != was.vertical)
        word(style.vertical > 0 ? "super" : style.vertical < 0 ? "sub" : "nosupersub");
    m_state = style;
    m_stateKnown = true;
}

int twipsOf(const QTextBlockFormat& format, Property which, double pixels) {
    if (format.hasProperty(which))
        return twips(format, which);
    return int(std::lround(pixels * twipsPerPixel()));
}

void Writer::paragraph(const Paragraph& paragraph) {
    const QTextBlockFormat& format = paragraph.format;
    openGroup();
    if (paragraph.bullet) {
        // The text a reader without lists shows; readers that know lists skip it.
        openGroup();
        word("pntext");
        word("f", m_bulletFont);
        raw("\\'b7");
        word("tab");
        closeGroup();
    }
    word("pard");
    word("plain");
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignHCenter)
        word("qc");
    else if (alignment & Qt::AlignRight)
        word("qr");
    else if (alignment & Qt::AlignJustify)
        word("qj");
    const std::pair<const char*, int> indents[] = {{"li", twipsOf(format, LeftIndentTwips, format.leftMargin())},
                                                   {"ri", twipsOf(format, RightIndentTwips, format.rightMargin())},
                                                   {"fi", twipsOf(format, FirstIndentTwips, format.textIndent())},
                                                   {"sb", twipsOf(format, SpaceBeforeTwips, format.topMargin())},
                                                   {"sa", twipsOf(format, SpaceAfterTwips, format.bottomMargin())}};
    for (const auto& [name, value] : indents)
        // A list level brings indents of its own in some readers: a bullet's are always written.
        if (value != 0 || (paragraph.bullet && name[0] != 's' && name[0] != 'r'))
            word(name, value);
    if (paragraph.bullet) {
        word("ls", 1);
        word("ilvl", 0);
        openGroup();
        raw("\\*");
        word("pn");
        word("pnlvlblt");
        word("pnf", m_bulletFont);
        word("pnindent", 0);
        openGroup();
        word("pntxtb");
        raw("\\'b7");
        closeGroup();
        closeGroup();
    }
    m_stateKnown = false;
    m_state = RunStyle();
    for (const Run& run : paragraph.runs) {
        style(run.style);
        text(run.text);
    }
    if (paragraph.ended)
        word("par");
    closeGroup();
    raw("\r\n");
}

void Writer::header() {
    raw("{");
    word("rtf1");
    word("ansi");
    word("ansicpg", m_codePage);
    word("deff", 0);
    word("uc", 1);
    raw("\r\n");
    openGroup();
    word("fonttbl");
    const int charset = RtfCodePages::charsetFor(m_codePage);
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        openGroup();
        word("f", int(i));
        word("fnil");
        word("fcharset", int(i) == m_bulletFont ? 2 : charset);
        text(m_fonts[i]);
        raw(";");
        closeGroup();
    }
    closeGroup();
    raw("\r\n");
    openGroup();
    word("colortbl");
    raw(";");
    for (const QRgb rgb : std::as_const(m_colors)) {
        word("red", qRed(rgb));
        word("green", qGreen(rgb));
        word("blue", qBlue(rgb));
        raw(";");
    }
    closeGroup();
    raw("\r\n");
    if (m_bulletFont >= 0) {
        raw("{\\*\\listtable{\\list\\listtemplateid1\\listsimple{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0"
            "\\leveljcn0\\levelfollow0\\levelstartat1\\levelspace0\\levelindent0{\\leveltext\\'01\\'b7;}"
            "{\\levelnumbers;}");
        word("f", m_bulletFont);
        raw("}{\\listname ;}\\listid1}}\r\n"
            "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}\r\n");
    }
}

QByteArray Writer::write() {
    // The paragraphs first: they name the fonts and colours the header lists.
    m_out.reserve(size_t(m_document.characterCount()) * 3 + 4096);
    for (const Paragraph& each : m_paragraphs)
        paragraph(each);
    std::string body;
    body.swap(m_out);
    header();
    m_out += body;
    m_out += '}';
    return QByteArray(m_out.data(), qsizetype(m_out.size()));
}

} // namespace

QByteArray writeRtf(const QTextDocument& document, const CodePageConverter& codePages, int codePage) {
    Writer writer(document, codePages, codePage);
    writer.collect(0, document.characterCount() - 1, true);
    return writer.write();
}

QByteArray writeRtf(const QTextCursor& selection, const CodePageConverter& codePages, int codePage) {
    if (!selection.hasSelection() || !selection.document())
        return {};
    Writer writer(*selection.document(), codePages, codePage);
    writer.collect(selection.selectionStart(), selection.selectionEnd(), false);
    return writer.write();
}

} // namespace richtext
