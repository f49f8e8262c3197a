#include "startup/frmSettings.h"
#include "TestSupport.h"
#include "paste/Hotkeys.h"
#include "project/ClipTable.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "startup/Autostart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include <memory>

using namespace TestSupport;

// The settings dialog against a settings.ini in a scratch folder; autostart entries go there too.
class frmSettingsTest final : public QObject {
    Q_OBJECT

    struct Fixture : SettingsFolder {
        Autostart autostart{settings, QStringLiteral("/opt/zp/zolpane")};
        ClipTable table;
        int charsetCalls = 0, reRegisterCalls = 0, topMostCalls = 0, copyOptionCalls = 0, charsetSeen = -1;
        QString hotkeyKeySeen;
        bool exiting = false;
        std::unique_ptr<frmSettings> dialog;

        // values: "Section/Key=value" written over the default settings before the dialog opens.
        explicit Fixture(const QStringList& values = {}) {
            qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
            for (const QString& v : values)
                settings.WriteSetting(v.section('/', 0, 0), v.section('/', 1).section('=', 0, 0), v.section('=', 1));
            SettingsDialogContext ctx{settings, autostart, table, {}, {}, {}, {}, {}};
            ctx.copyOptionsChanged = [this] { ++copyOptionCalls; };
            ctx.applyCharset = [this] { ++charsetCalls, charsetSeen = settings.Charset; };
            ctx.reRegisterSpecialHotkeys = [this] {
                ++reRegisterCalls;
                hotkeyKeySeen = settings.ReadSetting("Hotkeys", "HKSettingsKey");
            };
            ctx.restoreTopMost = [this] { ++topMostCalls; };
            ctx.programExiting = [this] { return exiting; };
            // A desktop that binds the hotkeys has bound paste-next (the third row) only.
            ctx.desktopBinding = [](int id) {
                return id == Hotkeys::PasteNextId ? QStringLiteral("bound") : QString();
            };
            dialog = std::make_unique<frmSettings>(ctx);
            dialog->showSettings();
        }
        // "Section/Key=value" as settings.ini now holds it, for each "Section/Key=..." of the list.
        QStringList stored(const QStringList& items) {
            QStringList out;
            for (const QString& item : items) {
                const QString key = item.section('=', 0, 0);
                out << key + '=' + settings.ReadSetting(key.section('/', 0, 0), key.section('/', 1));
            }
            return out;
        }
        // "name=value" as the dialog shows it, for each "name=..." of the list: 1 or 0 for a button, the text
        // of a list or of a shown label ("" for a hidden one).
        QStringList shown(const QStringList& items) {
            QStringList out;
            for (const QString& item : items) {
                const QString name = item.section('=', 0, 0);
                const auto* button = dialog->findChild<QAbstractButton*>(name);
                const auto* list = dialog->findChild<QComboBox*>(name);
                const auto* label = dialog->findChild<QLabel*>(name);
                out << name + '=' +
                           (button  ? QString::number(button->isChecked())
                            : list  ? list->currentText()
                            : label ? (label->isHidden() ? QString() : label->text())
                                    : "?");
            }
            return out;
        }
    };

private Q_SLOTS:
    void init() { Messages::setUnattended(true); } // no answers queued, no boxes shown

    // Stored values, what the dialog shows of them, and what Apply writes back unchanged. Which modifier bit
    // checks which box is the hotkey picker's; the rows check what the dialog makes of stored values.
    void storedValues_data() {
        columns<QStringList, QStringList, QStringList>("values", "shown", "written");
        const auto row = [](const char* name, const QString& values, const QString& shown,
                            const QString& written = {}) {
            QTest::newRow(name) << values.split(", ", Qt::SkipEmptyParts) << shown.split(", ", Qt::SkipEmptyParts)
                                << written.split(", ", Qt::SkipEmptyParts);
        };
        const QString hotkey = "Hotkeys/HKPasteMenuMod=%1, Hotkeys/HKPasteMenuKey=%2";
        const QString boxes = "chkAlt(3)=%1, chkControl(3)=%2, chkShift(3)=%3, mKey(3)=%4";
        // clang-format off
        row("exit 2", "Zolpane/Exiting=2", "optDontSaveZPP=0, optAskToSaveZPP=0, optAutoSaveZPP=1", "Zolpane/Exiting=2");
        row("exit 7", "Zolpane/Exiting=7", "optDontSaveZPP=1, optAskToSaveZPP=0, optAutoSaveZPP=0", "Zolpane/Exiting=0");
        row("method 2", "Zolpane/PasteMethod=2", "optControlV=0, optKeyByKey=1, optShiftInsert=0", "Zolpane/PasteMethod=2");
        row("method 0: none", "Zolpane/PasteMethod=0", "optControlV=0, optKeyByKey=0, optShiftInsert=0");
        row("minimize wins", "Zolpane/MinimizeOnCopy=1, Zolpane/HideOnCopy=1", "optZPNothing=0, optZPMinimize=1, optHideZP=0");
        row("hide", "Zolpane/HideOnCopy=1", "optZPNothing=0, optZPMinimize=0, optHideZP=1");
        row("defaults", "", "chckRunStartup=0, chkOpenMainWindow=1, chkAutopaste=1, chkKeepBig=1, chkAutoPasteOther=0");
        row("only 1 is on", "General/RunOnStartup=1, General/OpenWindowAtStartup=2, Zolpane/AutoPaste=3, Zolpane/AutoPasteOther=1",
            "chckRunStartup=1, chkOpenMainWindow=0, chkAutopaste=0, chkKeepBig=1, chkAutoPasteOther=1",
            "General/OpenWindowAtStartup=0, Zolpane/AutoPaste=0, Zolpane/AutoPasteOther=1");
        row("charset 0", "General/Charset=0", "cmbFontScript=East European", "General/Charset=1");
        row("charset 11", "General/Charset=11", "cmbFontScript=East European", "General/Charset=1");
        row("charset 3", "General/Charset=3", "cmbFontScript=Baltic", "General/Charset=3");
        row("charset 10", "General/Charset=10", "cmbFontScript=Russian", "General/Charset=10");
        row("key 0", hotkey.arg(0).arg(0), boxes.arg(0).arg(0).arg(0).arg(""), hotkey.arg(0).arg(0));
        row("unknown key: 0", hotkey.arg(2).arg(999), boxes.arg(0).arg(1).arg(0).arg(""), hotkey.arg(2).arg(0));
        row("mod 8", hotkey.arg(8).arg(112), boxes.arg(0).arg(0).arg(0).arg("F1"), "Hotkeys/HKPasteMenuKey=112");
        row("the desktop's binding", "", "lblDesktop(2)=bound, lblDesktop(0)=");
        // clang-format on
    }
    void storedValues() {
        const auto [values, shown, written] =
            fetch<QStringList, QStringList, QStringList>("values", "shown", "written");
        Fixture f(values);
        QCOMPARE(f.shown(shown), shown);
        f.dialog->cmdApply->click();
        QCOMPARE(f.stored(written), written);
    }

    void applyWritesAndApplies() {
        Fixture f;
        f.settings.HideOnCopy = true;
        frmSettings& d = *f.dialog;
        for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
                 d.chckRunStartup, d.optDontSaveZPP, d.optDontAskDeletingClip, d.optShiftInsert, d.optZPMinimize,
                 d.chkAutoPasteOther, d.chkShift[4]})
            b->setChecked(true);
        for (QCheckBox* c : {d.chkOpenMainWindow, d.chkAutopaste, d.chkKeepBig, d.chkControl[4]})
            c->setChecked(false);
        d.cmbFontScript->setCurrentIndex(9);
        d.mKey[4]->setCurrentIndex(d.mKey[4]->findText("F12"));
        d.cmdApply->click();
        QVERIFY(d.isVisible());
        const QStringList expected = QString("General/OpenWindowAtStartup=0 General/RunOnStartup=1 General/Charset=10 "
                                             "Zolpane/Exiting=0 Zolpane/AskDeletingClip=0 Zolpane/PasteMethod=3 "
                                             "Zolpane/AutoPaste=0 Zolpane/MinimizeOnCopy=1 Zolpane/HideOnCopy=0 "
                                             "Zolpane/SentenceCaseKeepBig=0 Zolpane/AutoPasteOther=1 "
                                             "Hotkeys/HKSettingsMod=5 Hotkeys/HKSettingsKey=123")
                                         .split(' ');
        QCOMPARE(f.stored(expected), expected);
        QVERIFY(QFile::exists(f.autostart.autostartEntryPath()));
        // In memory; the callbacks run once, after the values they read were written.
        const Settings& s = f.settings;
        QCOMPARE((QList<int>{s.Charset, s.ExitMode, s.DefaultPasteMethod, s.AskDeletingClip, s.SentenceCaseKeepBig,
                             s.AutoPaste, s.MinimizeOnCopy, s.HideOnCopy}),
                 (QList<int>{10, 0, 3, 0, 0, 0, 1, 0}));
        QCOMPARE((QList<int>{f.copyOptionCalls, f.charsetCalls, f.reRegisterCalls, f.charsetSeen}),
                 (QList<int>{1, 1, 1, 10}));
        QCOMPARE(f.hotkeyKeySeen, QStringLiteral("123"));
    }

    // Leaving the dialog other than by OK or Apply, after edits; written: what settings.ini then holds (empty:
    // unchanged). Opened again, the dialog shows what is stored.
    void closing_data() {
        columns<QString, int, bool, QStringList>("way", "answer", "exiting", "written");
        const QStringList copyOptions{"Zolpane/MinimizeOnCopy=1", "Zolpane/HideOnCopy=0", "Zolpane/AutoPaste=0"};
        const QStringList cancelled{"Zolpane/AutoPasteOther=0", "Zolpane/SentenceCaseKeepBig=1"};
        QTest::newRow("cancel") << "cancel" << 0 << false << QStringList();
        QTest::newRow("escape, yes saves") << "escape" << int(Messages::Yes) << false
                                           << QStringList{"Zolpane/AutoPasteOther=1", "Zolpane/SentenceCaseKeepBig=0"};
        QTest::newRow("escape, no cancels") << "escape" << int(Messages::No) << false << QStringList();
        // The window's close button cancels but writes the copy options as held; it closes only while exiting.
        QTest::newRow("window") << "close" << 0 << false << cancelled + copyOptions;
        QTest::newRow("window while exiting") << "close" << 0 << true << cancelled + copyOptions;
    }
    void closing() {
        const auto [way, answer, exiting, written] =
            fetch<QString, int, bool, QStringList>("way", "answer", "exiting", "written");
        Fixture f;
        f.exiting = exiting;
        const QByteArray before = f.file();
        f.settings.AutoPaste = false;
        f.settings.MinimizeOnCopy = f.settings.HideOnCopy = true;
        f.dialog->optAutoSaveZPP->setChecked(true);
        f.dialog->chkAutoPasteOther->setChecked(true);
        f.dialog->chkKeepBig->setChecked(false);
        f.dialog->chkAlt[0]->setChecked(false);
        f.dialog->mKey[0]->setCurrentIndex(0);
        Messages::setNextAnswer(answer);
        if (way == "cancel")
            f.dialog->cmdCancel->click();
        else if (way == "escape")
            QTest::keyClick(f.dialog.get(), Qt::Key_Escape);
        else
            QCOMPARE(f.dialog->close(), exiting);
        QStringList asked;
        for (const auto& box : Messages::takeShown())
            asked << box.kind + ": " + box.text;
        QCOMPARE(asked, way == "escape" ? QStringList{"quest: Do you want to save settings?"} : QStringList());
        QVERIFY(!f.dialog->isVisible());
        QCOMPARE(f.topMostCalls, exiting ? 0 : 1);
        if (written.isEmpty())
            QCOMPARE(f.file(), before);
        QCOMPARE(f.stored(written), written);
        f.dialog->showSettings();
        QCOMPARE(f.dialog->chkAutoPasteOther->isChecked(), f.settings.ReadSetting("Zolpane", "AutoPasteOther") == "1");
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
        QCOMPARE(Messages::takeShown().value(0).text,
                 QStringLiteral("Done. Note: You will have to save your project for permanent effect."));
    }
};

ZP_TEST_CLASS(frmSettingsTest)
#include "frmSettingsTest.moc"
