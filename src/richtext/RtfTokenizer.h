#pragma once

#include <QByteArrayView>

namespace richtext {

// Splits RTF bytes into tokens, one at a time and without recursion. Every token consumes at least one byte, and
// \binN takes at most the bytes that are left, so reading any input ends.
class RtfTokenizer final {
public:
    enum class Type {
        End,           // no bytes left
        GroupStart,    // {
        GroupEnd,      // }
        ControlWord,   // \word or \wordN (word, hasParameter, parameter)
        ControlSymbol, // \ and one other character (symbol); \<line end> is a \par, \\ \{ \} come as Text
        HexByte,       // \'hh (byte)
        Text,          // bytes of text, without line ends (text)
        Binary,        // the data of \binN (text)
    };
    struct Token {
        Type type = Type::End;
        QByteArrayView word;
        QByteArrayView text;
        int parameter = 0;
        bool hasParameter = false;
        char symbol = 0;
        unsigned char byte = 0;
    };

    explicit RtfTokenizer(QByteArrayView data) : m_data(data) {}
    Token next();
    // Bytes not yet read.
    qsizetype remaining() const { return m_data.size() - m_pos; }

private:
    Token controlWord();
    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

} // namespace richtext
