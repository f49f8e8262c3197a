#include "ClipmenuTest.h"

#include "ClipboardTextCommands.h"
#include "Messages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>

using Command = ClipboardTextCommands::Command;
using namespace Qt::StringLiterals;

namespace {

const QString kTooShort = QStringLiteral("Text is too short or it does not contain any letters!");

} // namespace

void ClipmenuTest::clipboardCommand_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("picture"); // a picture on the clipboard instead of the text
    QTest::addColumn<bool>("keepBig");
    QTest::addColumn<bool>("refused"); // the clipboard must stay empty
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("message"); // "kind|text" of the one box shown, or ""
    const QString c2 = QString::fromUtf16(u"č\n");
    QTest::newRow("lower") << "mnuToLowerCase" << "HeLLo ÚŽ" << false << true << false << "hello úž" << "";
    QTest::newRow("upper") << "mnuToUpperCase" << "abc" << false << true << false << "ABC" << "";
    QTest::newRow("proper") << "mnuProperCase" << "hELLO wORLD" << false << true << false << "Hello World" << "";
    QTest::newRow("reverse") << "mnuReverse" << "ab\r\ncd" << false << true << false << "dc\r\nba" << "";
    QTest::newRow("reverse empty") << "mnuReverse" << "" << false << true << false << "" << "";
    QTest::newRow("picture to lower") << "mnuToLowerCase" << "" << true << true << false << "" << "";
    QTest::newRow("reverse case") << "mnuReverseCase" << "Abc1" << false << true << false << "aBC1" << "";
    QTest::newRow("zigzag") << "mnuZigZagCase" << "abc def" << false << true << false << "AbC DeF" << "";
    QTest::newRow("sentences lowered") << "mnuSentences" << "HELLO. BYE" << false << false << false << "Hello. Bye."
                                       << "";
    QTest::newRow("sentences kept") << "mnuSentences" << "HELLO. BYE" << false << true << false << "HELLO. BYE."
                                    << "";
    QTest::newRow("sentences two spaces") << "mnuSentences" << "  " << false << true << false << "." << "";
    QTest::newRow("sentences empty") << "mnuSentences" << "" << false << true << true << "" << "excl|" + kTooShort;
    QTest::newRow("zigzag one space") << "mnuZigZagCase" << " " << false << true << true << "" << "excl|" + kTooShort;
    QTest::newRow("reverse case picture") << "mnuReverseCase" << "" << true << true << true << ""
                                          << "excl|" + kTooShort;
    QTest::newRow("diacritics empty") << "mnuRemoveDiacritics" << "" << false << true << true << ""
                                      << "inf|Clipboard is empty!";
    QTest::newRow("diacritics short") << "mnuRemoveDiacritics" << c2.repeated(10000) << false << true << false
                                      << u"c\n"_qs.repeated(10000) << "";
    // One unit more takes the long path: CR LF breaks, and c with caron is not in code page 1252.
    QTest::newRow("diacritics long") << "mnuRemoveDiacritics" << c2.repeated(10000) + "x" << false << true << false
                                     << u"?\r\n"_qs.repeated(10000) + "x" << "";
}

void ClipmenuTest::clipboardCommand() {
    QFETCH(QString, menu);
    QFETCH(QString, before);
    QFETCH(bool, picture);
    QFETCH(bool, keepBig);
    QFETCH(bool, refused);
    QFETCH(QString, after);
    QFETCH(QString, message);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (picture) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        clipboard->setImage(image);
    } else {
        clipboard->setText(before);
    }
    bool pasted = false;
    ClipboardTextCommands commands(clipboard, [keepBig] { return keepBig; }, [&pasted] { pasted = true; });
    const std::optional<Command> command = ClipboardTextCommands::commandForMenu(menu);
    QVERIFY(command);
    QCOMPARE(ClipboardTextCommands::menuName(*command), menu);
    Messages::takeShown();
    commands.run(*command);

    const QMimeData* data = clipboard->mimeData();
    if (refused) {
        QVERIFY(!data || data->formats().isEmpty());
    } else {
        QVERIFY(data && !data->hasImage());
        QCOMPARE(clipboard->text(), after);
    }
    const QList<Messages::ShownBox> shown = Messages::takeShown();
    if (message.isEmpty()) {
        QVERIFY(shown.isEmpty());
    } else {
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind + u'|' + shown.first().text, message);
    }
    QVERIFY(!pasted);
}

void ClipmenuTest::dateAndTimeThenPaste() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    QStringList seenByPaste;
    ClipboardTextCommands commands(clipboard, [] { return true; }, [&] { seenByPaste << clipboard->text(); });
    commands.setClock([] { return QDateTime(QDate(2024, 3, 7), QTime(14, 3, 9)); });

    clipboard->setImage(QImage(4, 4, QImage::Format_RGB32));
    commands.run(Command::CopyDate);
    QVERIFY(!clipboard->mimeData()->hasImage());
    QCOMPARE(clipboard->text(), u"07.03.24"_qs);
    commands.run(Command::CopyTime);
    QCOMPARE(clipboard->text(), u"14:03:09"_qs);
    // The paste runs once per command, after the text is on the clipboard.
    QCOMPARE(seenByPaste, QStringList({u"07.03.24"_qs, u"14:03:09"_qs}));
    QVERIFY(Messages::takeShown().isEmpty());
}

QTEST_MAIN(ClipmenuTest)
