#include "startup/frmSettings.h"
#include "project/ClipTable.h"
#include "services/AppPaths.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "startup/Autostart.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The settings dialog against a settings.ini in a scratch folder; autostart entries go there too.
class frmSettingsTest final : public QObject {
    Q_OBJECT

    struct Fixture {
        QTemporaryDir dir;
        AppPaths paths;
        Settings settings{paths};
        Autostart autostart{settings, QStringLiteral("/opt/zp/zolpane")};
        ClipTable table;
        int charsetCalls = 0, reRegisterCalls = 0, topMostCalls = 0, copyOptionCalls = 0;
        int charsetSeen = -1;
        QString hotkeyKeySeen;
        bool exiting = false;
        std::unique_ptr<frmSettings> dialog;

        explicit Fixture(const QList<QStringList>& values = {}) : paths(AppPaths::forFolder(dir.path())) {
            qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
            settings.WriteDefaultSettings();
            for (const QStringList& v : values)
                settings.WriteSetting(v[0], v[1], v[2]);
            SettingsDialogContext ctx{settings, autostart, table, {}, {}, {}, {}, {}};
            ctx.copyOptionsChanged = [this] { ++copyOptionCalls; };
            ctx.applyCharset = [this] { ++charsetCalls, charsetSeen = settings.Charset; };
            ctx.reRegisterSpecialHotkeys = [this] {
                ++reRegisterCalls;
                hotkeyKeySeen = settings.ReadSetting("Hotkeys", "HKSettingsKey");
            };
            ctx.restoreTopMost = [this] { ++topMostCalls; };
            ctx.programExiting = [this] { return exiting; };
            dialog = std::make_unique<frmSettings>(ctx);
            dialog->showSettings();
        }
        template <class T> T* get(const QString& name) { return dialog->findChild<T*>(name); }
        QString read(const char* section, const char* key) { return settings.ReadSetting(section, key); }
        QByteArray file() {
            QFile f(paths.SettingsPath);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }
    };

    // The boxes shown since the last call, as "kind: text".
    static QStringList shown() {
        QStringList out;
        for (const auto& box : Messages::takeShown())
            out << box.kind + QStringLiteral(": ") + box.text;
        return out;
    }

private Q_SLOTS:
    void init() {
        Messages::setUnattended(true);
        Messages::takeShown();
    }

    // Which buttons of one group stored values check (none at all for an unknown paste method).
    void loadsOptions_data() {
        QTest::addColumn<QList<QStringList>>("values");
        QTest::addColumn<QStringList>("group");
        QTest::addColumn<QStringList>("checked");
        const QStringList exiting{"optDontSaveZPP", "optAskToSaveZPP", "optAutoSaveZPP"};
        const QStringList method{"optControlV", "optKeyByKey", "optShiftInsert"};
        const QStringList after{"optZPNothing", "optZPMinimize", "optHideZP"};
        const QStringList flags{"chckRunStartup", "chkOpenMainWindow", "chkAutopaste", "chkKeepBig",
                                "chkAutoPasteOther"};
        auto row = [](const char* name, QList<QStringList> values, QStringList group, QStringList checked) {
            QTest::newRow(name) << values << group << checked;
        };
        row("exit 2", {{"Zolpane", "Exiting", "2"}}, exiting, {"optAutoSaveZPP"});
        row("exit 7", {{"Zolpane", "Exiting", "7"}}, exiting, {"optDontSaveZPP"});
        row("method 2", {{"Zolpane", "PasteMethod", "2"}}, method, {"optKeyByKey"});
        row("method 0", {{"Zolpane", "PasteMethod", "0"}}, method, {});
        row("minimize wins", {{"Zolpane", "MinimizeOnCopy", "1"}, {"Zolpane", "HideOnCopy", "1"}}, after,
            {"optZPMinimize"});
        row("hide", {{"Zolpane", "HideOnCopy", "1"}}, after, {"optHideZP"});
        row("defaults", {}, flags, {"chkOpenMainWindow", "chkAutopaste", "chkKeepBig"});
        row("only 1 is on",
            {{"General", "RunOnStartup", "1"},
             {"General", "OpenWindowAtStartup", "2"},
             {"Zolpane", "AutoPaste", "3"},
             {"Zolpane", "AutoPasteOther", "1"}},
            flags, {"chckRunStartup", "chkKeepBig", "chkAutoPasteOther"});
    }
    void loadsOptions() {
        QFETCH(QList<QStringList>, values);
        QFETCH(QStringList, group);
        QFETCH(QStringList, checked);
        Fixture f(values);
        for (const QString& name : group)
            QCOMPARE(f.get<QAbstractButton>(name)->isChecked(), checked.contains(name));
    }

    void charset_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("written");
        for (const QStringList& r : {QStringList{"0", "East European", "1"},
                                     {"11", "East European", "1"},
                                     {"3", "Baltic", "3"},
                                     {"10", "Russian", "10"}})
            QTest::newRow(qPrintable(r[0])) << r[0] << r[1] << r[2];
    }
    void charset() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, written);
        Fixture f({{"General", "Charset", stored}});
        QCOMPARE(f.dialog->cmbFontScript->currentText(), shown);
        f.dialog->cmdOK->click();
        QCOMPARE(f.read("General", "Charset"), written);
        QCOMPARE(f.charsetSeen, written.toInt());
    }

    // Stored Mod and Key of one hotkey; boxes lists the checked ones among Alt, Control, Shift. Which bit checks
    // which box is the picker's; these rows check what the dialog makes of stored values.
    void hotkeyBoxes_data() {
        QTest::addColumn<QString>("mod");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<QString>("entry");
        for (const QStringList& r : {QStringList{"alt+shift", "5", "72", "AS", "h"},
                                     {"key 0", "0", "0", "", ""},
                                     {"unknown key", "2", "999", "C", ""},
                                     {"mod 8", "8", "112", "", "F1"}})
            QTest::newRow(qPrintable(r[0])) << r[1] << r[2] << r[3] << r[4];
    }
    void hotkeyBoxes() {
        QFETCH(QString, mod);
        QFETCH(QString, key);
        QFETCH(QString, boxes);
        QFETCH(QString, entry);
        Fixture f({{"Hotkeys", "HKPasteMenuMod", mod}, {"Hotkeys", "HKPasteMenuKey", key}});
        QCOMPARE(f.get<QCheckBox>("chkAlt(3)")->isChecked(), boxes.contains('A'));
        QCOMPARE(f.get<QCheckBox>("chkControl(3)")->isChecked(), boxes.contains('C'));
        QCOMPARE(f.get<QCheckBox>("chkShift(3)")->isChecked(), boxes.contains('S'));
        QComboBox* keys = f.get<QComboBox>("mKey(3)");
        QCOMPARE(keys->count(), 54);
        QCOMPARE(keys->currentIndex() < 0, entry.isEmpty());
        QCOMPARE(keys->currentText(), entry);
        // Saving unchanged keeps a listed key and stores 0 for no selection.
        f.dialog->cmdApply->click();
        QCOMPARE(f.read("Hotkeys", "HKPasteMenuKey"), entry.isEmpty() ? QStringLiteral("0") : key);
        QCOMPARE(f.read("Hotkeys", "HKPasteMenuMod"), QString::number(f.dialog->modifierValue(3)));
    }

    void cancelDiscardsEdits() {
        Fixture f({{"Zolpane", "Exiting", "1"}});
        const QByteArray before = f.file();
        f.dialog->optAutoSaveZPP->setChecked(true);
        f.dialog->chkKeepBig->setChecked(false);
        f.dialog->chkAlt[0]->setChecked(false);
        f.dialog->mKey[0]->setCurrentIndex(0);
        f.dialog->cmdCancel->click();
        QVERIFY(!f.dialog->isVisible());
        QCOMPARE(f.file(), before);
        QCOMPARE(f.topMostCalls, 1);
        f.dialog->showSettings();
        QVERIFY(f.dialog->optAskToSaveZPP->isChecked());
        QVERIFY(f.dialog->chkKeepBig->isChecked());
        QVERIFY(f.dialog->chkAlt[0]->isChecked());
        QCOMPARE(f.dialog->mKey[0]->currentText(), QStringLiteral("h"));
    }

    void applyWritesAndApplies() {
        Fixture f;
        f.settings.HideOnCopy = true;
        frmSettings& d = *f.dialog;
        const QList<QAbstractButton*> on{d.chckRunStartup, d.optDontSaveZPP, d.optDontAskDeletingClip,
                                         d.optShiftInsert, d.optZPMinimize,  d.chkAutoPasteOther,
                                         d.chkShift[4]};
        for (QAbstractButton* b : on)
            b->setChecked(true);
        for (QCheckBox* c : {d.chkOpenMainWindow, d.chkAutopaste, d.chkKeepBig, d.chkControl[4]})
            c->setChecked(false);
        d.cmbFontScript->setCurrentIndex(9);
        d.mKey[4]->setCurrentIndex(d.mKey[4]->findText("F12"));
        d.cmdApply->click();
        QVERIFY(d.isVisible());
        const QString expected = "General/OpenWindowAtStartup=0 General/RunOnStartup=1 General/Charset=10 "
                                 "Zolpane/Exiting=0 Zolpane/AskDeletingClip=0 Zolpane/PasteMethod=3 "
                                 "Zolpane/AutoPaste=0 Zolpane/MinimizeOnCopy=1 Zolpane/HideOnCopy=0 "
                                 "Zolpane/SentenceCaseKeepBig=0 Zolpane/AutoPasteOther=1 Hotkeys/HKSettingsMod=5 "
                                 "Hotkeys/HKSettingsKey=123";
        for (const QString& item : expected.split(' ')) {
            const QStringList parts = item.split(QRegularExpression("[/=]"));
            QCOMPARE(parts[0] + '/' + parts[1] + '=' + f.settings.ReadSetting(parts[0], parts[1]), item);
        }
        QVERIFY(QFile::exists(f.autostart.autostartEntryPath()));
        // In memory: Charset, ExitMode, DefaultPasteMethod, AskDeletingClip, SentenceCaseKeepBig; copy options.
        const Settings& s = f.settings;
        QCOMPARE((QList<int>{s.Charset, s.ExitMode, s.DefaultPasteMethod, s.AskDeletingClip, s.SentenceCaseKeepBig}),
                 (QList<int>{10, 0, 3, 0, 0}));
        QCOMPARE((QList<bool>{s.AutoPaste, s.MinimizeOnCopy, s.HideOnCopy}), (QList<bool>{false, true, false}));
        QCOMPARE(f.copyOptionCalls, 1);
        QCOMPARE(f.charsetCalls, 1);
        QCOMPARE(f.reRegisterCalls, 1);
        QCOMPARE(f.hotkeyKeySeen, QStringLiteral("123")); // re-registered after the hotkeys were written
    }

    void escapeAsks_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes saves") << int(Messages::Yes);
        QTest::newRow("no cancels") << int(Messages::No);
    }
    void escapeAsks() {
        QFETCH(int, answer);
        Fixture f;
        f.dialog->chkAutoPasteOther->setChecked(true);
        Messages::setNextAnswer(answer);
        QTest::keyClick(f.dialog.get(), Qt::Key_Escape);
        QCOMPARE(shown(), QStringList{"quest: Do you want to save settings?"});
        QVERIFY(!f.dialog->isVisible());
        QVERIFY(f.dialog->reloadPending());
        QCOMPARE(f.read("Zolpane", "AutoPasteOther"), QString(answer == Messages::Yes ? "1" : "0"));
        QCOMPARE(f.topMostCalls, 1);
    }

    void closingHidesUnlessExiting() {
        Fixture f;
        f.settings.AutoPaste = false;
        f.settings.MinimizeOnCopy = true;
        f.settings.HideOnCopy = true;
        f.dialog->chkKeepBig->setChecked(false);
        QVERIFY(!f.dialog->close());
        QVERIFY(!f.dialog->isVisible());
        QCOMPARE(f.read("Zolpane", "SentenceCaseKeepBig"), QStringLiteral("1")); // handled as Cancel
        QCOMPARE(f.read("Zolpane", "MinimizeOnCopy"), QStringLiteral("1"));      // copy options as held
        QCOMPARE(f.read("Zolpane", "HideOnCopy"), QStringLiteral("0"));
        QCOMPARE(f.read("Zolpane", "AutoPaste"), QStringLiteral("0"));
        f.dialog->showSettings();
        f.exiting = true;
        QVERIFY(f.dialog->close());
    }

    void setAllClipsToDefault() {
        Fixture f;
        for (int i = 1; i <= 30; ++i)
            f.table.ClipMethod[size_t(i)] = quint8(i % 4);
        QVERIFY(!f.dialog->fraPasting->isEnabled());
        f.dialog->tabs->setCurrentIndex(1); // its page enables the button
        f.dialog->cmdMassSet->click();
        for (int i = 1; i <= 30; ++i)
            QCOMPARE(int(f.table.ClipMethod[size_t(i)]), 4);
        QCOMPARE(shown(), QStringList{"inf: Done. Note: You will have to save your project for permanent effect."});
    }
};

std::unique_ptr<QObject> settingsDialogTest() {
    return std::make_unique<frmSettingsTest>();
}

#include "frmSettingsTest.moc"
