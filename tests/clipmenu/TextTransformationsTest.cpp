#include "clipmenu/TextTransformations.h"
#include "TestSupport.h"
#include "services/CodePage.h"

#include <QHash>

using namespace TestSupport;
using namespace TextTransformations;
using namespace Qt::StringLiterals;

namespace {

// Runs the routine named by a row: "name", "name:locale" (case routines) or "long:codepage".
QString apply(const QString& routine, const QString& text, bool flag) {
    using Routine = QString (*)(const QString&, bool, const QString&);
    static const QHash<QString, Routine> routines = {
        {"lower", [](const QString& t, bool, const QString& a) { return toLowerCase(t, QLocale(a)); }},
        {"upper", [](const QString& t, bool, const QString& a) { return toUpperCase(t, QLocale(a)); }},
        {"proper", [](const QString& t, bool, const QString& a) { return toProperCase(t, QLocale(a)); }},
        {"reverseCase", [](const QString& t, bool, const QString&) { return ReverseCase(t); }},
        {"zigzag", [](const QString& t, bool f, const QString&) { return ZigZagCase(t, f); }},
        {"sentence", [](const QString& t, bool f, const QString& a) { return SentenceCase(t, f, QLocale(a)); }},
        {"reverse", [](const QString& t, bool f, const QString&) { return ReverseText(t, f); }},
        {"diacritics", [](const QString& t, bool, const QString&) { return RemoveDiacritics(t); }},
        {"long", [](const QString& t, bool, const QString& a) { return RemoveDiacriticsLong(t, a.toInt()); }},
    };
    const QString arg = routine.section(QLatin1Char(':'), 1, 1);
    return routines.value(routine.section(QLatin1Char(':'), 0, 0))(text, flag, arg.isEmpty() ? "en_US" : arg);
}

QString with(const char16_t* before, char16_t unit, const char16_t* after) {
    return QString::fromUtf16(before) + QChar(unit) + QString::fromUtf16(after);
}

// Lines as a line reader sees them in a file of the code page: a line ends at CR, LF or CR LF.
QStringList ansiLines(QByteArray bytes, int codePage) {
    QStringList lines;
    for (const QByteArray& line : bytes.replace("\r\n", "\n").replace('\r', '\n').split('\n'))
        lines << CodePage::fromAnsi(line, codePage);
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

// The clipboard menu's text transformations, pure functions of their text.
class TextTransformationsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void transform_data() {
        columns<QString, QString, bool, QString>("routine", "text", "flag", "expected");
        const auto row = [](const char* name, const char* routine, QStringView text, bool flag, QStringView exp) {
            QTest::newRow(name) << QString::fromLatin1(routine) << text.toString() << flag << exp.toString();
        };
        // clang-format off
        row("upper full-string", "upper:de_DE", u"straße", false, u"STRASSE");
        row("upper Turkish dotted i", "upper:tr_TR", u"istanbul", false, u"İSTANBUL");
        row("lower Turkish dotless i", "lower:tr_TR", u"ISTANBUL", false, u"ıstanbul");
        row("proper", "proper", u"  hELLO wORLD  ", false, u"  Hello World  ");
        row("proper every separator", "proper", u"a\tb\nc\vd\fe\rf g\0h"_qs, false, u"A\tB\nC\vD\fE\rF G\0H"_qs);
        row("proper only those", "proper", u"o'neil-SMITH (x) a.b,c 1st", false, u"O'neil-smith (x) A.b,c 1st");
        row("proper Greek final sigma", "proper", u"ΟΔΟΣ ΑΣ", false, u"Οδος Ας");
        row("proper Turkish", "proper:tr_TR", u"istanbul ırmak", false, u"İstanbul Irmak");
        row("proper two-unit lower initial", "proper", u"İSTANBUL x", false, u"İstanbul X");
        row("proper astral", "proper", u"\U00010428\U00010400 \U00010428", false, u"\U00010400\U00010428 \U00010400");
        row("reverse case", "reverseCase", u"Abc1", false, u"aBC1");
        row("reverse case accents", "reverseCase", u"ÚŽasný ß", false, u"úžASNÝ ß");
        row("reverse case astral", "reverseCase", u"\U00010400\U00010428", false, u"\U00010428\U00010400");
        row("reverse case lone surrogate", "reverseCase", with(u"a", 0xD800, u"B"), false, with(u"A", 0xD800, u"b"));
        row("zigzag", "zigzag", u"abc def", true, u"AbC DeF");
        row("zigzag lower first", "zigzag", u"ABC DEF", false, u"aBc dEf");
        row("zigzag astral is one position", "zigzag", u"\U00010428a\U00010400", true, u"\U00010400a\U00010400");
        row("sentence keep big", "sentence", u"hello world. how are you", true, u"Hello world. How are you.");
        row("sentence ends with !", "sentence", u"ÚŽASNÝ den!", true, u"ÚŽASNÝ den!");
        row("sentence lowered", "sentence", u"HELLO. BYE", false, u"Hello. Bye.");
        row("sentence no letters", "sentence", u"123", true, u"123.");
        row("sentence two spaces", "sentence", u"  ", true, u".");
        row("sentence trims blanks only", "sentence", u"   \thi   ", true, u"\tHi.");
        row("sentence colon", "sentence", u"note: this is it", true, u"Note: This is it.");
        row("sentence ends with colon", "sentence", u"end:", true, u"End:.");
        row("sentence marks", "sentence", u"WHAT? yes! ok.", false, u"What? Yes! Ok.");
        row("sentence first cased char", "sentence", u"1. ¿qué?\r\n2) x", true, u"1. ¿Qué?\r\n2) X.");
        row("sentence astral", "sentence", u"\U00010428x", true, u"\U00010400x.");
        row("reverse keeps CR LF", "reverse", u"ab\r\ncd", true, u"dc\r\nba");
        row("reverse raw", "reverse", u"ab\r\ncd", false, u"dc\n\rba");
        row("reverse double break", "reverse", u"x\r\n\r\ny", true, u"y\r\n\r\nx");
        row("reverse lone breaks", "reverse", u"a\nb\r\r\nc", true, u"c\r\n\rb\na");
        row("reverse astral", "reverse", u"a😀b\U00010400", true, u"\U00010400b😀a");
        row("reverse lone surrogate", "reverse", with(u"a", 0xDC00, u"b"), true, with(u"b", 0xDC00, u"a"));
        row("diacritics", "diacritics", u"Příliš žluťoučký kůň", false, u"Prilis zlutoucky kun");
        row("diacritics others kept", "diacritics", u"łśźżą àèù Ñ 😀", false, u"łśźżą àèù Ñ 😀");
        row("diacritics end rows", "diacritics", u"Ţara ţ Ă ă Đ đ", false, u"Tara t A a D d");
        row("long line breaks", "long:1250", u"ab\ncd\ref\r\ngh", false, u"ab\r\ncd\r\nef\r\ngh");
        row("long empty lines", "long:1250", u"a\n\n\r\rb\n\r", false, u"a\r\n\r\n\r\n\r\nb\r\n\r\n");
        row("long outside code page", "long:1252", u"č ž Ü 日本 😀", false, u"? z U ?? ?");
        // Every unit transforms on its own, so a megabyte of repeated units gives the repeated result.
        const auto mb = [](QStringView unit) { return 1'000'000 / unit.size(); };
        const auto big = [&](const char* name, const char* routine, QStringView unit, bool flag, QStringView exp) {
            row(name, routine, unit.toString().repeated(mb(unit)), flag, exp.toString().repeated(mb(unit)));
        };
        big("lower MB", "lower", u"ÁbC dĚf\r\n", false, u"ábc děf\r\n");
        big("upper MB", "upper", u"ÁbC dĚf\r\n", false, u"ÁBC DĚF\r\n");
        big("proper MB", "proper", u"hELLO wORLD\n", false, u"Hello World\n");
        big("reverse case MB", "reverseCase", u"aB1ž \U00010400", false, u"Ab1Ž \U00010428");
        big("zigzag MB", "zigzag", u"ab c", true, u"Ab c");
        big("reverse MB", "reverse", u"ab\r\ncd\U00010428", true, u"\U00010428dc\r\nba");
        big("diacritics MB", "diacritics", u"Příliš kůň\n", false, u"Prilis kun\n");
        big("long MB", "long:1250", u"Příliš\nkůň\r", false, u"Prilis\r\nkun\r\n");
        row("sentence MB", "sentence", u"abc. def? "_qs.repeated(100'000), false,
            u"Abc. Def? "_qs.repeated(100'000).chopped(1));
        // Long texts are converted a piece at a time, in place while a piece keeps its length.
        big("lower Greek final sigma MB", "lower", u"ΟΔΟΣ ", false, u"οδος ");
        row("upper longer after a megabyte", "upper:de_DE", u"abc "_qs.repeated(250'000) + u"straße"_qs, false,
            u"ABC "_qs.repeated(250'000) + u"STRASSE"_qs);
        row("proper word longer than a piece", "proper", QString(100'000, u'x') + u" y"_qs, false,
            u"X"_qs + QString(99'999, u'x') + u" Y"_qs);
        // clang-format on
    }
    void transform() {
        const auto [routine, text, flag] = fetch<QString, QString, bool>("routine", "text", "flag");
        QTEST(apply(routine, text, flag), "expected");
    }

    void diacriticsTableMatchesCodePage1250() {
        const QByteArray bytes =
            QByteArray::fromHex("9E9AE8F8EF9DF28E8AC8D8CF8DD2E1E9ECEDF3FAF9FDC1C9CCCDD3DAD9DDC0C2C4C5C6"
                                "C7CACBCCCED0D1D4D5D6DBDCE0E2E3E4E5E6E7E8EAEBEEF0F1F4F5F6FBFCFEC3DE");
        const QString accented = CodePage::fromAnsi(bytes, 1250);
        const auto table = diacriticsTable();
        QCOMPARE(qsizetype(table.size()), 68);
        QCOMPARE(accented.size(), 68);
        QString bases;
        for (qsizetype i = 0; i < accented.size(); ++i) {
            QCOMPARE(QChar(table[i].accented), accented.at(i));
            // The base letter is the letter without its marks; D with stroke has no decomposition.
            const QChar plain = QString(accented.at(i)).normalized(QString::NormalizationForm_D).at(0);
            bases += plain == QChar(0x110) ? QChar(u'D') : plain == QChar(0x111) ? QChar(u'd') : plain;
        }
        QCOMPARE(RemoveDiacritics(accented), bases);
    }

    void longPathMatchesTwoFileRoute() {
        // The route through two scratch files, line by line at the byte level; the in-memory route must agree.
        QString text;
        const QStringList pieces = {u"Příliš žluťoučký kůň"_qs,     "\r\n", "\n", "\r", u"ĂţŐű ł 日本 😀 ｶﾅ"_qs, "\n\r",
                                    u" Tiếng Việt e\u0301 שָׁלוֹם "_qs};
        for (int i = 0; text.size() <= 4 * LongTextLength; ++i) // longer than a piece of the conversion
            text += pieces.at(i % pieces.size()) + pieces.at(i * 7 % pieces.size());
        text += u"\r"_qs;
        for (const int codePage : {1250, 1252, 932, 1255, 1258}) {
            QByteArray cleaned;
            for (const QString& line : ansiLines(CodePage::toAnsi(text, codePage) + "\r\n", codePage))
                cleaned += CodePage::toAnsi(RemoveDiacritics(line), codePage) + "\r\n";
            QCOMPARE(RemoveDiacriticsLong(text, codePage), ansiLines(cleaned, codePage).join(u"\r\n"_qs));
        }
    }

    void timeText_data() {
        columns<QString, QString, QString>("locale", "date", "time");
        // clang-format off
        QTest::newRow("C") << "C" << "7 Mar 2024" << "14:03:09";
        QTest::newRow("en_US") << "en_US" << "3/7/24" << "2:03:09 PM";
        QTest::newRow("de_DE") << "de_DE" << "07.03.24" << "14:03:09";
        QTest::newRow("zone in brackets") << "ca_ES" << "7/3/24" << "14:03:09";
        QTest::newRow("zone after a comma") << "be_BY" << "7.03.24" << "14:03:09";
        // clang-format on
    }
    void timeText() {
        QFETCH(QString, locale);
        QTEST(dateText(QDate(2024, 3, 7), QLocale(locale)), "date");
        QTEST(TextTransformations::timeText(QTime(14, 3, 9), QLocale(locale)), "time");
    }
};

ZP_TEST_CLASS(TextTransformationsTest)
#include "TextTransformationsTest.moc"
