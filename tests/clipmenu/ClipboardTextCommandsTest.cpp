#include "clipmenu/ClipboardTextCommands.h"
#include "TestSupport.h"
#include "platform/QtClipboard.h"
#include "services/Messages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

using Command = ClipboardTextCommands::Command;
using namespace TestSupport;
using namespace Qt::StringLiterals;

// The clipboard menu's commands on the clipboard: which transformation each runs, what it refuses, the paste
// after the date and time. They run in a German locale, restored afterwards.
class ClipboardTextCommandsTest final : public QObject {
    Q_OBJECT
    const QLocale m_locale;

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("de_DE"))); }
    void cleanupTestCase() { QLocale::setDefault(m_locale); }

    void clipboardCommand_data() {
        // before: "<picture>" puts a picture there instead; message: "kind|text" of the box a refusal shows
        columns<QString, QString, bool, QString, QString>("menu", "before", "keepBig", "after", "message");
        const QString tooShort = u"excl|Text is too short or it does not contain any letters!"_qs;
        const QString c2 = u"č\n"_qs;
        // clang-format off
        QTest::newRow("lower") << "mnuToLowerCase" << "HeLLo ÚŽ" << true << "hello úž" << "";
        QTest::newRow("upper") << "mnuToUpperCase" << "abc" << true << "ABC" << "";
        QTest::newRow("proper") << "mnuProperCase" << "hELLO wORLD" << true << "Hello World" << "";
        QTest::newRow("reverse") << "mnuReverse" << "ab\r\ncd" << true << "dc\r\nba" << "";
        QTest::newRow("picture to lower") << "mnuToLowerCase" << "<picture>" << true << "" << "";
        QTest::newRow("reverse case") << "mnuReverseCase" << "Abc1" << true << "aBC1" << "";
        QTest::newRow("zigzag") << "mnuZigZagCase" << "abc def" << true << "AbC DeF" << "";
        QTest::newRow("sentences lowered") << "mnuSentences" << "HELLO. BYE" << false << "Hello. Bye." << "";
        QTest::newRow("sentences kept") << "mnuSentences" << "HELLO. BYE" << true << "HELLO. BYE." << "";
        QTest::newRow("sentences two spaces") << "mnuSentences" << "  " << true << "." << "";
        QTest::newRow("sentences empty") << "mnuSentences" << "" << true << "" << tooShort;
        QTest::newRow("zigzag one space") << "mnuZigZagCase" << " " << true << "" << tooShort;
        QTest::newRow("reverse case picture") << "mnuReverseCase" << "<picture>" << true << "" << tooShort;
        QTest::newRow("diacritics empty") << "mnuRemoveDiacritics" << "" << true << "" << "inf|Clipboard is empty!";
        QTest::newRow("diacritics short") << "mnuRemoveDiacritics" << c2.repeated(10000) << true << u"c\n"_qs.repeated(10000) << "";
        // One unit more takes the long path: CR LF breaks, and c with caron is not in code page 1252.
        QTest::newRow("diacritics long") << "mnuRemoveDiacritics" << c2.repeated(10000) + "x" << true << u"?\r\n"_qs.repeated(10000) + "x" << "";
        // clang-format on
    }
    void clipboardCommand() {
        const auto [menu, before, keepBig, message] =
            fetch<QString, QString, bool, QString>("menu", "before", "keepBig", "message");
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (before == u"<picture>"_qs)
            clipboard->setImage(QImage(8, 8, QImage::Format_RGB32));
        else
            clipboard->setText(before);
        bool pasted = false;
        QtClipboard service;
        ClipboardTextCommands commands(
            service, [keepBig = keepBig] { return keepBig; }, [&pasted] { pasted = true; });
        const std::optional<Command> command = ClipboardTextCommands::commandForMenu(menu);
        QVERIFY(command);
        QCOMPARE(ClipboardTextCommands::menuName(*command), menu);
        Messages::takeShown();
        commands.run(*command);
        const QMimeData* data = clipboard->mimeData();
        QStringList shown;
        for (const Messages::ShownBox& box : Messages::takeShown())
            shown << box.kind + u'|' + box.text;
        QCOMPARE(shown, message.isEmpty() ? QStringList() : QStringList{message});
        if (message.isEmpty()) {
            QVERIFY(data && !data->hasImage());
            QTEST(clipboard->text(), "after");
        } else {
            QVERIFY(!data || data->formats().isEmpty());
        }
        QVERIFY(!pasted);
    }

    // A clipboard holding 100 MB of text (100 million characters): each kind of rewrite is done, whole. The memory
    // it takes is what bench/bench_clipboard_memory prints.
    void hundredMegabytes_data() {
        // unit: the text repeats it; after: the result repeats it
        columns<QString, QString, QString>("menu", "unit", "after");
        QTest::newRow("lower") << "mnuToLowerCase" << u"ŽLUŤOUČKÝ Kůň\r\n"_qs << u"žluťoučký kůň\r\n"_qs;
        QTest::newRow("proper") << "mnuProperCase" << u"žLUŤOUČKÝ kůň\r\n"_qs << u"Žluťoučký Kůň\r\n"_qs;
        QTest::newRow("sentences") << "mnuSentences" << u"ab. cd!"_qs << u"Ab. Cd!"_qs;
        QTest::newRow("diacritics") << "mnuRemoveDiacritics" << u"Žádné úžasné\n"_qs << u"Zadne uzasne\r\n"_qs;
        QTest::newRow("reverse") << "mnuReverse" << u"\r\nab"_qs << u"ba\r\n"_qs;
    }
    void hundredMegabytes() {
        const auto [menu, unit, after] = fetch<QString, QString, QString>("menu", "unit", "after");
        QClipboard* clipboard = QGuiApplication::clipboard();
        const qsizetype count = 100'000'000 / unit.size();
        clipboard->setText(unit.repeated(count));
        QtClipboard service;
        ClipboardTextCommands commands(
            service, [] { return true; }, nullptr);
        commands.run(*ClipboardTextCommands::commandForMenu(menu));
        const QString result = clipboard->text();
        clipboard->clear();
        QCOMPARE(result.size(), after.size() * count);
        // Compared piece by piece: a second string of 100 MB would double what the test needs.
        for (qsizetype i = 0; i + 1 < count; ++i)
            if (QStringView(result).sliced(i * after.size(), after.size()) != after)
                QFAIL(qPrintable(u"differs at repetition %1"_qs.arg(i)));
    }

    void dateAndTimeThenPaste() {
        QClipboard* clipboard = QGuiApplication::clipboard();
        QStringList seenByPaste;
        QtClipboard service;
        ClipboardTextCommands commands(
            service, [] { return true; }, [&] { seenByPaste << clipboard->text(); });
        commands.setClock([] { return QDateTime(QDate(2024, 3, 7), QTime(14, 3, 9)); });
        clipboard->setImage(QImage(4, 4, QImage::Format_RGB32));
        commands.run(Command::CopyDate);
        QVERIFY(!clipboard->mimeData()->hasImage());
        commands.run(Command::CopyTime);
        // The paste runs once per command, after the text is on the clipboard.
        QCOMPARE(seenByPaste, QStringList({u"07.03.24"_qs, u"14:03:09"_qs}));
        QVERIFY(Messages::takeShown().isEmpty());
    }
};

ZP_TEST_CLASS(ClipboardTextCommandsTest)
#include "ClipboardTextCommandsTest.moc"
