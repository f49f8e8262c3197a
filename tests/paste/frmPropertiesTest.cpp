#include "paste/frmProperties.h"
#include "paste/HotkeyPicker.h"
#include "platform/KeyCodes.h"
#include "project/ClipTable.h"
#include "services/AppPaths.h"
#include "services/Messages.h"
#include "services/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <tuple>

using Call = std::tuple<int, int, int>;
Q_DECLARE_METATYPE(Call)

// The clip properties dialog with the default settings.ini: clip n has Control+n (Mod 2, key 48 + n) for
// n = 1..9, and the hotkey manager's table mirrors the file unless a row changes it.
class frmPropertiesTest final : public QObject {
    Q_OBJECT

    struct Fixture {
        QTemporaryDir dir;
        AppPaths paths;
        Settings settings{paths};
        ClipTable table;
        std::array<std::pair<int, int>, 31> hotkeys{};
        QList<Call> calls;
        int dropped = 0, restored = 0;
        QPointer<frmProperties> current;

        Fixture() : paths(AppPaths::forFolder(dir.path())) {
            settings.WriteDefaultSettings();
            for (int n = 1; n <= 30; ++n)
                hotkeys[size_t(n)] = {int(settings.ReadNumber("Hotkeys", QStringLiteral("Clip%1Mod").arg(n))),
                                      int(settings.ReadNumber("Hotkeys", QStringLiteral("Clip%1Key").arg(n)))};
            table.ClipMethod.fill(1);
        }
        frmProperties* open(int n) {
            PropertiesContext ctx{settings, table, {}, {}, {}, {}, {}};
            ctx.clipHotkey = [this](int clip) { return hotkeys[size_t(clip)]; };
            ctx.SetClipHotkey = [this](int m, int k, int id) { calls.append({m, k, id}); };
            ctx.dropTopMost = [this] { ++dropped; };
            ctx.restoreTopMost = [this] { ++restored; };
            return frmProperties::open(current, ctx, n);
        }
        // Sets the boxes from a modifier code and picks the key list entry with this text.
        void choose(int mod, const QString& key) {
            current->picker->setModifiers(mod);
            current->mKey->setCurrentIndex(current->mKey->findText(key));
        }
        QString stored(int n, const char* part) {
            return settings.ReadSetting("Hotkeys", QStringLiteral("Clip%1%2").arg(n).arg(QLatin1String(part)));
        }
        QByteArray file() {
            QFile f(paths.SettingsPath);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }
    };

private Q_SLOTS:
    void init() {
        Messages::setUnattended(true);
        Messages::takeShown();
    }

    void validate_data() {
        QTest::addColumn<int>("clip");
        QTest::addColumn<QList<int>>("held"); // triples clip, mod, key replacing the default hotkeys
        QTest::addColumn<int>("mod");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("unchanged");
        QTest::addColumn<QString>("message"); // kind: text
        const QList<int> clips12And7HoldCtrlShiftF{12, 6, 70, 7, 6, 70};
        // clang-format off
        QTest::newRow("alt alone") << 1 << QList<int>{} << 1 << "a" << false << false
                                   << "inf: You may not use Alt hotkey alone!";
        QTest::newRow("taken: lowest clip named") << 3 << clips12And7HoldCtrlShiftF << 6 << "f" << false << false
                                                  << "excl: This hotkey is set to clip 7!";
        QTest::newRow("own, but a lower clip holds it too") << 12 << clips12And7HoldCtrlShiftF << 6 << "f" << false << false
                                                            << "excl: This hotkey is set to clip 7!";
        QTest::newRow("own hotkey") << 2 << QList<int>{} << 2 << "2" << true << true << "";
        QTest::newRow("free") << 2 << QList<int>{} << 3 << "f" << true << false << "";
        QTest::newRow("no key, had none") << 4 << QList<int>{4, 0, 0} << 2 << "(none)" << true << true << "";
        QTest::newRow("no key, had one") << 4 << QList<int>{} << 1 << "(none)" << true << false << "";
        QTest::newRow("no key, mod only") << 4 << QList<int>{4, 2, 0} << 0 << "(none)" << true << true << "";
        // clang-format on
    }
    void validate() {
        QFETCH(int, clip);
        QFETCH(QList<int>, held);
        QFETCH(int, mod);
        QFETCH(QString, key);
        QFETCH(bool, valid);
        QFETCH(bool, unchanged);
        QFETCH(QString, message);
        Fixture f;
        for (qsizetype i = 0; i + 2 < held.size(); i += 3)
            f.hotkeys[size_t(held[i])] = {held[i + 1], held[i + 2]};
        f.open(clip);
        f.choose(mod, key);
        QCOMPARE(f.current->ValidateHotkey(), valid);
        QCOMPARE(f.current->HotkeyUnchanged, unchanged);
        const auto boxes = Messages::takeShown();
        QCOMPARE(boxes.isEmpty() ? QString() : boxes[0].kind + ": " + boxes[0].text, message);
        QVERIFY(boxes.size() <= 1);
    }

    void ok_data() {
        QTest::addColumn<int>("clip");
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("mod");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("file"); // Mod, Key after OK
        QTest::addColumn<QList<Call>>("calls");
        QTest::addColumn<int>("clipMethod");
        // clang-format off
        QTest::newRow("new hotkey and method") << 5 << "optKeyByKey" << 6 << "x" << QStringList{"6", "88"}
                                               << QList<Call>{{6, 88, 11}} << 2;
        QTest::newRow("own hotkey: method only") << 2 << "optDefault" << 2 << "2" << QStringList{"2", "50"}
                                                 << QList<Call>{} << 4;
        QTest::newRow("(none) removes") << 3 << "optControlV" << 2 << "(none)" << QStringList{"2", "0"}
                                        << QList<Call>{{2, 0, 9}} << 1;
        QTest::newRow("no modifier") << 3 << "optShiftInsert" << 0 << "q" << QStringList{"0", "81"}
                                     << QList<Call>{{0, 81, 9}} << 3;
        QTest::newRow("refused: stays open") << 3 << "optDefault" << 1 << "a" << QStringList{"2", "51"}
                                             << QList<Call>{} << 1;
        // clang-format on
    }
    void ok() {
        QFETCH(int, clip);
        QFETCH(QString, method);
        QFETCH(int, mod);
        QFETCH(QString, key);
        QFETCH(QStringList, file);
        QFETCH(QList<Call>, calls);
        QFETCH(int, clipMethod);
        Fixture f;
        f.open(clip);
        f.current->findChild<QRadioButton*>(method)->setChecked(true);
        f.choose(mod, key);
        const bool refused = mod == HotkeyModifier::Alt;
        f.current->cmdOK->click();
        QCOMPARE(f.current->isVisible(), refused);
        QCOMPARE(f.restored, refused ? 0 : 1);
        QCOMPARE((QStringList{f.stored(clip, "Mod"), f.stored(clip, "Key")}), file);
        QCOMPARE(f.calls, calls);
        QCOMPARE(int(f.table.ClipMethod[size_t(clip)]), clipMethod);
    }

    // Stored Mod, Key and paste method; the modifier code and key list entry shown, the option checked.
    void loads_data() {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("mod");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("option"); // "" for none
        for (const QStringList& r : {QStringList{"alt+shift", "5", "72", "3", "5", "h", "optShiftInsert"},
                                     {"key 0", "0", "0", "4", "0", "(none)", "optDefault"},
                                     {"unknown key shows END", "6", "999", "2", "6", "END", "optKeyByKey"},
                                     {"unknown method", "2", "123", "9", "2", "F12", ""}})
            QTest::newRow(qPrintable(r[0])) << r.mid(1, 3) << r[4] << r[5] << r[6];
    }
    void loads() {
        QFETCH(QStringList, stored);
        QFETCH(QString, mod);
        QFETCH(QString, entry);
        QFETCH(QString, option);
        Fixture f;
        f.settings.WriteSetting("Hotkeys", "Clip17Mod", stored[0]);
        f.settings.WriteSetting("Hotkeys", "Clip17Key", stored[1]);
        f.table.ClipMethod[17] = quint8(stored[2].toInt());
        frmProperties* d = f.open(17);
        QCOMPARE(QString::number(d->GetModifierCode()), mod);
        QCOMPARE(d->findChild<QComboBox*>("mKey")->currentText(), entry);
        QVERIFY(d->findChild<QCheckBox*>("chkAlt") && d->findChild<QLabel*>("lblInfo(2)"));
        for (QRadioButton* b : {d->optDefault, d->optShiftInsert, d->optKeyByKey, d->optControlV})
            QCOMPARE(b->isChecked(), b->objectName() == option);
    }

    // Escape, and opening the dialog for another clip, close it without storing anything.
    void closingStoresNothing() {
        Fixture f;
        const QByteArray before = f.file();
        QPointer<frmProperties> first = f.open(6);
        first->optKeyByKey->setChecked(true);
        f.choose(6, "z");
        QTest::keyClick(first, Qt::Key_Escape);
        QTRY_VERIFY(first.isNull());
        QCOMPARE(f.restored, 1);
        first = f.open(3);
        first->optDefault->setChecked(true);
        f.choose(6, "k");
        frmProperties* second = f.open(5);
        QVERIFY(second != first.data());
        QCOMPARE(second->clipNumber(), 5);
        QVERIFY(!second->HotkeyUnchanged);
        QTRY_VERIFY(first.isNull());
        QCOMPARE(f.file(), before);
        QCOMPARE(int(f.table.ClipMethod[6]), 1);
        QCOMPARE(int(f.table.ClipMethod[3]), 1);
        QVERIFY(f.calls.isEmpty());
        QCOMPARE(f.dropped, 3);
        QCOMPARE(f.restored, 2);
    }
};

std::unique_ptr<QObject> propertiesTest() {
    return std::make_unique<frmPropertiesTest>();
}

#include "frmPropertiesTest.moc"
