#include "richtext/RtfCodePages.h"

#include <array>
#include <utility>

namespace richtext::RtfCodePages {

namespace {

constexpr std::array<std::pair<int, int>, 19> charsetCodePages{{
    {0, 1252},   // ANSI
    {2, 1252},   // symbol fonts: their bytes are glyph numbers, read as Latin text
    {77, 10000}, // Mac Roman
    {128, 932},  // Shift-JIS
    {129, 949},  // Hangul
    {130, 1361}, // Johab
    {134, 936},  // GB 2312
    {136, 950},  // Big5
    {161, 1253}, // Greek
    {162, 1254}, // Turkish
    {163, 1258}, // Vietnamese
    {177, 1255}, // Hebrew
    {178, 1256}, // Arabic
    {186, 1257}, // Baltic
    {204, 1251}, // Cyrillic
    {222, 874},  // Thai
    {238, 1250}, // Central European
    {254, 437},  // PC 437
    {255, 850},  // OEM
}};

} // namespace

int forCharset(int charset) {
    for (const auto& [set, codePage] : charsetCodePages)
        if (set == charset)
            return codePage;
    return 0;
}

int charsetFor(int codePage) {
    if (codePage == 1252)
        return 0;
    for (const auto& [set, page] : charsetCodePages)
        if (page == codePage && set != 2)
            return set;
    return 0;
}

bool isKnown(int codePage) {
    if (codePage == 65001 || (codePage >= 1250 && codePage <= 1258) || (codePage >= 10000 && codePage <= 10082) ||
        (codePage >= 28591 && codePage <= 28605) || codePage == 20127)
        return true;
    switch (codePage) {
    case 437:
    case 708:
    case 720:
    case 737:
    case 775:
    case 850:
    case 852:
    case 855:
    case 857:
    case 858:
    case 860:
    case 861:
    case 862:
    case 863:
    case 864:
    case 865:
    case 866:
    case 869:
    case 874:
    case 932:
    case 936:
    case 949:
    case 950:
    case 1361:
        return true;
    default:
        return false;
    }
}

} // namespace richtext::RtfCodePages
