// Times every clipboard text transformation on 1, 5 and 10 MB texts and prints the figures; the time per
// character should stay flat as the text grows. Buffers of tens of megabytes come fresh from the kernel, and
// on a virtual machine the first touch of their pages can dominate the 10 MB column; running with
// MALLOC_MMAP_THRESHOLD_=2000000000 MALLOC_TRIM_THRESHOLD_=2000000000 shows the cost of the work alone.
#include "clipmenu/TextTransformations.h"
#include "services/ReplaceText.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>

using namespace TextTransformations;

namespace {

// A mixed text: Czech and plain words, sentence marks, CR LF and bare LF lines, an astral character.
QString sampleText(qsizetype characters) {
    const QString unit = QString::fromUtf16(u"Příliš žluťoučký kůň úpěl ďábelské ódy. hELLO wORLD: "
                                            u"Straße und ÎLE de France?\r\nnext line \U0001F600 ends here!\n");
    QString text = unit.repeated(characters / unit.size() + 1);
    text.truncate(characters);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QLocale locale(QStringLiteral("cs_CZ"));
    const std::pair<const char*, std::function<QString(const QString&)>> routines[] = {
        {"To Lower Case", [&](const QString& t) { return toLowerCase(t, locale); }},
        {"To Upper Case", [&](const QString& t) { return toUpperCase(t, locale); }},
        {"To Proper Case", [&](const QString& t) { return toProperCase(t, locale); }},
        {"ReverseCase", [](const QString& t) { return ReverseCase(t); }},
        {"ZigZagCase", [](const QString& t) { return ZigZagCase(t, true); }},
        {"SentenceCase keep big", [&](const QString& t) { return SentenceCase(t, true, locale); }},
        {"SentenceCase lowered", [&](const QString& t) { return SentenceCase(t, false, locale); }},
        {"ReverseText", [](const QString& t) { return ReverseText(t, true); }},
        {"RemoveDiacritics", [](const QString& t) { return RemoveDiacritics(t); }},
        {"RemoveDiacriticsLong 1250", [](const QString& t) { return RemoveDiacriticsLong(t, 1250); }},
        {"ReplaceText CR LF -> LF", [](const QString& t) { return ReplaceText(t, "\r\n", "\n"); }},
        {"ReplaceText e -> ee", [](const QString& t) { return ReplaceText(t, "e", "ee"); }},
    };
    const qsizetype sizes[] = {1'000'000, 5'000'000, 10'000'000};

    std::printf("%-28s", "characters");
    for (qsizetype size : sizes)
        std::printf("%14lld", static_cast<long long>(size));
    std::printf("%16s\n", "ns/char @10M");
    for (const auto& [name, routine] : routines) {
        std::printf("%-28s", name);
        double lastNsPerChar = 0;
        for (qsizetype size : sizes) {
            const QString text = sampleText(size);
            // The best of three runs, so other work on the machine disturbs the figures less.
            qint64 ns = std::numeric_limits<qint64>::max();
            for (int run = 0; run < 3; ++run) {
                QElapsedTimer timer;
                timer.start();
                const QString result = routine(text);
                ns = std::min(ns, timer.nsecsElapsed());
                if (result.isEmpty())
                    return 1; // keeps the call from being optimised away
            }
            std::printf("%11.1f ms", ns / 1e6);
            lastNsPerChar = double(ns) / double(size);
        }
        std::printf("%16.1f\n", lastNsPerChar);
    }
    return 0;
}
