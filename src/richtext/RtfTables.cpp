#include "richtext/RtfTables.h"

#include "richtext/RichTextFormat.h"
#include "richtext/RtfCodePages.h"

#include <QBrush>
#include <QFont>

namespace richtext {

namespace {

// The number format of bullet levels (\levelnfc23).
constexpr int BulletFormat = 23;
// Levels a list can have.
constexpr int MaxLevels = 9;

} // namespace

void RtfTables::beginFont(int number) {
    endFont();
    m_fontNumber = number;
}

void RtfTables::setFontCharset(int charset) {
    if (!m_fontCodePageSet)
        m_font.codePage = RtfCodePages::forCharset(charset);
}

void RtfTables::setFontCodePage(int codePage) {
    if (RtfCodePages::isKnown(codePage)) {
        m_font.codePage = codePage;
        m_fontCodePageSet = true;
    }
}

void RtfTables::appendFontName(const QString& text) {
    if (m_fontNumber >= 0)
        m_font.name += text;
}

void RtfTables::endFont() {
    if (m_fontNumber >= 0) {
        m_font.name = m_font.name.trimmed();
        m_fonts.insert(m_fontNumber, m_font);
    }
    m_fontNumber = -1;
    m_font = Font();
    m_fontCodePageSet = false;
}

int RtfTables::pendingFontCodePage() const {
    return m_font.codePage;
}

int RtfTables::fontCodePage(int number) const {
    const auto it = m_fonts.constFind(number);
    return it == m_fonts.cend() ? 0 : it->codePage;
}

void RtfTables::setColorComponent(char which, int value) {
    const int component = qBound(0, value, 255);
    (which == 'r' ? m_red : which == 'g' ? m_green : m_blue) = component;
    m_colorSet = true;
}

void RtfTables::endColor() {
    m_colors.append(m_colorSet ? QColor(m_red, m_green, m_blue) : QColor());
    m_red = m_green = m_blue = 0;
    m_colorSet = false;
}

void RtfTables::addStyle(int number, bool character, const RtfCharProps& chars, const RtfParaProps& para) {
    if (character)
        m_charStyles.insert(number, chars);
    else
        m_styles.insert(number, Style{chars, para});
}

namespace {

// Sets the properties a style gives (those that differ from the defaults) over the current ones.
void mergeChars(const RtfCharProps& style, RtfCharProps& chars) {
    const RtfCharProps none;
    chars.bold |= style.bold;
    chars.italic |= style.italic;
    chars.underline |= style.underline;
    chars.strike |= style.strike;
    if (style.font != none.font)
        chars.font = style.font;
    if (style.halfPoints != none.halfPoints)
        chars.halfPoints = style.halfPoints;
    if (style.foreground != none.foreground)
        chars.foreground = style.foreground;
    if (style.background != none.background)
        chars.background = style.background;
    if (style.vertical != none.vertical)
        chars.vertical = style.vertical;
}

void mergePara(const RtfParaProps& style, RtfParaProps& para) {
    const RtfParaProps none;
    for (auto member :
         {&RtfParaProps::alignment, &RtfParaProps::leftIndent, &RtfParaProps::rightIndent, &RtfParaProps::firstIndent,
          &RtfParaProps::spaceBefore, &RtfParaProps::spaceAfter, &RtfParaProps::list, &RtfParaProps::level})
        if (style.*member != none.*member)
            para.*member = style.*member;
}

} // namespace

void RtfTables::applyStyle(int number, RtfCharProps& chars, RtfParaProps& para) const {
    const auto it = m_styles.constFind(number);
    if (it == m_styles.cend())
        return;
    mergeChars(it->chars, chars);
    mergePara(it->para, para);
}

void RtfTables::applyCharStyle(int number, RtfCharProps& chars) const {
    const auto it = m_charStyles.constFind(number);
    if (it != m_charStyles.cend())
        mergeChars(*it, chars);
}

void RtfTables::beginList() {
    m_listId = 0;
    m_levels.clear();
}

void RtfTables::setListId(int id) {
    m_listId = id;
}

void RtfTables::beginLevel() {
    m_levelFormat = 0;
}

void RtfTables::setLevelFormat(int format) {
    m_levelFormat = format;
}

void RtfTables::endLevel() {
    if (m_levels.size() < MaxLevels)
        m_levels.append(m_levelFormat);
}

void RtfTables::endList() {
    m_lists.insert(m_listId, m_levels);
    m_levels.clear();
}

void RtfTables::beginOverride() {
    m_overrideListId = m_overrideNumber = 0;
}

void RtfTables::setOverrideListId(int id) {
    m_overrideListId = id;
}

void RtfTables::setOverrideNumber(int number) {
    m_overrideNumber = number;
}

void RtfTables::endOverride() {
    m_overrides.insert(m_overrideNumber, m_overrideListId);
}

std::optional<bool> RtfTables::isBulletList(int number, int level) const {
    const auto override = m_overrides.constFind(number);
    if (override == m_overrides.cend())
        return std::nullopt;
    const auto list = m_lists.constFind(*override);
    if (list == m_lists.cend() || list->isEmpty())
        return std::nullopt;
    // A simple list has one level, which serves every \ilvl.
    return list->value(qBound(0, level, int(list->size()) - 1)) == BulletFormat;
}

QTextCharFormat RtfTables::charFormat(const RtfCharProps& chars) const {
    QTextCharFormat format;
    if (chars.bold)
        format.setFontWeight(QFont::Bold);
    if (chars.italic)
        format.setFontItalic(true);
    if (chars.underline)
        format.setFontUnderline(true);
    if (chars.strike)
        format.setFontStrikeOut(true);
    const auto font = m_fonts.constFind(chars.font);
    if (font != m_fonts.cend() && !font->name.isEmpty())
        format.setFontFamilies(QStringList{font->name});
    format.setFontPointSize(chars.halfPoints / 2.0);
    const QColor foreground = m_colors.value(chars.foreground);
    if (foreground.isValid())
        format.setForeground(foreground);
    const QColor background = m_colors.value(chars.background);
    if (background.isValid())
        format.setBackground(background);
    if (chars.vertical != 0)
        format.setVerticalAlignment(chars.vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                       : QTextCharFormat::AlignSubScript);
    return format;
}

QTextBlockFormat RtfTables::blockFormat(const RtfParaProps& para) const {
    QTextBlockFormat format;
    switch (para.alignment) {
    case RtfParaProps::Center:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case RtfParaProps::Right:
        format.setAlignment(Qt::AlignRight);
        break;
    case RtfParaProps::Justify:
        format.setAlignment(Qt::AlignJustify);
        break;
    default:
        break;
    }
    const std::pair<Property, int> twips[] = {{LeftIndentTwips, para.leftIndent},
                                              {RightIndentTwips, para.rightIndent},
                                              {FirstIndentTwips, para.firstIndent},
                                              {SpaceBeforeTwips, para.spaceBefore},
                                              {SpaceAfterTwips, para.spaceAfter}};
    for (const auto& [which, value] : twips)
        if (value != 0)
            setTwips(format, which, value);
    return format;
}

} // namespace richtext
