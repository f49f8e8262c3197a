#pragma once

#include "richtext/CodePageConverter.h"
#include "richtext/RtfProperties.h"
#include "richtext/RtfTables.h"
#include "richtext/RtfTokenizer.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace richtext {

class RtfDocumentBuilder;

// Reads the tokens of an RTF document and hands its text and paragraphs to a document builder. The group
// nesting is an explicit stack capped at MaxDepth: deeper groups are read as part of the deepest one.
class RtfParser final {
public:
    static constexpr int MaxDepth = 1000;

    RtfParser(RtfDocumentBuilder& builder, const CodePageConverter& codePages, int defaultCodePage);
    void parse(QByteArrayView rtf);

    enum class Destination {
        Text,
        Skip,
        FontTable,
        ColorTable,
        StyleSheet,
        ListTable,
        List,
        ListLevel,
        ListOverrideTable,
        ListOverride,
        ListText, // \listtext and \pntext: the marker a reader without lists shows
        OldList,  // \pn
        Upr,      // \upr: text in the code page, followed by its Unicode form in \ud
    };

private:
    struct Group {
        Destination destination = Destination::Text;
        RtfCharProps chars;
        RtfParaProps para;
        int unicodeSkip = 1;   // \uc
        bool optional = false; // \* seen: the destination is skipped unless known
        bool characterStyle = false;
        Destination uprOuter = Destination::Text;
    };

    Group& group() { return m_stack.back(); }
    void groupStart();
    bool groupEnd();
    void controlWord(const RtfTokenizer::Token& token);
    bool destinationWord(int keyword, int parameter);
    void formattingWord(int keyword, bool hasParameter, int parameter);
    void controlSymbol(char symbol);
    void text(QByteArrayView bytes);
    void flushBytes();
    void unicode(int parameter);
    void output(QStringView text);
    QString& startRun();
    void endTableEntry();
    int codePage();
    void flushRun();
    void endParagraph();
    bool isBullet(const RtfParaProps& para) const;
    void finish();

    RtfDocumentBuilder& m_builder;
    const CodePageConverter& m_codePages;
    int m_documentCodePage;
    int m_defaultFont = -1;
    RtfTables m_tables;
    std::vector<Group> m_stack;
    int m_overflow = 0; // '{' beyond MaxDepth not yet closed
    int m_skip = 0;     // fallback characters after \u still to skip
    QByteArray m_bytes; // text bytes not yet decoded, all in one font's code page
    char16_t m_highSurrogate = 0;
    QString m_run; // text of one character format not yet inserted
    RtfCharProps m_runProps;
    QTextCharFormat m_runFormat;
    bool m_runFormatValid = false;
    RtfCharProps m_runFormatProps;
    bool m_paragraphOpen = false; // text since the last paragraph end
    RtfParaProps m_lastTextPara;  // the paragraph properties where that text was
    QString m_marker;             // \listtext of the paragraph
    bool m_hasMarker = false;
};

} // namespace richtext
