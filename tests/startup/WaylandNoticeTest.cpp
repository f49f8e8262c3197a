#include "startup/WaylandNotice.h"
#include "TestSupport.h"
#include "services/Messages.h"

#include <QtTest>

// The Wayland notice over two starts: when it is shown, and how ticking its box ends it for good.
class WaylandNoticeTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Messages::setUnattended(true); }

    void twoStarts_data() {
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("X11 session") << false << QList<int>{} << 0 << "";
        QTest::newRow("not ticked: again next start") << true << QList<int>{Messages::No, Messages::No} << 2 << "";
        QTest::newRow("ticked: never again") << true << QList<int>{Messages::Yes} << 1 << "1";
    }
    void twoStarts() {
        QFETCH(bool, wayland);
        QFETCH(QList<int>, answers);
        QFETCH(int, shown);
        QFETCH(QString, storedAfter);
        TestSupport::SettingsFolder folder;
        for (int answer : answers)
            Messages::setNextAnswer(answer);
        QObject context;
        WaylandNotice::showIfWanted(wayland, folder.settings, &context);
        WaylandNotice::showIfWanted(wayland, folder.settings, &context);
        QCOMPARE(Messages::takeShown().size(), shown);
        QCOMPARE(folder.settings.ReadSetting("Zolpane", "WaylandNoticeShown"), storedAfter);
    }
};

ZP_TEST_CLASS(WaylandNoticeTest)

#include "WaylandNoticeTest.moc"
