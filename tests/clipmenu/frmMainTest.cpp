#include "clipmenu/frmMain.h"
#include "TestSupport.h"
#include "clipmenu/ClipboardTextCommands.h"
#include "platform/QtClipboard.h"
#include "project/ClipTable.h"
#include "services/Messages.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>

// The hidden tray window: the clip entries of its menus and the small commands.
class frmMainTest final : public QObject {
    Q_OBJECT

    struct Fixture {
        ClipTable table;
        QtClipboard clipboard;
        ClipboardTextCommands text{clipboard, [] { return true; }, [] {}};
        frmMain tray{table, text};
        QAction* item(const QString& name) { return tray.findChild<QAction*>(name); }
        // The fixed items first (clean clipboard, a separator), then "name=caption" of each clip entry.
        QStringList clipMenu() {
            tray.BuildClipMenu();
            QStringList items;
            for (QAction* a : tray.findChild<QMenu*>("mnuClipFromZolpane")->actions())
                items << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + '=' + a->text());
            return items;
        }
    };

private Q_SLOTS:
    void init() { Messages::setUnattended(true); } // no answers queued, no boxes shown

    void clipEntries() {
        Fixture f;
        f.tray.ShowPasteMenu(); // no clips to offer
        const auto shown = Messages::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind + ": " + shown[0].text, QStringLiteral("err: No clips to paste!"));
        f.table.setText(3, QStringLiteral("Dear Sir or Madam, thank you for your letter"));
        f.table.setText(17, QStringLiteral("x"));
        QCOMPARE(f.clipMenu(),
                 QStringList({"mnuCleanClipboard=&Clean Clipboard", "-",
                              "mnuZPCClip3=(3) &Dear Sir or Madam, thank you f", "mnuZPCClip17=(17) &x"}));
        // Rebuilt at every pop-up: an emptied clip drops out, a new one joins in clip order.
        f.table.clearClip(3);
        f.table.setText(5, QStringLiteral("five"));
        QCOMPARE(f.clipMenu().mid(2), QStringList({"mnuZPCClip5=(5) &five", "mnuZPCClip17=(17) &x"}));
        QSignalSpy chosen(&f.tray, &frmMain::clipChosen);
        f.item("mnuZPCClip17")->trigger();
        QCOMPARE(QList<QVariantList>(chosen), QList<QVariantList>{{17}});
    }

    void commands() {
        Fixture f;
        // Every text command has its menu item: the item's name is what finds the command.
        QSet<QString> items;
        for (QAction* a : f.tray.findChildren<QAction*>())
            if (ClipboardTextCommands::commandForMenu(a->objectName()))
                items << a->objectName();
        QCOMPARE(items.size(), 10);
        QSignalSpy status(&f.tray, &frmMain::statusMessage);
        QApplication::clipboard()->setText(QStringLiteral("something"));
        f.item("mnuCleanClipboard")->trigger();
        QVERIFY(QApplication::clipboard()->text().isEmpty());
        QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("Clipboard cleared"));
        // A text item runs its transformation on the clipboard.
        QApplication::clipboard()->setText(QStringLiteral("hello world. how are you"));
        f.item("mnuSentences")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Hello world. How are you."));
        // Exit waits for the menu to close first.
        QSignalSpy exit(&f.tray, &frmMain::exitRequested);
        f.item("mnuExit")->trigger();
        QCOMPARE(exit.size(), 0);
        QVERIFY(exit.wait(1000));
        // The run-at-startup item asks; its check mark follows the entry, not the click.
        QSignalSpy toggle(&f.tray, &frmMain::toggleRunAtStartupRequested);
        f.item("mnuRunStartup")->trigger();
        QCOMPARE(toggle.size(), 1);
        QVERIFY(!f.item("mnuRunStartup")->isChecked());
        f.tray.setRunAtStartupChecked(true);
        QVERIFY(f.item("mnuRunStartup")->isChecked());
    }
};

ZP_TEST_CLASS(frmMainTest)
#include "frmMainTest.moc"
