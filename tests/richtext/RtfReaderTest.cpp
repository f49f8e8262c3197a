#include "richtext/RtfReader.h"
#include "RichTextTestUtil.h"
#include "TestSupport.h"

using namespace TestSupport;
using RichTextTestUtil::describe;

// Reading RTF as LibreOffice, WordPad and Word write it, and the corners of the format, into a document.
class RtfReaderTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Files written by those programs (fixtures/) with the document each must give.
    void fixtures_data() {
        // family: the font most text is in
        columns<QString, QString, double, QString>("file", "family", "size", "expected");
        const auto row = [](const char* file, const char* family, double size, const QString& expected) {
            QTest::newRow(file) << QString(file) << QString(family) << size << expected;
        };
        row("lo-formatting.rtf", "Liberation Serif", 12,
            "L sa=140: Plain [b|bold] [i|italic] [u|underline] [s|strike] [b,i|both]\n"
            "C sa=140: [fg=#ff0000|red] [bg=#ffff00|yellow] [font=Liberation Mono,size=14|mono14]\n"
            "R sa=140: x[sup|2] H[sub|2]O\n"
            "J li=1440 ri=720 fi=-360 sb=120 sa=240: Indented first<br>second line");
        row("lo-unicode.rtf", "Liberation Serif", 12,
            "L sa=140: Příliš žluťoučký kůň úpěl ďábelské ódy.\n"
            "L sa=140: Emoji 😀 end<tab>tab {braces} back\\slash");
        row("lo-bullets.rtf", "Liberation Serif", 12,
            "L sa=140: Before list\nL li=709 fi=-283 sa=140 •: First item\n"
            "L li=709 fi=-283 sa=140 •: Second [b|item]\nL sa=140: After list");
        row("wordpad-czech.rtf", "Calibri", 11,
            "L sa=200: Příliš [b|tučný] [i|kurzíva] [u|podtržené] [s|přeškrtnuté]\n"
            "C sa=200: [fg=#ff0000|červený] střed<br>druhý řádek\n"
            "L li=720 fi=-360 sa=200 •: první\nL li=720 fi=-360 sa=200 •: druhý\n"
            "R sa=200: [fg=#00b050|konec]");
        row("word-lists.rtf", "Calibri", 11,
            "C sb=240: [b,size=16,fg=#c00000|Title]\n"
            "L sa=160: Text with [u,fg=#0000ff|link] and [font=Times New Roman CE|ř].\n"
            "L li=720 fi=-360 sa=160 •: First bullet\nL li=720 fi=-360 sa=160 •: Second [i|bullet]\n"
            "J sa=160: End[sup|1]");
        row("wordpad-japanese.rtf", "ＭＳ 明朝", 11, "L sa=200: あいソ[font=Calibri| abc ]日本\nL sa=200: あ★");
    }
    void fixtures() {
        const auto [file, family, size] = fetch<QString, QString, double>("file", "family", "size");
        QTextDocument document;
        richtext::readRtf(readFile(QFINDTESTDATA("fixtures/" + file)), document, RichTextTestUtil::codePages(), 1252);
        QTEST(describe(document, family, size), "expected");
    }

    // The format's corners, each in a document of its own.
    void corners_data() {
        columns<QByteArray, QString>("rtf", "expected");
        const auto row = [](const char* name, const QByteArray& rtf, const QString& expected) {
            QTest::newRow(name) << rtf << expected;
        };
        const QByteArray deep = QByteArray(1'000'000, '{') + "x" + QByteArray(1'000'000, '}');
        // clang-format off
        row("not RTF: plain text in the code page", "caf\xe9\r\nline\rend\n", "L: café\nL: line\nL: end\nL: ");
        row("RTF after white space", " \r\n\t{\\rtf1 x}", "L: x");
        row("final \\par ends the last paragraph", "{\\rtf1 a\\par}", "L: a");
        row("empty paragraph after it", "{\\rtf1 a\\par\\par}", "L: a\nL: ");
        row("backslash before a line end", "{\\rtf1 a\\\r\nb}", "L: a\nL: b");
        row("last paragraph without \\par keeps its format", "{\\rtf1 {\\pard\\qc x}}", "C: x");
        row("paragraph format in force at \\par", "{\\rtf1\\qc x\\pard\\qr\\par}", "R: x");
        row("\\plain and \\pard reset", "{\\rtf1\\qc\\b\\i a\\plain\\pard b\\par}", "L: [b,i|a]b");
        row("groups restore", "{\\rtf1 a{\\b b{\\i c}d}e}", "L: a[b|b][b,i|c][b|d]e");
        row("on and off values", "{\\rtf1\\b1 a\\b0 b\\i\\strike c\\i0\\strike0 d}", "L: [b|a]b[i,s|c]d");
        row("underline styles", "{\\rtf1\\uldb a\\ulnone b\\ulwave c\\ul0 d\\ulc1 e}", "L: [u|a]b[u|c]de");
        row("colours, automatic first entry", "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1 r\\cf0 a\\highlight1 h\\highlight0 n\\cb1 c}",
            "L: [fg=#ff0000|r]a[bg=#ff0000|h]n[bg=#ff0000|c]");
        row("size, super, sub", "{\\rtf1\\fs18 a\\super b\\nosupersub\\sub c\\dn0 d\\up6 e}",
            "L: [size=9|a][sup,size=9|b][sub,size=9|c][size=9|d][sup,size=9|e]");
        row("special characters", "{\\rtf1 a\\line b\\tab c\\~d\\-e\\_f\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\{\\}\\\\}",
            QString("L: a<br>b<tab>c\u00a0d\u00ade\u2011f—–‘’“”•{}\\"));
        row("\\u signed, ? fallback", "{\\rtf1\\u-3913?\\u8364?x}", "L: \uf0b7€x");
        row("\\u surrogate halves", "{\\rtf1\\u-10179?\\u-8704?}", "L: 😀");
        row("\\u lone half", "{\\rtf1\\u-10179?x}", "L: \ufffdx");
        row("\\uc scoped per group", "{\\rtf1{\\uc2\\u12354 ab}\\u12354 cd}", "L: ああd");
        row("\\uc0", "{\\rtf1\\uc0\\u269 x}", "L: čx");
        row("fallback \\'hh skipped", "{\\rtf1\\ansicpg1250\\u345\\'f8x}", "L: řx");
        row("\\'hh in \\ansicpg without font", "{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}", "L: Аб");
        row("font code page over document's", "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset238 A;}{\\f1\\cpg1251 B;}}\\f0\\'f8\\f1\\'c0}",
            "L: [font=A|ř][font=B|А]");
        row("double-byte lead bytes", "{\\rtf1\\ansi\\ansicpg936 \\'c4\\'e3\\'ba\\'c3}", "L: 你好");
        row("\\upr takes the Unicode part", "{\\rtf1{\\upr{x}{\\*\\ud{\\u1078?}}}}", "L: ж");
        row("\\* destinations skipped", "{\\rtf1 a{\\*\\unknown b{c}}d{\\*\\fldinst e}{\\fldrslt f}}", "L: adf");
        row("\\bin and \\pict skipped", "{\\rtf1 a\\bin4 {}\\}b{\\pict\\wmetafile8 0123}c}", "L: abc");
        row("\\bin longer than the input", "{\\rtf1 a\\bin999999 xyz", "L: a");
        row("style sheet", "{\\rtf1{\\stylesheet{\\s2\\qc\\li400\\b\\fs28 Head;}}\\pard\\s2 T\\par}",
            "C li=400: [b,size=14|T]");
        row("numbered pn list keeps its number", "{\\rtf1{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}x\\par}",
            "L: 1.<tab>x");
        row("numbered list of the list table", "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0}\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\ls3}}{\\listtext\\'95\\tab}\\ls3 x\\par}",
            "L: \u2022<tab>x");
        row("list text alone decides", "{\\rtf1{\\listtext\\'95\\tab}a\\par{\\listtext 2)\\tab}b\\par}",
            "L •: a\nL: 2)<tab>b");
        row("unterminated groups", "{\\rtf1 {{{{abc", "L: abc");
        row("text after the document is ignored", "{\\rtf1 a}b{c}", "L: a");
        row("nesting 1,000,000 deep", "{\\rtf1 " + deep + "}", "L: x");
        row("nesting 1,000,000 deep, never closed", "{\\rtf1 a" + QByteArray(1'000'000, '{') + "b", "L: ab");
        row("nesting 1,000,000 deep in a skipped destination", "{\\rtf1 a{\\*\\x " + deep + "}b}", "L: ab");
        row("control characters dropped", "{\\rtf1\\uc0 a\x01\tb\\u0 \\u8233 c}", "L: a<tab>bc");
        // clang-format on
    }
    void corners() {
        QFETCH(QByteArray, rtf);
        QTextDocument document;
        document.setDefaultFont(QFont(document.defaultFont().family(), 12));
        richtext::readRtf(rtf, document, RichTextTestUtil::codePages(), 1252);
        QTEST(describe(document), "expected");
    }

    // Pasting at the cursor of "XYZ" (after "X", or replacing "Y"): pasted paragraph ends split the paragraph.
    void paste_data() {
        columns<QByteArray, bool, QString>("rtf", "replace", "expected");
        QTest::newRow("inline") << QByteArray("{\\rtf1 \\b A}") << false << "R: X[b|A]YZ";
        QTest::newRow("replacing") << QByteArray("{\\rtf1 A}") << true << "R: XAZ";
        QTest::newRow("paragraphs") << QByteArray("{\\rtf1 {\\pard\\qc A\\par}B}") << false << "C: XA\nR: BYZ";
        QTest::newRow("bullet") << QByteArray("{\\rtf1{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt}A\\par}") << false
                                << "L •: XA\nR: YZ";
        QTest::newRow("plain text") << QByteArray("P\r\nQ") << false << "R: XP\nR: QYZ";
    }
    void paste() {
        const auto [rtf, replace] = fetch<QByteArray, bool>("rtf", "replace");
        QTextDocument document;
        document.setDefaultFont(QFont(document.defaultFont().family(), 12));
        RichTextTestUtil::build(document, "R: XYZ");
        QTextCursor cursor(&document);
        cursor.setPosition(1);
        if (replace)
            cursor.setPosition(2, QTextCursor::KeepAnchor);
        richtext::insertRtf(cursor, rtf, RichTextTestUtil::codePages(), 1252);
        QTEST(describe(document), "expected");
        document.undo();
        QCOMPARE(describe(document), QString("R: XYZ"));
    }
};

#include "RtfReaderTest.moc"
ZP_TEST_CLASS(RtfReaderTest)
