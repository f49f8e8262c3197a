#include "TestSupport.h"
#include "widgets/DeferredIconEngine.h"
#include "widgets/Icons.h"
#include "widgets/MenuIcons.h"
#include "widgets/isButton.h"

#include <QDir>
#include <QEnterEvent>

using namespace TestSupport;

namespace {

const QColor kHighlight(0, 0, 200), kFace(200, 200, 200), kRed(255, 0, 0);

// A button with fixed desktop colours and a red icon, shown so that it paints.
struct ShownButton {
    isButton button;
    explicit ShownButton(QSize size, int iconSize = 16, bool show = true) {
        QPalette pal = button.palette();
        pal.setColor(QPalette::Highlight, kHighlight);
        pal.setColor(QPalette::Button, kFace);
        pal.setColor(QPalette::Window, Qt::green);
        button.setPalette(pal);
        button.setIconSize(iconSize);
        QPixmap icon(16, 16);
        icon.fill(kRed);
        button.setIcon(icon);
        button.resize(size);
        button.setVisible(show);
    }
    QColor at(int x, int y) { return button.grab().toImage().pixelColor(x, y); }

    // Drives the button through space-separated steps, as the user and the holding form would.
    void perform(const QString& steps) {
        isButton* w = &button;
        for (const QString& step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const Qt::MouseButton mouse = step.startsWith(u'l') ? Qt::LeftButton : Qt::RightButton;
            if (step == u"enter") {
                QEnterEvent ev(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
                QApplication::sendEvent(w, &ev);
            } else if (step == u"leave") {
                QEvent ev(QEvent::Leave);
                QApplication::sendEvent(w, &ev);
            } else if (step.endsWith(u"press")) {
                QTest::mousePress(w, mouse, {}, QPoint(10, 10));
            } else if (step.contains(u"release")) {
                QTest::mouseRelease(w, mouse, {}, step.endsWith(u"outside") ? QPoint(40, 40) : QPoint(10, 10));
            } else if (step == u"key") {
                w->activateByKey();
            } else {
                QVERIFY2(step == u"disable" || step == u"enable", qPrintable(step));
                w->setButtonEnabled(step == u"enable");
            }
        }
    }
};

} // namespace

class WidgetsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void minimumSize_data() {
        columns<QSize, QSize>("requested", "expected");
        QTest::newRow("narrow") << QSize(10, 24) << QSize(20, 24);
        QTest::newRow("low") << QSize(30, 8) << QSize(30, 20);
        QTest::newRow("tiny") << QSize(1, 1) << QSize(20, 20);
    }
    void minimumSize() {
        QFETCH(QSize, requested);
        isButton button;
        button.resize(requested);
        QTEST(button.size(), "expected");
        button.show();
        button.resize(requested);
        QTEST(button.size(), "expected");
    }

    void iconPosition_data() {
        columns<QSize, int, int, QString, QPoint>("size", "iconSize", "align", "steps", "expected");
        QTest::newRow("centred") << QSize(24, 24) << 16 << 0 << "" << QPoint(4, 4);
        QTest::newRow("centred pressed") << QSize(24, 24) << 16 << 0 << "lpress" << QPoint(5, 5);
        QTest::newRow("left") << QSize(24, 24) << 16 << 1 << "" << QPoint(3, 4);
        QTest::newRow("right") << QSize(24, 24) << 16 << 2 << "" << QPoint(5, 4);
        QTest::newRow("top") << QSize(24, 24) << 16 << 3 << "" << QPoint(4, 3);
        QTest::newRow("bottom") << QSize(24, 24) << 16 << 4 << "" << QPoint(4, 5);
        QTest::newRow("unknown align") << QSize(24, 24) << 16 << 9 << "" << QPoint(0, 0);
        // Half pixels go to the even neighbour: 4.5 -> 4, 5.5 -> 6, -0.5 -> 0.
        QTest::newRow("half down") << QSize(25, 25) << 16 << 0 << "" << QPoint(4, 4);
        QTest::newRow("half up") << QSize(27, 27) << 16 << 0 << "" << QPoint(6, 6);
        QTest::newRow("icon larger") << QSize(20, 20) << 21 << 0 << "" << QPoint(0, 0);
    }
    void iconPosition() {
        const auto [size, iconSize, align, steps] =
            fetch<QSize, int, int, QString>("size", "iconSize", "align", "steps");
        ShownButton b(size, iconSize);
        b.button.setIconAlign(align);
        b.perform(steps);
        QTEST(b.button.iconPosition(), "expected");
    }

    void colours_data() {
        columns<uint, int, uint>("pixel", "lighten", "expected"); // lighten 0: grayPixel instead
        QTest::newRow("lighten black 176") << 0xFF000000u << 176 << 0xFFB0B0B0u;
        QTest::newRow("lighten white stays") << 0xFFFFFFFFu << 176 << 0xFFFFFFFFu;
        QTest::newRow("lighten truncating 128") << 0xFF6432C8u << 128 << 0xFFB198E3u;
        QTest::newRow("lighten face 32") << 0xFF3300FFu << 32 << 0xFF4C20FFu;
        QTest::newRow("lighten full amount") << 0xFF0C2238u << 255 << 0xFFFFFFFFu;
        QTest::newRow("grey listed C0") << 0xFFC0C0C0u << 0 << 0xFFC0C0C0u;
        QTest::newRow("grey listed white") << 0xFFFFFFFFu << 0 << 0xFFFFFFFFu;
        QTest::newRow("grey 90 not listed") << 0xFF909090u << 0 << 0xFF949494u;
        QTest::newRow("grey red") << 0xFFFF0000u << 0 << 0xFF545454u;
        QTest::newRow("grey limited to 255") << 0xFFFEFEFEu << 0 << 0xFFFFFFFFu;
        QTest::newRow("grey half to even up") << 0xFF000032u << 0 << 0xFF060606u;   // 5.5
        QTest::newRow("grey half to even down") << 0xFF000096u << 0 << 0xFF101010u; // 16.5
        QTest::newRow("grey alpha kept") << 0x80909090u << 0 << 0x80949494u;
    }
    void colours() {
        const auto [pixel, lighten, expected] = fetch<uint, int, uint>("pixel", "lighten", "expected");
        QCOMPARE(lighten ? isButton::Lighten(QColor::fromRgba(pixel), lighten).rgba() : isButton::grayPixel(pixel),
                 QRgb(expected));
    }

    // What the user and the holding form do, the state and signals that follow, and one pixel of the face of a
    // 24x24 button with its 16-px red icon centred at (4,4).
    void behaviour_data() {
        // signals: clicks, enters, leaves
        columns<QString, int, QList<int>, QPoint, QColor>("steps", "state", "signals", "at", "colour");
        const QColor hover = isButton::Lighten(kHighlight, 176), flat = isButton::Lighten(kFace, 32);
        const QColor pressed = isButton::Lighten(kHighlight, 128), shadow(0x80, 0x80, 0x80), grey(84, 84, 84);
        const auto row = [](const char* name, const char* steps, int state, QList<int> signalCounts, QPoint at,
                            QColor colour) { QTest::newRow(name) << steps << state << signalCounts << at << colour; };
        // clang-format off
        row("normal fill", "", isButton::Normal, {0, 0, 0}, {0, 0}, flat);
        row("normal icon", "", isButton::Normal, {0, 0, 0}, {4, 4}, kRed);
        row("enter: frame top left", "enter", isButton::Hover, {0, 1, 0}, {0, 0}, kHighlight);
        row("moves inside: frame bottom right", "enter enter", isButton::Hover, {0, 1, 0}, {23, 23}, kHighlight);
        row("hover raised icon", "enter", isButton::Hover, {0, 1, 0}, {2, 2}, kRed);
        row("hover shadow", "enter", isButton::Hover, {0, 1, 0}, {19, 19}, shadow);
        row("hover past shadow", "enter", isButton::Hover, {0, 1, 0}, {20, 20}, hover);
        row("left down", "enter lpress", isButton::Pressed, {0, 1, 0}, {4, 4}, pressed);
        row("left down icon moved", "enter lpress", isButton::Pressed, {0, 1, 0}, {20, 20}, kRed);
        row("left click", "enter lpress lrelease", isButton::Hover, {1, 1, 0}, {20, 20}, hover);
        row("right click", "enter rpress rrelease", isButton::Hover, {0, 1, 0}, {20, 20}, hover);
        row("let go outside", "enter lpress lrelease-outside", isButton::Hover, {0, 1, 0}, {19, 19}, shadow);
        row("leave", "enter leave", isButton::Normal, {0, 1, 1}, {0, 0}, flat);
        row("enter again", "enter leave enter", isButton::Hover, {0, 2, 1}, {0, 0}, kHighlight);
        row("access key", "enter key", isButton::Normal, {1, 1, 0}, {4, 4}, kRed);
        row("disabled grey icon", "enter disable", isButton::Disabled, {0, 1, 0}, {4, 4}, grey);
        row("disabled key", "disable key", isButton::Disabled, {0, 0, 0}, {4, 4}, grey);
        row("disabled click", "disable lpress lrelease", isButton::Disabled, {0, 0, 0}, {4, 4}, grey);
        row("enabled again", "enter disable enable", isButton::Normal, {0, 1, 0}, {0, 0}, flat);
        // clang-format on
    }
    void behaviour() {
        const auto [steps, at] = fetch<QString, QPoint>("steps", "at");
        ShownButton b(QSize(24, 24));
        b.button.setIconAlign(0);
        QSignalSpy clicks(&b.button, &isButton::Click), enters(&b.button, &isButton::MouseEnter);
        QSignalSpy leaves(&b.button, &isButton::MouseLeave);
        b.perform(steps);
        QTEST(b.button.state(), "state");
        QTEST((QList<int>{int(clicks.count()), int(enters.count()), int(leaves.count())}), "signals");
        QTEST(b.at(at.x(), at.y()), "colour");
    }

    void shadowSquareIncludesFarEdge() {
        // A 19-px icon at (0,0) on a 20x20 button: the shadow square reaches column 19, the frame.
        ShownButton b(QSize(20, 20), 19);
        b.button.setIconAlign(9);
        b.perform(QStringLiteral("enter"));
        QCOMPARE(b.at(19, 10), QColor(0x80, 0x80, 0x80));
    }

    void nothingDrawnBeforeShown() {
        // Only the window background shows through until the button has been shown once.
        ShownButton b(QSize(24, 24), 16, false);
        QCOMPARE((QList<QColor>{b.at(1, 1), b.at(5, 5)}), (QList<QColor>{Qt::green, Qt::green}));
        b.button.show();
        QCOMPARE((QList<QColor>{b.at(1, 1), b.at(5, 5)}), (QList<QColor>{isButton::Lighten(kFace, 32), kRed}));
    }

    void ownIconsRender() {
        const QStringList names = QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")});
        QVERIFY(names.contains(QStringLiteral("zolpane.svg")));
        for (const QString& name : names) {
            const QImage image = ownIcon(QFileInfo(name).baseName()).pixmap(QSize(16, 16), 1.0).toImage();
            int opaque = 0;
            for (int i = 0; i < 256 && image.size() == QSize(16, 16); ++i)
                opaque += qAlpha(image.pixel(i % 16, i / 16)) > 128 ? 1 : 0;
            QVERIFY2(opaque >= 10, qPrintable(name));
        }
    }

    // A deferred icon makes its picture when it is first drawn or measured, once for all its copies; the menu
    // icons of one key are one shared icon.
    void deferredIconMadeOnce() {
        int made = 0;
        const QIcon icon = DeferredIconEngine::icon([&made] {
            ++made;
            return QIcon(QPixmap::fromImage(uniform(8, 8, Qt::red)));
        });
        const QIcon copy = icon;
        QCOMPARE(made, 0);
        QCOMPARE(copy.pixmap(QSize(8, 8), 1.0).toImage().pixelColor(4, 4), QColor(Qt::red));
        QCOMPARE(icon.actualSize(QSize(8, 8)), QSize(8, 8));
        QCOMPARE(made, 1);
        QCOMPARE(MenuIcons::icon("COPY").cacheKey(), MenuIcons::icon("COPY").cacheKey());
        QVERIFY(!MenuIcons::icon("COPY").pixmap(QSize(16, 16), 1.0).isNull());
    }

    void themedIconPrefersTheme() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("zptest/16x16/actions")));
        QVERIFY(writeFile(
            dir.filePath("zptest/index.theme"),
            "[Icon Theme]\nName=zptest\nDirectories=16x16/actions\n\n[16x16/actions]\nSize=16\nType=Fixed\n"));
        QVERIFY(uniform(16, 16, Qt::blue).save(dir.filePath("zptest/16x16/actions/edit-copy.png")));
        QIcon::setThemeSearchPaths({dir.path()});
        QIcon::setThemeName(QStringLiteral("zptest"));
        const QIcon themed = themedIcon("edit-copy", QStringLiteral("copy"));
        QCOMPARE(themed.pixmap(QSize(16, 16), 1.0).toImage().pixelColor(8, 8), QColor(Qt::blue));
        const QIcon own = themedIcon("zp-no-such-icon", QStringLiteral(":/icons/copy.svg"));
        QVERIFY(own.name().isEmpty() && !own.pixmap(QSize(16, 16), 1.0).isNull());
    }
};

ZP_TEST_CLASS(WidgetsTest)
#include "WidgetsTest.moc"
