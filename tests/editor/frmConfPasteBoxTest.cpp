#include "editor/frmConfPasteBox.h"
#include "TestSupport.h"
#include "editor/PictureArea.h"
#include "imaging/ImageEffects.h"
#include "project/ClipTable.h"
#include "project/EditorHandOver.h"
#include "richtext/RichTextFormat.h"
#include "services/FileDialogs.h"
#include "services/Messages.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>
#include <QtTest>

using namespace TestSupport;

namespace {
const QByteArray BoldRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 plain \\b bold\\b0  end\\par}";
}

// The editor window on the offscreen platform: modes and their questions, hand-back, text tools, files.
class frmConfPasteBoxTest final : public QObject {
    Q_OBJECT

    struct Fixture : SettingsFolder {
        ClipTable table;
        EditorHandOver handOver;
        ImageEffects effects;
        QPointer<frmConfPasteBox> editor;
        bool closed = false;
        // An editor left open refers to this fixture's table and hand-over: it goes with them.
        ~Fixture() { delete editor; }

        // Opens the editor on clip n as the main window does; a result goes back into the table.
        frmConfPasteBox* open(int n) {
            handOver.handOut(table, n);
            editor = frmConfPasteBox::open(
                {handOver, table, settings, effects, {"Serif", "Sans"}, 15, 15, [] { return false; }});
            QObject::connect(editor, &frmConfPasteBox::handedBack, [this](int i) { handOver.takeBack(table, i); });
            QObject::connect(editor, &frmConfPasteBox::closed, [this] { closed = true; });
            return editor;
        }
        template <typename T> T* find(const char* name) { return editor->findChild<T*>(QString::fromLatin1(name)); }
        QPlainTextEdit* plain() { return find<QPlainTextEdit>("txtClipTXT"); }
        QTextEdit* rich() { return find<QTextEdit>("txtClipRTF"); }
        void setRtfClip(int n, const QByteArray& rtf) {
            table.setClip(n, {ClipTable::Rtf, QStringLiteral("(RTF) Letter"), QString::fromLatin1(rtf)});
        }
    };

private Q_SLOTS:
    void init() {
        Messages::setUnattended(true);
        Messages::takeShown();
    }

    void modeSwitching_data() {
        columns<QString, int, int, QString, QString>("from", "button", "answer", "question", "mode");
        const QString formatting = "You will lose all your formatting. Do you want to continue?";
        const QString current = "You will lose all your current data! Do you really want to continue?";
        // clang-format off
        QTest::newRow("rtf to txt, no") << "rtf" << 6 << Messages::No << formatting << "rtf";
        QTest::newRow("rtf to txt, yes") << "rtf" << 6 << Messages::Yes << formatting << "txt";
        QTest::newRow("txt to rtf, no question") << "txt" << 7 << 0 << "" << "rtf";
        QTest::newRow("txt to img, no") << "txt" << 8 << Messages::No << current << "txt";
        QTest::newRow("rtf to img, yes") << "rtf" << 8 << Messages::Yes << current << "img";
        QTest::newRow("img to txt, yes") << "img" << 6 << Messages::Yes
            << "You will lose all your picture data. Do you want to continue?" << "txt";
        QTest::newRow("img to rtf, no") << "img" << 7 << Messages::No
            << "You will lose your picture data. Do you want to continue?" << "img";
        QTest::newRow("same mode: nothing") << "txt" << 6 << 0 << "" << "txt";
        // clang-format on
    }
    void modeSwitching() {
        const auto [from, answer, mode, button, question] =
            fetch<QString, int, QString, int, QString>("from", "answer", "mode", "button", "question");
        Fixture f;
        if (from == "rtf")
            f.setRtfClip(3, BoldRtf);
        else if (from == "img")
            f.table.setClip(3, {ClipTable::Img, "(IMG) Pic", "", uniform(4, 4, Qt::red)});
        else
            f.table.setClip(3, {ClipTable::TxtLong, "Long", "line 1\r\nline 2"});
        frmConfPasteBox* editor = f.open(3);
        QCOMPARE(editor->EditorMode, from);
        if (answer)
            Messages::setNextAnswer(answer);
        editor->toolbarButton(button)->trigger();
        const QList<Messages::ShownBox> shown = Messages::takeShown();
        QCOMPARE(shown.isEmpty() ? QString() : shown.first().text, question);
        QCOMPARE(editor->EditorMode, mode);
        // The button of the mode in force is the pressed one, also after a declined question.
        const int pressed = mode == "txt" ? 6 : (mode == "rtf" ? 7 : 8);
        for (int i = 6; i <= 8; ++i)
            QCOMPARE(editor->toolbarButton(i)->isChecked(), i == pressed);
        if (from == "rtf" && mode == "txt")
            QCOMPARE(f.plain()->toPlainText(), QStringLiteral("plain bold end"));
        if (from == "rtf" && mode == "rtf")
            QCOMPARE(f.rich()->toPlainText(), QStringLiteral("plain bold end"));
        if (from == "txt" && mode == "rtf")
            QCOMPARE(f.rich()->toPlainText(), QStringLiteral("line 1\nline 2"));
        // Only the text tools of the mode are offered.
        QCOMPARE(editor->toolbar2Button(6)->isVisible(), mode == "rtf");
        QCOMPARE(editor->toolbar2Button(12)->isVisible(), mode != "img");
        QCOMPARE(editor->toolbar2Button(22)->isVisible(), mode == "img");
    }

    void handBack() {
        Fixture f;
        frmConfPasteBox* editor = f.open(5);
        QCOMPARE(editor->panelText(2), QStringLiteral("Chars: 0 / 100 000  "));
        QCOMPARE(f.find<QComboBox>("cmbFont")->count(), 2); // the font list
        QTest::keyClicks(f.plain(), "first");
        QTest::keyClick(f.plain(), Qt::Key_Return);
        QTest::keyClicks(f.plain(), "second");
        QCOMPARE(editor->panelText(2), QStringLiteral("Chars: 13 / 100 000  "));
        QCOMPARE(editor->panelText(3), QStringLiteral("Current line: 2  "));
        QCOMPARE(editor->panelText(4), QStringLiteral("Total lines:2  "));
        QTest::keyClick(f.plain(), Qt::Key_F1);
        QTRY_VERIFY(!f.editor);
        QVERIFY(f.closed);
        QVERIFY(!f.handOver.EditorOpen);
        QCOMPARE(f.table.clip(5).format, ClipTable::TxtLong);
        QCOMPARE(f.table.clip(5).text, QStringLiteral("first"));
        QCOMPARE(f.table.clip(5).data, QStringLiteral("first\r\nsecond"));
        QCOMPARE(f.settings.ReadSetting("Zolpane", "DefaultFontSize"), QStringLiteral("9"));

        // While the editor is open, another row's configure button (a hand-out) and properties button (which
        // takes EditClipNumber) leave that row alone and the edit goes back to the clip it came from.
        f.open(5);
        f.handOver.handOut(f.table, 7);
        f.handOver.EditClipNumber = 9;
        QCOMPARE(f.table.clip(7).text, ClipTable::EmptyClipText);
        f.plain()->setPlainText("edited");
        f.editor->SaveAndClose();
        QCOMPARE(f.table.clip(5).data, QStringLiteral("edited"));
        QCOMPARE(f.table.clip(9).text, ClipTable::EmptyClipText);

        // F2 hands nothing back.
        f.open(5);
        QTest::keyClicks(f.plain(), "changed");
        QTest::keyClick(f.plain(), Qt::Key_F2);
        QTRY_VERIFY(!f.editor);
        QCOMPARE(f.table.clip(5).data, QStringLiteral("edited"));
    }

    void richTextRoundTrip() {
        Fixture f;
        f.setRtfClip(2, BoldRtf);
        frmConfPasteBox* editor = f.open(2);
        QCOMPARE(editor->panelText(2), QStringLiteral("Chars: 14 /100 000  "));
        QCOMPARE(f.find<QLineEdit>("txtCustomName")->text(), QStringLiteral("Letter"));
        QTest::keyClicks(f.rich(), "!");
        QCOMPARE(editor->panelText(2), QStringLiteral("Chars: 15 / 100 000  "));
        editor->SaveAndClose();
        QCOMPARE(f.table.clip(2).format, ClipTable::Rtf);
        QCOMPARE(f.table.clip(2).text, QStringLiteral("(RTF) Letter"));
        f.open(2);
        QCOMPARE(f.rich()->toPlainText(), QStringLiteral("plain bold end!"));
        QTextCursor cursor(f.rich()->document());
        cursor.setPosition(8);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
        f.editor->DiscardAndClose();
    }

    void formattingButtons() {
        Fixture f;
        f.setRtfClip(1, BoldRtf);
        frmConfPasteBox* editor = f.open(1);
        QTextEdit* rich = f.rich();
        QTextCursor cursor = rich->textCursor();
        cursor.setPosition(6); // "bold"
        cursor.setPosition(10, QTextCursor::KeepAnchor);
        rich->setTextCursor(cursor);
        QVERIFY(editor->toolbar2Button(6)->isChecked());
        cursor.setPosition(0, QTextCursor::KeepAnchor); // partly bold
        rich->setTextCursor(cursor);
        QVERIFY(!editor->toolbar2Button(6)->isChecked());

        rich->selectAll();
        editor->toolbar2Button(9)->trigger();
        QTextBlock block = rich->document()->begin();
        QVERIFY(richtext::isBullet(block));
        QCOMPARE(richtext::twips(block.blockFormat(), richtext::LeftIndentTwips), 400);
        QVERIFY(editor->toolbar2Button(9)->isChecked());
        editor->toolbar2Button(9)->trigger();
        block = rich->document()->begin();
        QVERIFY(!richtext::isBullet(block));
        QCOMPARE(richtext::twips(block.blockFormat(), richtext::LeftIndentTwips), 0);

        editor->toolbar2Button(16)->trigger();
        QCOMPARE(rich->document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        editor->RestartRTFbox();
        QVERIFY(editor->toolbar2Button(14)->isChecked());
        QVERIFY(!editor->toolbar2Button(15)->isChecked() && !editor->toolbar2Button(16)->isChecked());
        QCOMPARE(rich->document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        cursor.setPosition(8);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Normal));

        // Colour: cancel changes nothing; font: cancel applies the values the dialog opened with.
        rich->selectAll();
        frmConfPasteBox::chooseColor = [](const QColor&) { return QColor(); };
        editor->toolbar2Button(11)->trigger();
        QVERIFY(!rich->textCursor().charFormat().foreground().color().isValid() ||
                rich->textCursor().charFormat().foreground().color() != Qt::red);
        frmConfPasteBox::chooseColor = [](const QColor&) { return QColor(Qt::red); };
        editor->toolbar2Button(11)->trigger();
        QCOMPARE(rich->textCursor().charFormat().foreground().color(), QColor(Qt::red));
        f.find<QComboBox>("cmbSize")->setEditText("24");
        frmConfPasteBox::chooseFont = [](const QFont&) { return std::optional<QFont>(); };
        editor->toolbar2Button(12)->trigger();
        QCOMPARE(rich->textCursor().charFormat().fontPointSize(), 24.0);
        QCOMPARE(rich->textCursor().charFormat().foreground().color(), QColor(Qt::red));
    }

    void clipboardButtons() {
        Fixture f;
        f.setRtfClip(1, BoldRtf);
        frmConfPasteBox* editor = f.open(1);
        QClipboard* clipboard = QApplication::clipboard();
        clipboard->setText("plain only");
        editor->toolbar2Button(20)->trigger(); // the rich Paste button takes RTF only
        QCOMPARE(f.rich()->toPlainText(), QStringLiteral("plain bold end"));
        f.rich()->selectAll();
        editor->toolbar2Button(18)->trigger();
        QCOMPARE(f.rich()->toPlainText(), QString());
        QCOMPARE(clipboard->text(), QStringLiteral("plain bold end"));
        QVERIFY(clipboard->mimeData()->data("text/rtf").startsWith("{\\rtf1"));
        editor->toolbar2Button(20)->trigger();
        QCOMPARE(f.rich()->toPlainText(), QStringLiteral("plain bold end"));
        editor->toolbar2Button(4)->trigger(); // undo the paste
        QCOMPARE(f.rich()->toPlainText(), QString());
    }

    void files() {
        Fixture f;
        frmConfPasteBox* editor = f.open(1);
        const QString dir = f.dir.path();
        // Saving over a file on a full disk leaves it as it was.
        const auto saveFailsAndKeeps = [&](const QString& path) {
            const QByteArray before = readFile(path);
            {
                FileSizeLimit full(4);
                FileDialogs::setNextFileName(path);
                editor->SaveToFile();
            }
            Messages::takeShown();
            return !before.isEmpty() && readFile(path) == before;
        };
        writeFile(dir + "/in.txt", "Zürich\nline");
        FileDialogs::setNextFileName(dir + "/in.txt");
        editor->BoxHotkey(Qt::Key_F4);
        QCOMPARE(f.plain()->toPlainText(), QStringLiteral("Zürich\nline"));
        FileDialogs::setNextFileName(""); // cancel
        editor->LoadFromFile();
        FileDialogs::setNextFileName(dir + "/missing.txt");
        editor->LoadFromFile();
        QCOMPARE(Messages::takeShown().last().text, QStringLiteral("Selected file does not exist!"));
        QCOMPARE(f.plain()->toPlainText(), QStringLiteral("Zürich\nline"));
        FileDialogs::setNextFileName(dir + "/out.txt");
        editor->SaveToFile();
        QCOMPARE(readFile(dir + "/out.txt"), QByteArray("Zürich\r\nline"));
        QVERIFY(saveFailsAndKeeps(dir + "/out.txt"));

        editor->toolbarButton(7)->trigger();
        writeFile(dir + "/in.rtf", BoldRtf);
        FileDialogs::setNextFileName(dir + "/in.rtf");
        editor->LoadFromFile();
        QCOMPARE(f.rich()->toPlainText(), QStringLiteral("plain bold end"));
        FileDialogs::setNextFileName(dir + "/out.rtf");
        editor->SaveToFile();
        QVERIFY(readFile(dir + "/out.rtf").contains("\\b "));
        QVERIFY(saveFailsAndKeeps(dir + "/out.rtf"));
        writeFile(dir + "/plain.txt", "{\\rtf1 not read as rtf}");
        FileDialogs::setNextFileName(dir + "/plain.txt");
        editor->LoadFromFile();
        QCOMPARE(f.rich()->toPlainText(), QStringLiteral("{\\rtf1 not read as rtf}"));

        Messages::setNextAnswer(Messages::Yes);
        editor->toolbarButton(8)->trigger();
        uniform(5, 3, Qt::blue).save(dir + "/in.png");
        FileDialogs::setNextFileName(dir + "/in.png");
        editor->BoxHotkey(Qt::Key_F4);
        QCOMPARE(f.find<PictureArea>("fraImg")->handBack().size(), QSize(5, 3));
        FileDialogs::setNextFileName(dir + "/out.PNG");
        editor->SaveToFile();
        QVERIFY(readFile(dir + "/out.PNG").startsWith("\x89PNG"));
        FileDialogs::setNextFileName(dir + "/out.bmp");
        editor->SaveToFile();
        QVERIFY(saveFailsAndKeeps(dir + "/out.PNG") && saveFailsAndKeeps(dir + "/out.bmp"));
        QVERIFY(!FileDialogs::hasQueuedAnswers());
        editor->DiscardAndClose();
    }

    // A text file is read only as far as the box can hold it, and a longer one is cut there with a word.
    void loadLongText_data() {
        columns<QString, QString, QByteArray, QString, bool>("mode", "name", "content", "loaded", "cut");
        const QString euro(1, QChar(0x20AC));
        // clang-format off
        QTest::newRow("300,000 letters") << "txt"
                                         << "long.txt" << QByteArray(300'000, 'a') << QString(100'000, 'a') << true;
        // Read in part, the UTF-8 ends inside a character: still UTF-8, not the ANSI code page.
        QTest::newRow("250,000 euro signs, rich box") << "rtf" << "euro.txt" << euro.repeated(250'000).toUtf8()
            << euro.repeated(100'000) << true;
        QTest::newRow("100,000 characters in CR LF lines: whole") << "txt" << "lines.txt"
            << QByteArray("a\r\n").repeated(50'000) << QString("a\n").repeated(50'000) << false;
        QTest::newRow("RTF of 100,005 letters") << "rtf" << "long.rtf" << "{\\rtf1 " + QByteArray(100'005, 'x') + "}"
            << QString(100'000, 'x') << true;
        // clang-format on
    }
    void loadLongText() {
        const auto [mode, name, content, loaded, cut] =
            fetch<QString, QString, QByteArray, QString, bool>("mode", "name", "content", "loaded", "cut");
        Fixture f;
        frmConfPasteBox* editor = f.open(1);
        if (mode == "rtf")
            editor->toolbarButton(7)->trigger();
        QVERIFY(writeFile(f.dir.filePath(name), content));
        FileDialogs::setNextFileName(f.dir.filePath(name));
        editor->BoxHotkey(Qt::Key_F4);
        QCOMPARE(mode == "txt" ? f.plain()->toPlainText() : f.rich()->toPlainText(), loaded);
        const QList<Messages::ShownBox> shown = Messages::takeShown();
        QCOMPARE(shown.isEmpty() ? QString() : shown.first().text,
                 cut ? "The file is longer than the 100 000 characters the editor holds; only its first 100 000 "
                       "characters were loaded."
                     : QString());
        editor->DiscardAndClose();
    }

    // Every toolbar button has a name for screen readers and an icon that stands out on light and dark toolbars.
    void toolbarButtons() {
        Fixture f;
        for (QToolBar* bar : f.open(1)->findChildren<QToolBar*>())
            for (QAction* action : bar->actions()) {
                QWidget* button = bar->widgetForAction(action);
                if (!button || action->isSeparator())
                    continue;
                QVERIFY2(!QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name).isEmpty(),
                         qPrintable(action->objectName()));
                for (const QColor ground : {QColor(0xEF, 0xEF, 0xEF), QColor(0x2A, 0x2A, 0x2E)}) {
                    QImage shown(16, 16, QImage::Format_RGB32);
                    shown.fill(ground);
                    QPainter(&shown).drawPixmap(0, 0, action->icon().pixmap(QSize(16, 16), 1.0));
                    int standing = 0;
                    for (int i = 0; i < 256; ++i)
                        standing += qAbs(shown.pixelColor(i % 16, i / 16).lightness() - ground.lightness()) >= 64;
                    QVERIFY2(standing >= 12 || qobject_cast<QComboBox*>(button), qPrintable(action->objectName()));
                }
            }
    }

    void clearAndLimit() {
        Fixture f;
        f.table.setClip(4, {ClipTable::TxtLong, "Long", "a\r\nb"});
        frmConfPasteBox* editor = f.open(4);
        QVERIFY(f.find<QRadioButton>("optCusName")->isChecked());
        Messages::setNextAnswer(Messages::No);
        editor->BoxHotkey(Qt::Key_F3);
        QCOMPARE(f.plain()->toPlainText(), QStringLiteral("a\nb"));
        Messages::setNextAnswer(Messages::Yes);
        editor->ClearClip();
        QCOMPARE(f.plain()->toPlainText(), QString());
        QVERIFY(f.find<QRadioButton>("optNonCusName")->isChecked());
        QCOMPARE(editor->panelText(2), QStringLiteral("Characters: 0 / 100 000  "));
        // Pasted text is cut at the box's limit and typing stops there.
        QApplication::clipboard()->setText(QString(100005, QLatin1Char('x')));
        editor->toolbar2Button(20)->trigger();
        QCOMPARE(f.plain()->toPlainText().size(), 100000);
        QTest::keyClicks(f.plain(), "y");
        QCOMPARE(f.plain()->toPlainText().size(), 100000);
        editor->DiscardAndClose();
    }
};

ZP_TEST_CLASS(frmConfPasteBoxTest)
#include "frmConfPasteBoxTest.moc"
