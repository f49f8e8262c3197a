#include "richtext/RtfWriter.h"
#include "RichTextTestUtil.h"
#include "TestSupport.h"
#include "richtext/RtfReader.h"

using namespace TestSupport;
using RichTextTestUtil::build;
using RichTextTestUtil::codePages;
using RichTextTestUtil::describe;

// Writing documents as RTF: what the writer puts in the bytes, and that the reader gives the document back.
class RtfWriterTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Document → RTF → document, equal property by property; the RTF is 7-bit and writes the same again.
    void roundTrip_data() {
        columns<QString, int>("notation", "codePage");
        const auto row = [](const char* name, const QString& notation, int codePage = 1252) {
            QTest::newRow(name) << notation << codePage;
        };
        row("plain", "L: Hello");
        row("character attributes", "L: a[b|b][i|c][u|d][s|e][b,i,u,s|f][sup|g][sub|h]");
        row("fonts and sizes", "L: [font=Liberation Mono,size=14|m][size=8.5|n][font=Noto Sans|o]");
        row("colours", "L: [fg=#ff0000|r][bg=#00ff00|g][fg=#0000ff,bg=#ffff00|y]");
        row("alignment", "C: c\nR: r\nJ: j\nL: l");
        row("indents in twips", "L li=709 ri=300 fi=-283 sb=120 sa=241: t");
        row("bullets", "L li=400 •: one\nL li=400 •: [b|two]\nL: after\nL li=800 fi=-400 •: again");
        row("breaks and specials", "L: a<br>b<tab>c\u00a0d\u00ade\u2011f {braces} back\\slash");
        row("beyond the code page", "L: Příliš žluťoučký 日本 😀 €", 1250);
        row("double-byte code page", "L: 日本語 text ★ é", 932);
        row("empty paragraphs", "L: \nC: x\nL: ");
        row("empty document", "L: ");
    }
    void roundTrip() {
        const auto [notation, codePage] = fetch<QString, int>("notation", "codePage");
        QTextDocument original;
        build(original, notation);
        QCOMPARE(describe(original), notation);
        const QByteArray rtf = richtext::writeRtf(original, codePages(), codePage);
        QVERIFY(std::all_of(rtf.cbegin(), rtf.cend(), [](char c) { return uchar(c) < 0x80; }));
        QTextDocument read;
        richtext::readRtf(rtf, read, codePages(), 1252);
        QCOMPARE(describe(read), notation);
        QCOMPARE(richtext::writeRtf(read, codePages(), codePage), rtf);
    }

    // What the bytes hold, for the readers of other programs.
    void output_data() {
        columns<QString, int, QByteArrayList>("notation", "codePage", "parts");
        const auto row = [](const char* name, const QString& notation, int codePage, const QByteArrayList& parts) {
            QTest::newRow(name) << notation << codePage << parts;
        };
        row("header and tables", "L: [fg=#ff0000,font=Arial|a]", 1250,
            {"{\\rtf1\\ansi\\ansicpg1250\\deff0\\uc1\r\n{\\fonttbl{\\f0\\fnil\\fcharset238 ",
             "{\\f1\\fnil\\fcharset238 Arial;}}", "{\\colortbl;\\red255\\green0\\blue0;}", "{\\pard\\plain\\f1\\fs"});
        row("code-page fallbacks", "L: ř€😀", 1250, {"\\u345\\'f8\\u8364\\'80\\u-10179\\'3f\\u-8704\\'3f\\par}"});
        row("two-byte fallback", "L: あa", 932, {"\\uc2\\u12354\\'82\\'a0a"});
        row("no fallback in the code page", "L: 日", 1252, {"\\u26085\\'3f"});
        row("escapes and breaks", "L: {a}\\b<br>c<tab>d", 1252, {"\\{a\\}\\\\b\\line c\\tab d\\par}"});
        row("paragraph", "C li=400 fi=-200: x", 1252, {"{\\pard\\plain\\qc\\li400\\fi-200\\f0"});
        row("only differences between runs", "L: [b|a][b,i|b]c", 1252, {" a\\i b\\b0\\i0 c\\par}"});
        row("bullets both ways", "L li=400 •: x", 1252,
            {"{\\*\\listtable{\\list\\listtemplateid1\\listsimple{\\listlevel\\levelnfc23",
             "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}",
             "{{\\pntext\\f1\\'b7\\tab}\\pard\\plain\\li400\\fi0\\ls1\\ilvl0{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{"
             "\\pntxtb\\'b7}}",
             "{\\f1\\fnil\\fcharset2 Symbol;}"});
    }
    void output() {
        const auto [notation, codePage, parts] = fetch<QString, int, QByteArrayList>("notation", "codePage", "parts");
        QTextDocument document;
        build(document, notation);
        const QByteArray rtf = richtext::writeRtf(document, codePages(), codePage);
        for (const QByteArray& part : parts)
            QVERIFY2(rtf.contains(part), rtf.constData());
    }

    // Paragraphs that got their margins in pixels (from pasted HTML, say) have them written in twips.
    void pixelMargins() {
        QTextDocument document;
        document.setHtml("<p style='margin-left:20px; text-indent:-10px'>x</p>");
        const QByteArray rtf = richtext::writeRtf(document, codePages(), 1252);
        const auto twips = [](int pixels) { return QByteArray::number(qRound(pixels * richtext::twipsPerPixel())); };
        QVERIFY2(rtf.contains("\\li" + twips(20) + "\\fi-" + twips(10)), rtf.constData());
    }

    // A selection is written as a document of its own; a paragraph mark only where the selection holds it.
    void selection_data() {
        columns<int, int, qsizetype, QString>("from", "to", "marks", "expected");
        QTest::newRow("inside a paragraph") << 1 << 2 << qsizetype(0) << "L: b";
        QTest::newRow("across paragraphs") << 1 << 4 << qsizetype(1) << "L: b\nC: [b|c]";
        QTest::newRow("whole paragraph with its mark") << 3 << 6 << qsizetype(1) << "C: [b|cd]";
        QTest::newRow("to the end") << 4 << 8 << qsizetype(1) << "C: [b|d]\nL: ef";
    }
    void selection() {
        const auto [from, to] = fetch<int, int>("from", "to");
        QTextDocument document;
        build(document, "L: ab\nC: [b|cd]\nL: ef");
        QTextCursor cursor(&document);
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        const QByteArray rtf = richtext::writeRtf(cursor, codePages(), 1252);
        QTEST(rtf.count("\\par}"), "marks");
        QTextDocument read;
        richtext::readRtf(rtf, read, codePages(), 1252);
        QTEST(describe(read), "expected");
        cursor.clearSelection();
        QCOMPARE(richtext::writeRtf(cursor, codePages(), 1252), QByteArray());
    }
};

#include "RtfWriterTest.moc"
ZP_TEST_CLASS(RtfWriterTest)
