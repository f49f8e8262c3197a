#include "startup/WaylandNotice.h"
#include "TestSupport.h"
#include "services/Messages.h"

#include <QtTest>

using namespace TestSupport;

// The Wayland notice over two starts: when it is shown, and how ticking its box ends it for good.
class WaylandNoticeTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Messages::setUnattended(true); }

    void twoStarts_data() {
        columns<bool, QList<int>, int, QString>("wayland", "answers", "shown", "storedAfter");
        QTest::newRow("X11 session") << false << QList<int>{} << 0 << "";
        QTest::newRow("not ticked: again next start") << true << QList<int>{Messages::No, Messages::No} << 2 << "";
        QTest::newRow("ticked: never again") << true << QList<int>{Messages::Yes} << 1 << "1";
    }
    void twoStarts() {
        const auto [wayland, answers, shown, storedAfter] =
            fetch<bool, QList<int>, int, QString>("wayland", "answers", "shown", "storedAfter");
        SettingsFolder folder;
        for (int answer : answers)
            Messages::setNextAnswer(answer);
        QObject context;
        WaylandNotice::showIfWanted(wayland, {}, folder.settings, &context);
        WaylandNotice::showIfWanted(wayland, {}, folder.settings, &context);
        QCOMPARE(Messages::takeShown().size(), shown);
        QCOMPARE(folder.settings.ReadSetting("Zolpane", "WaylandNoticeShown"), storedAfter);
    }
};

ZP_TEST_CLASS(WaylandNoticeTest)

#include "WaylandNoticeTest.moc"
