#include "clipmenu/TextTransformations.h"

#include "services/CodePage.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <vector>

namespace TextTransformations {

namespace {

constexpr std::array<DiacriticPair, 68> kDiacritics{{
    {u'ž', u'z'}, {u'š', u's'}, {u'č', u'c'}, {u'ř', u'r'}, {u'ď', u'd'}, {u'ť', u't'}, {u'ň', u'n'}, {u'Ž', u'Z'},
    {u'Š', u'S'}, {u'Č', u'C'}, {u'Ř', u'R'}, {u'Ď', u'D'}, {u'Ť', u'T'}, {u'Ň', u'N'}, {u'á', u'a'}, {u'é', u'e'},
    {u'ě', u'e'}, {u'í', u'i'}, {u'ó', u'o'}, {u'ú', u'u'}, {u'ů', u'u'}, {u'ý', u'y'}, {u'Á', u'A'}, {u'É', u'E'},
    {u'Ě', u'E'}, {u'Í', u'I'}, {u'Ó', u'O'}, {u'Ú', u'U'}, {u'Ů', u'U'}, {u'Ý', u'Y'}, {u'Ŕ', u'R'}, {u'Â', u'A'},
    {u'Ä', u'A'}, {u'Ĺ', u'L'}, {u'Ć', u'C'}, {u'Ç', u'C'}, {u'Ę', u'E'}, {u'Ë', u'E'}, {u'Ě', u'E'}, {u'Î', u'I'},
    {u'Đ', u'D'}, {u'Ń', u'N'}, {u'Ô', u'O'}, {u'Ő', u'O'}, {u'Ö', u'O'}, {u'Ű', u'U'}, {u'Ü', u'U'}, {u'ŕ', u'r'},
    {u'â', u'a'}, {u'ă', u'a'}, {u'ä', u'a'}, {u'ĺ', u'l'}, {u'ć', u'c'}, {u'ç', u'c'}, {u'č', u'c'}, {u'ę', u'e'},
    {u'ë', u'e'}, {u'î', u'i'}, {u'đ', u'd'}, {u'ń', u'n'}, {u'ô', u'o'}, {u'ő', u'o'}, {u'ö', u'o'}, {u'ű', u'u'},
    {u'ü', u'u'}, {u'ţ', u't'}, {u'Ă', u'A'}, {u'Ţ', u'T'},
}};

// Every accented letter of the table lies below U+0180, so a direct lookup array replaces the row search.
constexpr char16_t kLookupSize = 0x180;

constexpr std::array<char16_t, kLookupSize> makeLookup() {
    std::array<char16_t, kLookupSize> lookup{};
    for (const DiacriticPair& pair : kDiacritics)
        if (lookup[pair.accented] == 0) // the first row that names a letter counts
            lookup[pair.accented] = pair.base;
    return lookup;
}

constexpr std::array<char16_t, kLookupSize> kLookup = makeLookup();

bool isWordSeparator(QChar c) {
    switch (c.unicode()) {
    case u' ':
    case u'\t':
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case u'\0':
        return true;
    default:
        return false;
    }
}

bool endsSentence(char32_t c) {
    return c == U'.' || c == U'!' || c == U'?' || c == U':';
}

// The character starting at index i of s; a valid surrogate pair is one character of two units.
char32_t charAt(const QChar* s, qsizetype n, qsizetype i, qsizetype& units) {
    const char16_t u = s[i].unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(s[i + 1].unicode())) {
        units = 2;
        return QChar::surrogateToUcs4(u, s[i + 1].unicode());
    }
    units = 1; // lone surrogates are carried through as they are
    return u;
}

bool hasCase(char32_t c) {
    return QChar::toUpper(c) != QChar::toLower(c);
}

// Maps each character through a per-character rule that gets the character and its position. Simple case
// mappings never move a character into or out of the BMP, so the result is written over the text in place.
template <typename Rule> QString mapChars(QString text, Rule rule) {
    QChar* d = text.data();
    const qsizetype n = text.size();
    qsizetype position = 0;
    for (qsizetype i = 0; i < n;) {
        qsizetype units = 1;
        const char32_t c = charAt(d, n, i, units);
        const char32_t mapped = rule(c, position++);
        if (units == 2 && QChar::requiresSurrogates(mapped)) {
            d[i] = QChar(QChar::highSurrogate(mapped));
            d[i + 1] = QChar(QChar::lowSurrogate(mapped));
        } else if (units == 1 && !QChar::requiresSurrogates(mapped)) {
            d[i] = QChar(char16_t(mapped));
        }
        i += units;
    }
    return text;
}

// Converts the text a piece at a time, each piece ending just after a word separator (or at the end of the
// text). No case mapping in context (Greek final sigma, the Lithuanian and Turkish rules) and no word rule looks
// across a separator, so the result is the conversion of the whole text; but a piece that keeps its length is
// written back over the text, and a long text needs little memory beyond itself. From the first piece that
// changes its length on, the pieces go into a new string.
template <typename Convert> QString inPieces(QString text, Convert convert) {
    constexpr qsizetype PieceLength = 1 << 16;
    const qsizetype n = text.size();
    QString out;
    bool inPlace = true;
    for (qsizetype begin = 0; begin < n;) {
        qsizetype end = std::min(n, begin + PieceLength);
        while (end < n && !isWordSeparator(text.at(end - 1)))
            ++end;
        const QString piece = convert(text.mid(begin, end - begin));
        if (inPlace && piece.size() == end - begin) {
            std::copy(piece.cbegin(), piece.cend(), text.data() + begin);
        } else {
            if (inPlace) {
                out.reserve(n + n / 16);
                out.append(QStringView(text).first(begin));
                inPlace = false;
            }
            out.append(piece);
        }
        begin = end;
    }
    return inPlace ? text : out;
}

// The next piece of a string of pieces each ended by a space, advancing from.
QStringView nextPiece(const QString& pieces, qsizetype& from) {
    qsizetype end = pieces.indexOf(QLatin1Char(' '), from);
    if (end < 0)
        end = pieces.size();
    const QStringView piece = QStringView(pieces).mid(from, end - from);
    from = end + 1;
    return piece;
}

// The first character of every word, each followed by a space.
QString wordInitials(const QString& text) {
    QString initials;
    const QChar* s = text.constData();
    const qsizetype n = text.size();
    bool wordStart = true;
    for (qsizetype i = 0; i < n;) {
        if (isWordSeparator(s[i])) {
            wordStart = true;
            ++i;
            continue;
        }
        if (!wordStart) {
            ++i;
            continue;
        }
        qsizetype units = 1;
        charAt(s, n, i, units);
        initials.append(s + i, units);
        initials.append(QLatin1Char(' '));
        wordStart = false;
        i += units;
    }
    return initials;
}

// The usual case: every first letter keeps its length when raised, so it is overwritten in place. False
// (with lowered partly changed) when some word needs the general route.
bool raiseInPlace(QString& lowered, const QString& upperInitials, const QString& lowerInitials) {
    QChar* d = lowered.data();
    const qsizetype m = lowered.size();
    qsizetype upperFrom = 0;
    qsizetype lowerFrom = 0;
    bool wordStart = true;
    for (qsizetype j = 0; j < m; ++j) {
        if (isWordSeparator(d[j])) {
            wordStart = true;
            continue;
        }
        if (!wordStart)
            continue;
        wordStart = false;
        const QStringView upper = nextPiece(upperInitials, upperFrom);
        const QStringView lower = nextPiece(lowerInitials, lowerFrom);
        if (upper.size() != lower.size() || !QStringView(d + j, m - j).startsWith(lower))
            return false;
        std::copy(upper.begin(), upper.end(), d + j);
        j += upper.size() - 1;
    }
    return true;
}

// The general route: each word is its raised first letter followed by the rest of its lowered form.
QString spliceInitials(const QString& text, const QString& lowered, const QString& upperInitials,
                       const QString& lowerInitials, const QLocale& locale) {
    QString out;
    out.reserve(lowered.size() + 8);
    const QChar* s = text.constData();
    const qsizetype n = text.size();
    const QChar* l = lowered.constData();
    const qsizetype m = lowered.size();
    qsizetype upperFrom = 0;
    qsizetype lowerFrom = 0;
    qsizetype original = 0; // the same word in the original text
    for (qsizetype j = 0; j < m;) {
        if (isWordSeparator(l[j])) {
            out.append(l[j]);
            ++j;
            continue;
        }
        while (original < n && isWordSeparator(s[original]))
            ++original;
        qsizetype wordEnd = j;
        while (wordEnd < m && !isWordSeparator(l[wordEnd]))
            ++wordEnd;
        qsizetype originalEnd = original;
        while (originalEnd < n && !isWordSeparator(s[originalEnd]))
            ++originalEnd;
        const QStringView word(l + j, wordEnd - j);
        const QStringView lowerInitial = nextPiece(lowerInitials, lowerFrom);
        out.append(nextPiece(upperInitials, upperFrom));
        if (word.startsWith(lowerInitial)) {
            out.append(word.mid(lowerInitial.size()));
        } else {
            // The first letter lowered differently inside its word; lower the rest of the word on its own.
            qsizetype units = 1;
            charAt(s, n, original, units);
            out.append(locale.toLower(text.mid(original + units, originalEnd - original - units)));
        }
        j = wordEnd;
        original = originalEnd;
    }
    return out;
}

// The Hebrew and Vietnamese converters combine a letter with the marks that follow it, so only there does
// a character's conversion depend on its neighbours.
bool convertsCharByChar(int codePage) {
    return codePage != 1255 && codePage != 1258;
}

QString roundTrip(const QString& text, int codePage) {
    return CodePage::fromAnsi(CodePage::toAnsi(text, codePage), codePage);
}

// The text as it reads back from a file written in the code page. Converting megabytes in one go is slow
// when many characters are missing from the code page, so each distinct character is converted once and
// remembered; for a code page that converts character by character the result is the same. No character comes
// back longer than it went (one unit at most), so the result is written over the text.
QString throughCodePage(QString text, int codePage) {
    if (!convertsCharByChar(codePage))
        return inPieces(std::move(text), [codePage](const QString& piece) { return roundTrip(piece, codePage); });
    enum : quint8 { Unknown, Single, Other };
    std::vector<quint8> state(0x10000, Unknown);
    std::vector<char16_t> single(0x10000);
    QHash<char32_t, QString> other; // astral characters and the rare ones that do not come back as one unit
    QChar* d = text.data();
    const qsizetype n = text.size();
    qsizetype w = 0;
    for (qsizetype i = 0; i < n;) {
        qsizetype units = 1;
        const char32_t c = charAt(d, n, i, units);
        if (units == 1 && state[c] == Unknown) {
            const QString back = roundTrip(QString(d[i]), codePage);
            if (back.size() == 1) {
                state[c] = Single;
                single[c] = back.at(0).unicode();
            } else {
                state[c] = Other;
                other.insert(c, back);
            }
        }
        if (units == 1 && state[c] == Single) {
            d[w++] = QChar(single[c]);
            i += 1;
            continue;
        }
        auto it = other.find(c);
        if (it == other.end())
            it = other.insert(c, roundTrip(QString(d + i, units), codePage));
        if (it.value().size() > units) { // never seen; kept correct by finishing in a new string
            QString out = QStringView(d, w).toString() + it.value();
            out.append(throughCodePage(text.mid(i + units), codePage));
            return out;
        }
        std::copy(it.value().cbegin(), it.value().cend(), d + w);
        w += it.value().size();
        i += units;
    }
    text.truncate(w);
    return text;
}

// Proper case of a whole text: the text is lowered in one call, which keeps the context rules of the locale
// (Greek final sigma). The first characters of the words are raised in one more call on a string of just those
// characters, each followed by a space: case mapping never produces or removes a space, so the pieces stay
// apart. Separators are caseless, so the lowered text has the same words as the original.
QString properCase(const QString& text, const QLocale& locale) {
    QString lowered = locale.toLower(text);
    const QString initials = wordInitials(text);
    if (initials.isEmpty())
        return lowered;
    const QString upperInitials = locale.toUpper(initials);
    const QString lowerInitials = locale.toLower(initials);
    if (raiseInPlace(lowered, upperInitials, lowerInitials))
        return lowered;
    return spliceInitials(text, locale.toLower(text), upperInitials, lowerInitials, locale);
}

// Drops the time zone field ("t") of a time format, with the blanks or empty brackets it leaves behind.
QString withoutTimeZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('t'))
            continue;
        out.append(c);
    }
    out.replace(QLatin1String("()"), QString());
    out.replace(QLatin1String("[]"), QString());
    while (out.contains(QLatin1String("  ")))
        out.replace(QLatin1String("  "), QLatin1String(" "));
    // A zone at either end may leave its separating blank or comma behind.
    const auto loose = [](QChar c) { return c.isSpace() || c == QLatin1Char(','); };
    while (!out.isEmpty() && loose(out.back()))
        out.chop(1);
    while (!out.isEmpty() && loose(out.front()))
        out.remove(0, 1);
    return out;
}

} // namespace

std::span<const DiacriticPair> diacriticsTable() {
    return kDiacritics;
}

QString toLowerCase(QString text, const QLocale& locale) {
    return inPieces(
        std::move(text), [&locale](const QString& piece) { return locale.toLower(piece); });
}

QString toUpperCase(QString text, const QLocale& locale) {
    return inPieces(
        std::move(text), [&locale](const QString& piece) { return locale.toUpper(piece); });
}

QString toProperCase(QString text, const QLocale& locale) {
    return inPieces(
        std::move(text), [&locale](const QString& piece) { return properCase(piece, locale); });
}

bool IsUpperChar(char32_t c) {
    return QChar::toUpper(c) == c;
}

QString ReverseCase(QString text) {
    return mapChars(
        std::move(text), [](char32_t c, qsizetype) { return IsUpperChar(c) ? QChar::toLower(c) : QChar::toUpper(c); });
}

QString ZigZagCase(QString text, bool firstUpper) {
    return mapChars(
        std::move(text),
        [firstUpper](char32_t c, qsizetype position) {
            const bool upper = (position % 2 == 0) == firstUpper;
            return upper ? QChar::toUpper(c) : QChar::toLower(c);
        });
}

QString SentenceCase(QString text, bool keepBig, const QLocale& locale) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    text.truncate(end);
    text.remove(0, begin);
    if (!keepBig)
        text = toLowerCase(std::move(text), locale);

    bool inSentence = false;
    text = mapChars(std::move(text), [&inSentence](char32_t c, qsizetype) {
        if (!inSentence && hasCase(c)) {
            inSentence = true;
            return QChar::toUpper(c);
        }
        if (endsSentence(c))
            inSentence = false;
        return c;
    });
    const QChar last = text.isEmpty() ? QChar() : text.back();
    if (last != QLatin1Char('.') && last != QLatin1Char('!') && last != QLatin1Char('?'))
        text.append(QLatin1Char('.'));
    return text;
}

QString ReverseText(QString text, bool keepLineBreaks) {
    const qsizetype n = text.size();
    QChar* d = text.data();
    std::reverse(d, d + n);
    // A surrogate pair keeps its inner order, or the character would be destroyed: reversed, it reads low, high.
    // Pairing from the left here is pairing from the right of the original, as reading it backwards does.
    for (qsizetype k = 0; k + 1 < n; ++k) {
        if (d[k].isLowSurrogate() && d[k + 1].isHighSurrogate()) {
            std::swap(d[k], d[k + 1]);
            ++k;
        }
    }
    if (keepLineBreaks) {
        // Left to right, and past each repaired pair, exactly as a replace-all of LF CR by CR LF.
        for (qsizetype k = 0; k + 1 < n; ++k) {
            if (d[k] == QLatin1Char('\n') && d[k + 1] == QLatin1Char('\r')) {
                d[k] = QLatin1Char('\r');
                d[k + 1] = QLatin1Char('\n');
                ++k;
            }
        }
    }
    return text;
}

QString RemoveDiacritics(QString text) {
    QChar* d = text.data();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = d[i].unicode();
        if (u < kLookupSize && kLookup[u] != 0)
            d[i] = QChar(kLookup[u]);
    }
    return text;
}

QString RemoveDiacriticsLong(QString text, int codePage) {
    // Same result as writing the text to a file in the code page (plus a closing line break), reading it
    // back line by line, cleaning each line and joining the lines with CR LF; done in memory, over the text.
    text = RemoveDiacritics(throughCodePage(std::move(text), codePage));
    // Every CR or LF alone becomes CR LF: one unit more each, moved into place from the end.
    const qsizetype n = text.size();
    qsizetype alone = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        else if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            ++alone;
    }
    if (alone == 0)
        return text;
    text.resize(n + alone);
    QChar* d = text.data();
    for (qsizetype r = n, w = n + alone; r > 0;) {
        const QChar c = d[--r];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            d[--w] = c;
            continue;
        }
        // A CR read here has no LF after it: that LF would have taken it along.
        if (c == QLatin1Char('\n') && r > 0 && d[r - 1] == QLatin1Char('\r'))
            --r;
        d[--w] = QLatin1Char('\n');
        d[--w] = QLatin1Char('\r');
    }
    return text;
}

QString RemoveDiacriticsLong(QString text) {
    return RemoveDiacriticsLong(std::move(text), CodePage::ansiCodePage());
}

QString dateText(const QDate& date, const QLocale& locale) {
    return locale.toString(date, QLocale::ShortFormat);
}

QString timeText(const QTime& time, const QLocale& locale) {
    return locale.toString(time, withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

} // namespace TextTransformations
