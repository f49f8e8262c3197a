#include "paste/frmProperties.h"
#include "TestSupport.h"
#include "paste/HotkeyPicker.h"
#include "project/ClipTable.h"
#include "services/Messages.h"
#include "services/Settings.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include <tuple>

using Call = std::tuple<int, int, int>;
struct OkRow {
    int clip;
    QList<int> held;
    QString option;
    int mod;
    QString key, message;
    QList<Call> calls;
    int clipMethod;
};
Q_DECLARE_METATYPE(OkRow)

// The clip properties dialog with the default settings.ini: clip n has Control+n (Mod 2, key 48 + n) for
// n = 1..9, and the hotkey manager's table mirrors the file unless a row changes it.
class frmPropertiesTest final : public QObject {
    Q_OBJECT

    struct Fixture : TestSupport::SettingsFolder {
        ClipTable table;
        std::array<std::pair<int, int>, 31> hotkeys{};
        QList<Call> calls;
        int dropped = 0, restored = 0;
        QPointer<frmProperties> current;
        Fixture() {
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
    };

private Q_SLOTS:
    void init() { Messages::setUnattended(true); } // no answers queued, no boxes shown

    // held: triples clip, mod, key replacing the default hotkeys; message: "kind: text" of the box shown (the
    // dialog then stays open); calls: to the hotkey manager, also stored, when the hotkey changed.
    void ok_data() {
        QTest::addColumn<OkRow>("row");
        const QList<int> clips12And7HoldCtrlShiftF{12, 6, 70, 7, 6, 70};
        const QString taken = QStringLiteral("excl: This hotkey is set to clip 7!");
        // clang-format off
        QTest::newRow("alt alone") << OkRow{3, {}, "optKeyByKey", 1, "a", "inf: You may not use Alt hotkey alone!", {}, 1};
        QTest::newRow("taken: lowest clip named") << OkRow{3, clips12And7HoldCtrlShiftF, "optDefault", 6, "f", taken, {}, 1};
        QTest::newRow("own, but a lower clip holds it too") << OkRow{12, clips12And7HoldCtrlShiftF, "optDefault", 6, "f", taken, {}, 1};
        QTest::newRow("own hotkey: method only") << OkRow{2, {}, "optDefault", 2, "2", "", {}, 4};
        QTest::newRow("free, and a method") << OkRow{5, {}, "optKeyByKey", 6, "x", "", {{6, 88, 11}}, 2};
        QTest::newRow("no modifier") << OkRow{3, {}, "optShiftInsert", 0, "q", "", {{0, 81, 9}}, 3};
        QTest::newRow("no key, had one: removed") << OkRow{4, {}, "optControlV", 1, "(none)", "", {{1, 0, 10}}, 1};
        QTest::newRow("no key, had none") << OkRow{4, {4, 0, 0}, "optControlV", 2, "(none)", "", {}, 1};
        QTest::newRow("no key, mod only") << OkRow{4, {4, 2, 0}, "optControlV", 0, "(none)", "", {}, 1};
        // clang-format on
    }
    void ok() {
        QFETCH(OkRow, row);
        Fixture f;
        for (qsizetype i = 0; i + 2 < row.held.size(); i += 3)
            f.hotkeys[size_t(row.held[i])] = {row.held[i + 1], row.held[i + 2]};
        f.open(row.clip);
        f.current->findChild<QRadioButton*>(row.option)->setChecked(true);
        f.choose(row.mod, row.key);
        const QStringList before{f.stored(row.clip, "Mod"), f.stored(row.clip, "Key")};
        f.current->cmdOK->click();
        const auto boxes = Messages::takeShown();
        QCOMPARE(boxes.isEmpty() ? QString() : boxes[0].kind + ": " + boxes[0].text, row.message);
        QVERIFY(boxes.size() <= 1);
        QCOMPARE(f.current->isVisible(), !row.message.isEmpty());
        QCOMPARE(f.restored, row.message.isEmpty() ? 1 : 0);
        QCOMPARE(f.calls, row.calls);
        const QStringList stored = row.calls.isEmpty() ? before
                                                       : QStringList{QString::number(std::get<0>(row.calls[0])),
                                                                     QString::number(std::get<1>(row.calls[0]))};
        QCOMPARE((QStringList{f.stored(row.clip, "Mod"), f.stored(row.clip, "Key")}), stored);
        QCOMPARE(int(f.table.ClipMethod[size_t(row.clip)]), row.clipMethod);
    }

    // Stored Mod, Key and paste method; the modifier code and key list entry shown, the option checked.
    void loads_data() {
        TestSupport::columns<QStringList, QString, QString, QString>("stored", "mod", "entry",
                                                                     "option"); // option "": none
        for (const QStringList& r : {QStringList{"alt+shift", "5", "72", "3", "5", "h", "optShiftInsert"},
                                     {"key 0", "0", "0", "4", "0", "(none)", "optDefault"},
                                     {"unknown key shows END", "6", "999", "2", "6", "END", "optKeyByKey"},
                                     {"unknown method", "2", "123", "9", "2", "F12", ""}})
            QTest::newRow(qPrintable(r[0])) << r.mid(1, 3) << r[4] << r[5] << r[6];
    }
    void loads() {
        const auto [stored, option] = TestSupport::fetch<QStringList, QString>("stored", "option");
        Fixture f;
        f.settings.WriteSetting("Hotkeys", "Clip17Mod", stored[0]);
        f.settings.WriteSetting("Hotkeys", "Clip17Key", stored[1]);
        f.table.ClipMethod[17] = quint8(stored[2].toInt());
        frmProperties* d = f.open(17);
        QTEST(QString::number(d->GetModifierCode()), "mod");
        QTEST(d->findChild<QComboBox*>("mKey")->currentText(), "entry");
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

ZP_TEST_CLASS(frmPropertiesTest)
#include "frmPropertiesTest.moc"
