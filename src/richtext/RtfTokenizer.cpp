#include "richtext/RtfTokenizer.h"

#include <array>

namespace richtext {

namespace {

// The bytes that end a run of text: the group braces, the backslash, and line ends and NUL, which carry no
// meaning in RTF. A table, as most bytes of a document are text and each is classed.
constexpr std::array<bool, 256> textStops = [] {
    std::array<bool, 256> stops{};
    for (unsigned char c : {'\\', '{', '}', '\r', '\n', '\0'})
        stops[c] = true;
    return stops;
}();

bool endsText(char c) {
    return textStops[static_cast<unsigned char>(c)];
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

RtfTokenizer::Token RtfTokenizer::next() {
    Token token;
    // Line ends carry no meaning in RTF; a NUL (rich edit controls end their output with one) neither.
    while (m_pos < m_data.size() && (m_data[m_pos] == '\r' || m_data[m_pos] == '\n' || m_data[m_pos] == '\0'))
        ++m_pos;
    if (m_pos >= m_data.size())
        return token;
    const char c = m_data[m_pos];
    if (c == '{' || c == '}') {
        ++m_pos;
        token.type = c == '{' ? Type::GroupStart : Type::GroupEnd;
        return token;
    }
    if (c != '\\') {
        const char* const begin = m_data.data() + m_pos;
        const char* const end = m_data.data() + m_data.size();
        const char* stop = begin;
        while (stop != end && !endsText(*stop))
            ++stop;
        m_pos += stop - begin;
        token.type = Type::Text;
        token.text = QByteArrayView(begin, stop - begin);
        return token;
    }
    ++m_pos; // the backslash
    if (m_pos >= m_data.size())
        return token;
    const char s = m_data[m_pos];
    if (isLetter(s))
        return controlWord();
    ++m_pos;
    if (s == '\\' || s == '{' || s == '}') {
        token.type = Type::Text;
        token.text = m_data.sliced(m_pos - 1, 1);
        return token;
    }
    if (s == '\'') {
        const int high = m_pos < m_data.size() ? hexValue(m_data[m_pos]) : -1;
        const int low = m_pos + 1 < m_data.size() ? hexValue(m_data[m_pos + 1]) : -1;
        if (high < 0 || low < 0) {
            // A broken escape is dropped; the bytes after it are read as they come.
            token.type = Type::ControlSymbol;
            token.symbol = '\'';
            return token;
        }
        m_pos += 2;
        token.type = Type::HexByte;
        token.byte = static_cast<unsigned char>(high * 16 + low);
        return token;
    }
    token.type = Type::ControlSymbol;
    token.symbol = s;
    return token;
}

RtfTokenizer::Token RtfTokenizer::controlWord() {
    Token token;
    token.type = Type::ControlWord;
    const qsizetype start = m_pos;
    while (m_pos < m_data.size() && isLetter(m_data[m_pos]))
        ++m_pos;
    token.word = m_data.sliced(start, m_pos - start);
    bool negative = false;
    if (m_pos + 1 < m_data.size() && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
        // Parameters are at most 32-bit; longer digit runs saturate rather than overflow.
        qint64 value = 0;
        while (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
            if (value < 0x80000000LL)
                value = value * 10 + (m_data[m_pos] - '0');
            ++m_pos;
        }
        value = qMin<qint64>(value, negative ? 0x80000000LL : 0x7fffffffLL);
        token.parameter = static_cast<int>(negative ? -value : value);
        token.hasParameter = true;
    }
    if (m_pos < m_data.size() && m_data[m_pos] == ' ')
        ++m_pos; // the delimiting space belongs to the control word
    if (token.word == "bin" && token.hasParameter) {
        const qsizetype length = qBound(qsizetype(0), qsizetype(token.parameter), remaining());
        token.type = Type::Binary;
        token.text = m_data.sliced(m_pos, length);
        m_pos += length;
    }
    return token;
}

} // namespace richtext
