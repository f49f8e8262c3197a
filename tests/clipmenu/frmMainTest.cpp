#include "clipmenu/frmMain.h"
#include "clipmenu/ClipboardTextCommands.h"
#include "project/ClipTable.h"
#include "services/Messages.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

// The hidden tray window: its menu tree, the clip entries and the small commands.
class frmMainTest final : public QObject {
    Q_OBJECT

    struct Fixture {
        ClipTable table;
        ClipboardTextCommands text{QApplication::clipboard(), [] { return true; }, [] {}};
        frmMain tray{table, text};
    };

    static QStringList entryCaptions(QMenu* menu) {
        QStringList captions;
        for (QAction* a : menu->actions()) {
            if (a->objectName().startsWith(QLatin1String("mnuZPCClip")))
                captions << a->objectName() + '=' + a->text();
        }
        return captions;
    }

private Q_SLOTS:
    void init() { Messages::setUnattended(true); }

    void clipEntries() {
        Fixture f;
        f.table.setText(3, QStringLiteral("Dear Sir or Madam, thank you for your letter"));
        f.table.setText(17, QStringLiteral("x"));
        f.tray.BuildClipMenu();
        QCOMPARE(entryCaptions(f.tray.mnuClipFromZolpane),
                 QStringList({QStringLiteral("mnuZPCClip3=(3) &Dear Sir or Madam, thank you f"),
                              QStringLiteral("mnuZPCClip17=(17) &x")}));
        // The fixed items come first: clean clipboard and a separator.
        QCOMPARE(f.tray.mnuClipFromZolpane->actions().at(0)->objectName(), QStringLiteral("mnuCleanClipboard"));
        QVERIFY(f.tray.mnuClipFromZolpane->actions().at(1)->isSeparator());
        // Rebuilt at every pop-up: an emptied clip drops out, a new one joins in clip order.
        f.table.clearClip(3);
        f.table.setText(5, QStringLiteral("five"));
        f.tray.BuildClipMenu();
        QCOMPARE(entryCaptions(f.tray.mnuClipFromZolpane),
                 QStringList({QStringLiteral("mnuZPCClip5=(5) &five"), QStringLiteral("mnuZPCClip17=(17) &x")}));
        QSignalSpy chosen(&f.tray, &frmMain::clipChosen);
        f.tray.ClipMenuItem[17]->trigger();
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.at(0).at(0).toInt(), 17);
    }

    void pasteMenuWithoutClips() {
        Fixture f;
        f.tray.ShowPasteMenu();
        const auto shown = Messages::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, QStringLiteral("err"));
        QCOMPARE(shown[0].text, QStringLiteral("No clips to paste!"));
    }

    void menuTree() {
        Fixture f;
        QStringList names;
        for (QAction* a : f.tray.mnuMotherZolpane->actions())
            names << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + ':' + a->text());
        QCOMPARE(names, QStringList({"mnuZolpaner:Show &Zolpane", "mnuHideZP:Hide &Zolpane", "-",
                                     "mnuClipboardFormating:Clipboard Formating", "mnuCopyToClip:C&opy To Clipboard",
                                     "-", "mnuOptions:&Options", "-", "mnuExit:E&xit"}));
        for (const char* name : {"mnuToLowerCase", "mnuToUpperCase", "mnuProperCase", "mnuReverseCase", "mnuSentences",
                                 "mnuZigZagCase", "mnuRemoveDiacritics", "mnuReverse", "mnuCopyDate", "mnuCopyTime",
                                 "mnuSettings", "mnuRunStartup", "mnuCleanClipboard"})
            QVERIFY2(f.tray.findChild<QAction*>(QLatin1String(name)), name);
    }

    void commands() {
        Fixture f;
        QSignalSpy status(&f.tray, &frmMain::statusMessage);
        QApplication::clipboard()->setText(QStringLiteral("something"));
        f.tray.mnuCleanClipboard->trigger();
        QVERIFY(QApplication::clipboard()->text().isEmpty());
        QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("Clipboard cleared"));
        // A text item runs its transformation on the clipboard.
        QApplication::clipboard()->setText(QStringLiteral("hello world. how are you"));
        f.tray.findChild<QAction*>(QStringLiteral("mnuSentences"))->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Hello world. How are you."));
        // Exit waits for the menu to close first.
        QSignalSpy exit(&f.tray, &frmMain::exitRequested);
        f.tray.mnuExit->trigger();
        QCOMPARE(exit.size(), 0);
        QVERIFY(exit.wait(1000));
        // The run-at-startup item asks; its check mark follows the entry, not the click.
        QSignalSpy toggle(&f.tray, &frmMain::toggleRunAtStartupRequested);
        f.tray.mnuRunStartup->trigger();
        QCOMPARE(toggle.size(), 1);
        QVERIFY(!f.tray.mnuRunStartup->isChecked());
        f.tray.setRunAtStartupChecked(true);
        QVERIFY(f.tray.mnuRunStartup->isChecked());
    }
};

std::unique_ptr<QObject> trayTest() {
    return std::make_unique<frmMainTest>();
}

#include "frmMainTest.moc"
