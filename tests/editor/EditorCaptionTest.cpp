#include "editor/EditorCaption.h"
#include "TestSupport.h"
#include "editor/RichTextTools.h"

#include <QLocale>
#include <QtTest>

using namespace TestSupport;

// The pure rules of the editor: captions handed back to the row, counter texts, the size box's value.
class EditorCaptionTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::system()); }

    void caption_data() {
        columns<QString, bool, QString, QString, QString, bool>("mode", "custom", "name", "text", "caption", "simple");
        const QString hundred(100, QLatin1Char('x'));
        const QString crlfLong = QStringLiteral("\r\n") + QString(120, QLatin1Char('y'));
        // clang-format off
        QTest::newRow("empty text: simple, named after the clip") << "txt" << false << "" << "" << "Clip 7" << true;
        QTest::newRow("exactly 100 characters stay simple") << "txt" << false << "" << hundred << hundred << true;
        QTest::newRow("101 characters: the first 16")
            << "txt" << false << "" << hundred + "z" << hundred.left(16) << false;
        QTest::newRow("first line before CR LF") << "txt" << false << "" << "abc\r\ndef\r\nghi" << "abc" << false;
        QTest::newRow("first line cut to 16") << "txt" << false << "" << "0123456789abcdefXYZ\r\nmore"
            << "0123456789abcdef" << false;
        QTest::newRow("leading CR LF, short") << "txt" << false << "" << "\r\nabc" << "Clip 7" << false;
        QTest::newRow("leading CR LF, long: CR LF kept")
            << "txt" << false << "" << crlfLong << crlfLong.left(16) << false;
        QTest::newRow("blank custom name") << "txt" << true << "   " << "text" << "Clip 7" << false;
        QTest::newRow("custom name wins") << "txt" << true << "Mine" << "text" << "Mine" << false;
        QTest::newRow("rich, 16 characters whole") << "rtf" << false << "" << "0123456789abcdef"
            << "(RTF) 0123456789abcdef" << false;
        QTest::newRow("rich, 17 characters cut") << "rtf" << false << "" << "0123456789abcdefg"
            << "(RTF) 0123456789abcdef" << false;
        QTest::newRow("rich, blank name gets the prefix") << "rtf" << true << " " << "x" << "(RTF) Clip 7" << false;
        QTest::newRow("rich, prefixed name kept") << "rtf" << true << "(RTF) Letter" << "x" << "(RTF) Letter" << false;
        QTest::newRow("picture, prefixed once") << "img" << true << "(IMG)Logo" << "" << "(IMG)Logo" << false;
        QTest::newRow("picture, cut to 94 with prefix") << "img" << true << hundred << ""
                                                        << "(IMG) " + hundred.left(88) << false;
        // clang-format on
    }
    void caption() {
        const auto [mode, custom, name, text] =
            fetch<QString, bool, QString, QString>("mode", "custom", "name", "text");
        const EditorCaption::Caption result = EditorCaption::caption(mode, custom, name, text, 7);
        QTEST(result.text, "caption");
        QTEST(result.simple, "simple");
    }

    void counters() {
        QCOMPARE(EditorCaption::plainCounter(0), QStringLiteral("Characters: 0 / 100 000  "));
        QCOMPARE(EditorCaption::richCounter(0), QStringLiteral("Chars: 0 / 100 000  "));
        QCOMPARE(EditorCaption::plainCounter(1234), QStringLiteral("Chars: 1,234 / 100 000  "));
        QCOMPARE(EditorCaption::richCounter(100000), QStringLiteral("Chars: 100,000 / 100 000  "));
        QCOMPARE(EditorCaption::openingCounter("rtf", 1234), QStringLiteral("Chars: 1,234 /100 000  "));
        QCOMPARE(EditorCaption::openingCounter("txt", 0), QStringLiteral("Chars: 0 / 100 000  "));
        QCOMPARE(EditorCaption::openingCounter("img", 5), QStringLiteral("Chars: 0 / 100 000  "));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(EditorCaption::formatCount(1234567), QStringLiteral("1.234.567"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void sizeFromText_data() {
        columns<QString, int>("text", "size");
        QTest::newRow("0") << "0" << 64;
        QTest::newRow("72") << "72" << 64;
        QTest::newRow("letters") << "abc" << 64;
        QTest::newRow("10.6") << "10.6" << 11;
        QTest::newRow("10.5 to even") << "10.5" << 10;
        QTest::newRow("11.5 to even") << "11.5" << 12;
        QTest::newRow("64") << "64" << 64;
        QTest::newRow("negative is refused") << "-5" << -5;
    }
    void sizeFromText() {
        QFETCH(QString, text);
        QTEST(RichTextTools::sizeFromText(text), "size");
    }
};

ZP_TEST_CLASS(EditorCaptionTest)
#include "EditorCaptionTest.moc"
