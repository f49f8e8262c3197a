// Times the RTF writer and reader on documents of 10,000, 50,000 and 100,000 characters in formatted runs of 20
// characters (bold, italic, underline, fonts, sizes, colours, superscript; a paragraph every ten runs, every
// fourth paragraph a bullet; Czech text, so a tenth of the characters are written as \uN). The target is 30 ms
// for each at 100,000 characters; the time per character should stay flat as the document grows. Then the time to
// read groups nested a million deep.
#include "richtext/RichTextFormat.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "services/CodePage.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <utility>

namespace {

constexpr int RunLength = 20;

void buildDocument(QTextDocument& document, int characters) {
    const QString words = QString::fromUtf16(u"Příliš žluťoučký kůň úpěl ďábelské ódy, text ");
    const QString colors[] = {"#c00000", "#0070c0", "#00b050"};
    QTextCursor cursor(&document);
    for (int run = 0, written = 0; written < characters; ++run) {
        if (run > 0 && run % 10 == 0) {
            QTextBlockFormat block;
            richtext::setTwips(block, richtext::LeftIndentTwips, (run / 10) % 4 == 0 ? 400 : 0);
            cursor.insertBlock(block);
            if ((run / 10) % 4 == 0)
                richtext::setBullets(cursor, true);
        }
        QTextCharFormat format;
        format.setFontWeight(run % 2 ? QFont::Bold : QFont::Normal);
        format.setFontItalic(run % 3 == 0);
        format.setFontUnderline(run % 5 == 0);
        format.setFontFamilies({run % 4 ? QString("Liberation Serif") : QString("Liberation Mono")});
        format.setFontPointSize(10 + run % 4);
        if (run % 7 == 0)
            format.setForeground(QColor(colors[run % 3]));
        if (run % 11 == 0)
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        const int length = std::min(RunLength, characters - written);
        cursor.insertText(words.mid(run % 20, length), format);
        written += length;
    }
}

// The best of seven runs, so other work on the machine disturbs the figures less.
double bestMs(const std::function<void()>& work) {
    qint64 best = std::numeric_limits<qint64>::max();
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed());
    }
    return best / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const richtext::CodePageConverter codePages{
        [](const QByteArray& bytes, int codePage) { return CodePage::fromAnsi(bytes, codePage); },
        [](const QString& text, int codePage) { return CodePage::toAnsi(text, codePage); }};
    std::printf("%-12s%8s%10s%12s%12s%16s%16s\n", "characters", "runs", "RTF KB", "write ms", "read ms", "write ms/10k",
                "read ms/10k");
    for (const int characters : {10'000, 50'000, 100'000}) {
        QTextDocument document;
        buildDocument(document, characters);
        QByteArray rtf;
        const double writeMs = bestMs([&] { rtf = richtext::writeRtf(document, codePages, 1250); });
        QTextDocument read;
        const double readMs = bestMs([&] { richtext::readRtf(rtf, read, codePages, 1250); });
        if (read.characterCount() != document.characterCount())
            std::printf("(read %d characters of %d)\n", read.characterCount(), document.characterCount());
        std::printf("%-12d%8d%10.0f%12.2f%12.2f%16.2f%16.2f\n", characters, (characters + RunLength - 1) / RunLength,
                    rtf.size() / 1024.0, writeMs, readMs, writeMs * 10'000 / characters, readMs * 10'000 / characters);
    }
    // Hostile nesting: groups a million deep, closed and never closed; the reader caps the depth it follows.
    const QByteArray deep = QByteArray(1'000'000, '{') + "x" + QByteArray(1'000'000, '}');
    for (const auto& [name, rtf] : {std::pair{"groups 1,000,000 deep", "{\\rtf1 " + deep + "}"},
                                    {"1,000,000 groups never closed", "{\\rtf1 " + QByteArray(1'000'000, '{')}}) {
        QTextDocument read;
        std::printf("%-32s%8.0f KB%10.2f ms to read\n", name, rtf.size() / 1024.0,
                    bestMs([&] { richtext::readRtf(rtf, read, codePages, 1250); }));
    }
    return 0;
}
