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
// mappings never move a character into or out of the BMP, so the result is written over a copy in place.
template <typename Rule> QString mapChars(const QString& text, Rule rule) {
    QString out = text;
    QChar* d = out.data();
    const qsizetype n = out.size();
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
    return out;
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
// remembered; for a code page that converts character by character the result is the same.
QString throughCodePage(const QString& text, int codePage) {
    if (!convertsCharByChar(codePage))
        return roundTrip(text, codePage);
    enum : quint8 { Unknown, Single, Other };
    std::vector<quint8> state(0x10000, Unknown);
    std::vector<char16_t> single(0x10000);
    QHash<char32_t, QString> other; // astral characters and the rare ones that do not come back as one unit
    const QChar* s = text.constData();
    const qsizetype n = text.size();
    QString out;
    out.reserve(n);
    for (qsizetype i = 0; i < n;) {
        qsizetype units = 1;
        const char32_t c = charAt(s, n, i, units);
        if (units == 1 && state[c] == Unknown) {
            const QString back = roundTrip(QString(s[i]), codePage);
            if (back.size() == 1) {
                state[c] = Single;
                single[c] = back.at(0).unicode();
            } else {
                state[c] = Other;
                other.insert(c, back);
            }
        }
        if (units == 1 && state[c] == Single) {
            out.append(QChar(single[c]));
        } else {
            auto it = other.find(c);
            if (it == other.end())
                it = other.insert(c, roundTrip(QString(s + i, units), codePage));
            out.append(it.value());
        }
        i += units;
    }
    return out;
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

QString toLowerCase(const QString& text, const QLocale& locale) {
    return locale.toLower(text);
}

QString toUpperCase(const QString& text, const QLocale& locale) {
    return locale.toUpper(text);
}

QString toProperCase(const QString& text, const QLocale& locale) {
    // The whole text is lowered in one call, which keeps the context rules of the locale (Greek final
    // sigma). The first characters of the words are raised in one more call on a string of just those
    // characters, each followed by a space: case mapping never produces or removes a space, so the pieces
    // stay apart. Separators are caseless, so the lowered text has the same words as the original.
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

bool IsUpperChar(char32_t c) {
    return QChar::toUpper(c) == c;
}

QString ReverseCase(const QString& text) {
    return mapChars(
        text, [](char32_t c, qsizetype) { return IsUpperChar(c) ? QChar::toLower(c) : QChar::toUpper(c); });
}

QString ZigZagCase(const QString& text, bool firstUpper) {
    return mapChars(
        text,
        [firstUpper](char32_t c, qsizetype position) {
            const bool upper = (position % 2 == 0) == firstUpper;
            return upper ? QChar::toUpper(c) : QChar::toLower(c);
        });
}

QString SentenceCase(const QString& text, bool keepBig, const QLocale& locale) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    QString trimmed = text.mid(begin, end - begin);
    if (!keepBig)
        trimmed = locale.toLower(trimmed);

    bool inSentence = false;
    QString out = mapChars(trimmed, [&inSentence](char32_t c, qsizetype) {
        if (!inSentence && hasCase(c)) {
            inSentence = true;
            return QChar::toUpper(c);
        }
        if (endsSentence(c))
            inSentence = false;
        return c;
    });
    const QChar last = out.isEmpty() ? QChar() : out.back();
    if (last != QLatin1Char('.') && last != QLatin1Char('!') && last != QLatin1Char('?'))
        out.append(QLatin1Char('.'));
    return out;
}

QString ReverseText(const QString& text, bool keepLineBreaks) {
    const qsizetype n = text.size();
    QString out(n, Qt::Uninitialized);
    const QChar* s = text.constData();
    QChar* d = out.data();
    qsizetype w = 0;
    for (qsizetype i = n; i > 0;) {
        const QChar c = s[i - 1];
        if (c.isLowSurrogate() && i >= 2 && s[i - 2].isHighSurrogate()) {
            // A surrogate pair keeps its inner order, or the character would be destroyed.
            d[w++] = s[i - 2];
            d[w++] = c;
            i -= 2;
        } else {
            d[w++] = c;
            --i;
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
    return out;
}

QString RemoveDiacritics(const QString& text) {
    QString out = text;
    QChar* d = out.data();
    const qsizetype n = out.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = d[i].unicode();
        if (u < kLookupSize && kLookup[u] != 0)
            d[i] = QChar(kLookup[u]);
    }
    return out;
}

QString RemoveDiacriticsLong(const QString& text, int codePage) {
    // Same result as writing the text to a file in the code page (plus a closing line break), reading it
    // back line by line, cleaning each line and joining the lines with CR LF; done in memory in one pass.
    const QString cleaned = RemoveDiacritics(throughCodePage(text, codePage));
    const QChar* s = cleaned.constData();
    const qsizetype n = cleaned.size();
    QString out;
    out.reserve(n + n / 32);
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        out.append(QStringView(s + lineStart, i - lineStart));
        out.append(QLatin1String("\r\n"));
        if (c == QLatin1Char('\r') && i + 1 < n && s[i + 1] == QLatin1Char('\n'))
            ++i;
        lineStart = i + 1;
    }
    out.append(QStringView(s + lineStart, n - lineStart));
    return out;
}

QString RemoveDiacriticsLong(const QString& text) {
    return RemoveDiacriticsLong(text, CodePage::ansiCodePage());
}

QString dateText(const QDate& date, const QLocale& locale) {
    return locale.toString(date, QLocale::ShortFormat);
}

QString timeText(const QTime& time, const QLocale& locale) {
    return locale.toString(time, withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

} // namespace TextTransformations
