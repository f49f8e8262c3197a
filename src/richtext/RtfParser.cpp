#include "richtext/RtfParser.h"

#include "richtext/RtfDocumentBuilder.h"
#include "richtext/RtfKeywords.h"

#include <algorithm>

namespace richtext {

using namespace RtfKeywords;

namespace {

bool looksLikeBullet(const QString& marker) {
    const QString mark = marker.trimmed();
    const QList<uint> characters = mark.toUcs4();
    return characters.size() == 1 && !QChar::isLetterOrNumber(characters.front());
}

} // namespace

RtfParser::RtfParser(RtfDocumentBuilder& builder, const CodePageConverter& codePages, int defaultCodePage)
    : m_builder(builder), m_codePages(codePages), m_documentCodePage(defaultCodePage) {}

void RtfParser::parse(QByteArrayView rtf) {
    const qsizetype start = rtf.indexOf('{');
    RtfTokenizer tokens(start < 0 ? QByteArrayView() : rtf.sliced(start));
    m_stack.assign(1, Group());
    m_stack.reserve(64);
    for (;;) {
        const RtfTokenizer::Token token = tokens.next();
        switch (token.type) {
        case RtfTokenizer::Type::End:
            finish();
            return;
        case RtfTokenizer::Type::GroupStart:
            flushBytes();
            m_skip = 0;
            groupStart();
            break;
        case RtfTokenizer::Type::GroupEnd:
            flushBytes();
            m_skip = 0;
            if (groupEnd()) {
                finish();
                return;
            }
            break;
        case RtfTokenizer::Type::ControlWord:
            if (m_skip > 0) {
                --m_skip;
            } else {
                flushBytes();
                controlWord(token);
            }
            break;
        case RtfTokenizer::Type::ControlSymbol:
            if (m_skip > 0) {
                --m_skip;
            } else {
                flushBytes();
                controlSymbol(token.symbol);
            }
            break;
        case RtfTokenizer::Type::HexByte:
            if (m_skip > 0)
                --m_skip;
            else if (group().destination != Destination::Skip)
                m_bytes.append(char(token.byte));
            break;
        case RtfTokenizer::Type::Text:
            text(token.text);
            break;
        case RtfTokenizer::Type::Binary:
            if (m_skip > 0)
                --m_skip;
            break;
        }
    }
}

void RtfParser::groupStart() {
    if (m_stack.size() > size_t(MaxDepth)) {
        ++m_overflow;
        return;
    }
    Group inner = group();
    inner.optional = false;
    m_stack.push_back(inner);
}

bool RtfParser::groupEnd() {
    if (m_overflow > 0) {
        --m_overflow;
        return false;
    }
    if (m_stack.size() <= 2)
        return true; // the document's own group ends: what follows is no part of it
    const Group closed = m_stack.back();
    m_stack.pop_back();
    Group& outer = group();
    switch (closed.destination) {
    case Destination::FontTable:
        m_tables.endFont(); // an entry without its ";"
        break;
    case Destination::List:
        if (outer.destination == Destination::ListTable)
            m_tables.endList();
        break;
    case Destination::ListLevel:
        if (outer.destination == Destination::List)
            m_tables.endLevel();
        break;
    case Destination::ListOverride:
        if (outer.destination == Destination::ListOverrideTable)
            m_tables.endOverride();
        break;
    case Destination::OldList:
        // The \pn group describes the paragraph it stands in.
        if (outer.destination != Destination::OldList)
            outer.para.oldList = closed.para.oldList;
        break;
    default:
        break;
    }
    return false;
}

void RtfParser::text(QByteArrayView bytes) {
    const Destination destination = group().destination;
    if (destination == Destination::Skip)
        return;
    if (m_skip > 0) {
        const qsizetype skipped = qMin<qsizetype>(m_skip, bytes.size());
        m_skip -= int(skipped);
        bytes = bytes.sliced(skipped);
    }
    if (destination != Destination::FontTable && destination != Destination::ColorTable &&
        destination != Destination::StyleSheet) {
        m_bytes.append(bytes);
        return;
    }
    // In the tables ";" ends an entry.
    for (qsizetype end; (end = bytes.indexOf(';')) >= 0; bytes = bytes.sliced(end + 1)) {
        m_bytes.append(bytes.first(end));
        flushBytes();
        endTableEntry();
    }
    m_bytes.append(bytes);
}

void RtfParser::endTableEntry() {
    const Group& current = group();
    switch (current.destination) {
    case Destination::FontTable:
        m_tables.endFont();
        break;
    case Destination::ColorTable:
        m_tables.endColor();
        break;
    case Destination::StyleSheet:
        m_tables.addStyle(current.para.style, current.characterStyle, current.chars, current.para);
        break;
    default:
        break;
    }
}

int RtfParser::codePage() {
    const int codePage = group().destination == Destination::FontTable ? m_tables.pendingFontCodePage()
                                                                       : m_tables.fontCodePage(group().chars.font);
    return codePage != 0 ? codePage : m_documentCodePage;
}

void RtfParser::flushBytes() {
    if (m_bytes.isEmpty())
        return;
    const bool plain =
        std::all_of(m_bytes.cbegin(), m_bytes.cend(), [](char c) { return (c >= 0x20 && c < 0x7F) || c == '\t'; });
    if (plain && !m_highSurrogate && group().destination == Destination::Text) {
        // Plain ASCII, most text, goes to the run as it is.
        startRun().append(QLatin1StringView(m_bytes));
    } else if (plain || !m_codePages.decode) {
        output(QString::fromLatin1(m_bytes));
    } else {
        const int page = codePage();
        output(page == 65001 ? QString::fromUtf8(m_bytes) : m_codePages.decode(m_bytes, page));
    }
    m_bytes.clear();
}

void RtfParser::unicode(int parameter) {
    m_skip = group().unicodeSkip;
    const int code = parameter < 0 ? parameter + 0x10000 : parameter;
    if (code >= 0xD800 && code <= 0xDBFF) {
        if (m_highSurrogate)
            output(QString(QChar::ReplacementCharacter));
        m_highSurrogate = char16_t(code);
        return;
    }
    if (code >= 0xDC00 && code <= 0xDFFF) {
        const char16_t pair[] = {m_highSurrogate, char16_t(code)};
        const bool joined = m_highSurrogate != 0;
        m_highSurrogate = 0;
        output(joined ? QString::fromUtf16(pair, 2) : QString(QChar::ReplacementCharacter));
        return;
    }
    const char32_t character = code < 0 || code > 0x10FFFF ? char32_t(QChar::ReplacementCharacter) : char32_t(code);
    const char16_t units[] = {QChar::requiresSurrogates(character) ? QChar::highSurrogate(character)
                                                                   : char16_t(character),
                              QChar::lowSurrogate(character)};
    output(QStringView(units, QChar::requiresSurrogates(character) ? 2 : 1));
}

void RtfParser::output(QStringView text) {
    if (m_highSurrogate) {
        // A first half of a surrogate pair that no second half followed.
        m_highSurrogate = 0;
        output(u"\uFFFD");
    }
    QString cleaned;
    if (!std::all_of(text.cbegin(), text.cend(), RtfDocumentBuilder::isText)) {
        cleaned = text.toString();
        cleaned.removeIf([](QChar c) { return !RtfDocumentBuilder::isText(c); });
        text = cleaned;
    }
    if (text.isEmpty())
        return;
    switch (group().destination) {
    case Destination::Text:
        startRun().append(text);
        break;
    case Destination::FontTable:
        m_tables.appendFontName(text.toString());
        break;
    case Destination::ListText:
        m_marker += text;
        break;
    default:
        break;
    }
}

QString& RtfParser::startRun() {
    const Group& current = group();
    if (!(current.chars == m_runProps)) {
        flushRun();
        m_runProps = current.chars;
    }
    m_paragraphOpen = true;
    m_lastTextPara = current.para;
    return m_run;
}

void RtfParser::flushRun() {
    if (m_run.isEmpty())
        return;
    if (!m_runFormatValid || !(m_runFormatProps == m_runProps)) {
        m_runFormat = m_tables.charFormat(m_runProps);
        m_runFormatProps = m_runProps;
        m_runFormatValid = true;
    }
    m_builder.insertText(m_run, m_runFormat);
    m_run.clear();
}

bool RtfParser::isBullet(const RtfParaProps& para) const {
    if (para.list != 0) {
        if (const std::optional<bool> bullet = m_tables.isBulletList(para.list, para.level))
            return *bullet;
        return !m_hasMarker || looksLikeBullet(m_marker);
    }
    if (para.oldList != RtfParaProps::NoOldList)
        return para.oldList == RtfParaProps::OldBullet;
    return m_hasMarker && looksLikeBullet(m_marker);
}

void RtfParser::endParagraph() {
    if (m_highSurrogate)
        output(QString());
    flushRun();
    const RtfParaProps& para = group().para;
    const bool bullet = isBullet(para);
    const QString marker = bullet ? QString() : m_marker;
    m_builder.endParagraph(m_tables.blockFormat(para), bullet, marker,
                           marker.isEmpty() ? QTextCharFormat() : m_tables.charFormat(group().chars));
    m_marker.clear();
    m_hasMarker = false;
    m_paragraphOpen = false;
}

void RtfParser::finish() {
    flushBytes();
    if (m_highSurrogate)
        output(QString());
    flushRun();
    const bool bullet = isBullet(m_lastTextPara);
    const QString marker = bullet || !m_paragraphOpen ? QString() : m_marker;
    m_builder.finish(m_paragraphOpen, m_tables.blockFormat(m_lastTextPara), bullet, marker,
                     marker.isEmpty() ? QTextCharFormat() : m_tables.charFormat(m_runProps));
}

} // namespace richtext
