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
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<QString>("stored"); // WaylandNoticeShown before the first start; "-" for none
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("X11 session") << false << "-" << QList<int>{} << 0 << "";
        QTest::newRow("closed without ticking: again next start")
            << true << "-" << QList<int>{Messages::No, Messages::No} << 2 << "";
        QTest::newRow("ticked: never again") << true << "-" << QList<int>{Messages::Yes} << 1 << "1";
        QTest::newRow("turned off before") << true << "1" << QList<int>{} << 0 << "1";
        QTest::newRow("another value shows it") << true << "0" << QList<int>{Messages::No, Messages::Yes} << 2 << "1";
    }
    void twoStarts() {
        QFETCH(bool, wayland);
        QFETCH(QString, stored);
        QFETCH(QList<int>, answers);
        QFETCH(int, shown);
        QFETCH(QString, storedAfter);
        SettingsFolder folder;
        if (stored != "-")
            folder.settings.WriteSetting("Zolpane", "WaylandNoticeShown", stored);
        for (int answer : answers)
            Messages::setNextAnswer(answer);
        QObject context;
        WaylandNotice::showIfWanted(wayland, folder.settings, &context);
        WaylandNotice::showIfWanted(wayland, folder.settings, &context);
        const QList<Messages::ShownBox> boxes = Messages::takeShown();
        QCOMPARE(boxes.size(), shown);
        for (const Messages::ShownBox& box : boxes)
            QCOMPARE(box.kind, QStringLiteral("notice"));
        QCOMPARE(folder.settings.ReadSetting("Zolpane", "WaylandNoticeShown"), storedAfter);
    }
};

ZP_TEST_CLASS(WaylandNoticeTest)

#include "WaylandNoticeTest.moc"
