#include "widgets/Icons.h"
#include "widgets/isButton.h"

#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QColor kHighlight(0, 0, 200);
const QColor kFace(200, 200, 200);

// A button with fixed desktop colours, shown so that it paints.
struct ShownButton {
    isButton button;
    explicit ShownButton(QSize size, int iconSize = 16, bool show = true) {
        QPalette pal = button.palette();
        pal.setColor(QPalette::Highlight, kHighlight);
        pal.setColor(QPalette::Button, kFace);
        pal.setColor(QPalette::Window, Qt::green);
        button.setPalette(pal);
        button.setIconSize(iconSize);
        button.resize(size);
        if (show) {
            button.show();
        }
    }
};

QIcon solidIcon(QRgb colour) {
    QPixmap pm(16, 16);
    pm.fill(QColor::fromRgb(colour));
    return QIcon(pm);
}

// Drives the button through a space-separated list of steps, as the user and the holding form would.
void perform(isButton& w, const QString& steps) {
    for (const QString& step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (step == QLatin1String("enter")) {
            QEnterEvent ev(QPointF(5, 5), QPointF(5, 5), w.mapToGlobal(QPointF(5, 5)));
            QApplication::sendEvent(&w, &ev);
        } else if (step == QLatin1String("leave")) {
            QEvent ev(QEvent::Leave);
            QApplication::sendEvent(&w, &ev);
        } else if (step == QLatin1String("lpress") || step == QLatin1String("rpress")) {
            QTest::mousePress(&w, step[0] == QLatin1Char('l') ? Qt::LeftButton : Qt::RightButton, {}, QPoint(10, 10));
        } else if (step == QLatin1String("lrelease") || step == QLatin1String("rrelease")) {
            QTest::mouseRelease(&w, step[0] == QLatin1Char('l') ? Qt::LeftButton : Qt::RightButton, {}, QPoint(10, 10));
        } else if (step == QLatin1String("lrelease-outside")) {
            QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(40, 40));
        } else if (step == QLatin1String("key")) {
            w.activateByKey();
        } else if (step == QLatin1String("disable") || step == QLatin1String("enable")) {
            w.setButtonEnabled(step == QLatin1String("enable"));
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }
}

} // namespace

class WidgetsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void minimumSize_data();
    void minimumSize();
    void iconPosition_data();
    void iconPosition();
    void lighten_data();
    void lighten();
    void grayPixel_data();
    void grayPixel();
    void mouse_data();
    void mouse();
    void rendering_data();
    void rendering();
    void shadowSquareIncludesFarEdge();
    void nothingDrawnBeforeShown();
    void ownIconsRender();
    void themedIconPrefersTheme();
};

void WidgetsTest::minimumSize_data() {
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("narrow") << QSize(10, 24) << QSize(20, 24);
    QTest::newRow("low") << QSize(30, 8) << QSize(30, 20);
    QTest::newRow("tiny") << QSize(1, 1) << QSize(20, 20);
}

void WidgetsTest::minimumSize() {
    QFETCH(QSize, requested);
    QFETCH(QSize, expected);
    isButton button;
    button.resize(requested);
    QCOMPARE(button.size(), expected);
    button.show();
    button.resize(requested);
    QCOMPARE(button.size(), expected);
}

void WidgetsTest::iconPosition_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("iconSize");
    QTest::addColumn<int>("align");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("centred") << QSize(24, 24) << 16 << 0 << false << QPoint(4, 4);
    QTest::newRow("centred pressed") << QSize(24, 24) << 16 << 0 << true << QPoint(5, 5);
    QTest::newRow("left") << QSize(24, 24) << 16 << 1 << false << QPoint(3, 4);
    QTest::newRow("right") << QSize(24, 24) << 16 << 2 << false << QPoint(5, 4);
    QTest::newRow("top") << QSize(24, 24) << 16 << 3 << false << QPoint(4, 3);
    QTest::newRow("bottom") << QSize(24, 24) << 16 << 4 << false << QPoint(4, 5);
    QTest::newRow("unknown align") << QSize(24, 24) << 16 << 9 << false << QPoint(0, 0);
    // Half pixels go to the even neighbour: 4.5 -> 4, 5.5 -> 6, -0.5 -> 0.
    QTest::newRow("half down") << QSize(25, 25) << 16 << 0 << false << QPoint(4, 4);
    QTest::newRow("half up") << QSize(27, 27) << 16 << 0 << false << QPoint(6, 6);
    QTest::newRow("icon larger") << QSize(20, 20) << 21 << 0 << false << QPoint(0, 0);
}

void WidgetsTest::iconPosition() {
    QFETCH(QSize, size);
    QFETCH(int, iconSize);
    QFETCH(int, align);
    QFETCH(bool, pressed);
    QFETCH(QPoint, expected);
    ShownButton b(size, iconSize);
    b.button.setIconAlign(align);
    if (pressed) {
        QTest::mousePress(&b.button, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(b.button.state(), int(isButton::Pressed));
    }
    QCOMPARE(b.button.iconPosition(), expected);
}

void WidgetsTest::lighten_data() {
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("amount");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("black 176") << QColor(0, 0, 0) << 176 << QColor(176, 176, 176);
    QTest::newRow("white stays") << QColor(255, 255, 255) << 176 << QColor(255, 255, 255);
    QTest::newRow("truncating 128") << QColor(100, 50, 200) << 128 << QColor(177, 152, 227);
    QTest::newRow("face 32") << QColor(51, 0, 255) << 32 << QColor(76, 32, 255);
    QTest::newRow("full amount") << QColor(12, 34, 56) << 255 << QColor(255, 255, 255);
}

void WidgetsTest::lighten() {
    QFETCH(QColor, colour);
    QFETCH(int, amount);
    QFETCH(QColor, expected);
    QCOMPARE(isButton::Lighten(colour, amount), expected);
}

void WidgetsTest::grayPixel_data() {
    QTest::addColumn<uint>("pixel");
    QTest::addColumn<uint>("expected");
    QTest::newRow("listed C0") << 0xFFC0C0C0u << 0xFFC0C0C0u;
    QTest::newRow("listed white") << 0xFFFFFFFFu << 0xFFFFFFFFu;
    QTest::newRow("90 not listed") << 0xFF909090u << 0xFF949494u;
    QTest::newRow("red") << 0xFFFF0000u << 0xFF545454u;
    QTest::newRow("limited to 255") << 0xFFFEFEFEu << 0xFFFFFFFFu;
    QTest::newRow("half to even up") << 0xFF000032u << 0xFF060606u;   // 5.5
    QTest::newRow("half to even down") << 0xFF000096u << 0xFF101010u; // 16.5
    QTest::newRow("alpha kept") << 0x80909090u << 0x80949494u;
}

void WidgetsTest::grayPixel() {
    QFETCH(uint, pixel);
    QFETCH(uint, expected);
    QCOMPARE(isButton::grayPixel(pixel), QRgb(expected));
}

void WidgetsTest::mouse_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("enters");
    QTest::addColumn<int>("leaves");
    QTest::newRow("enter") << "enter" << int(isButton::Hover) << 0 << 1 << 0;
    QTest::newRow("moves inside") << "enter enter" << int(isButton::Hover) << 0 << 1 << 0;
    QTest::newRow("left down") << "enter lpress" << int(isButton::Pressed) << 0 << 1 << 0;
    QTest::newRow("left click") << "enter lpress lrelease" << int(isButton::Hover) << 1 << 1 << 0;
    QTest::newRow("right click") << "enter rpress rrelease" << int(isButton::Hover) << 0 << 1 << 0;
    QTest::newRow("let go outside") << "enter lpress lrelease-outside" << int(isButton::Hover) << 0 << 1 << 0;
    QTest::newRow("leave") << "enter leave" << int(isButton::Normal) << 0 << 1 << 1;
    QTest::newRow("enter again") << "enter leave enter" << int(isButton::Hover) << 0 << 2 << 1;
    QTest::newRow("access key") << "enter key" << int(isButton::Normal) << 1 << 1 << 0;
    QTest::newRow("disabled") << "enter disable" << int(isButton::Disabled) << 0 << 1 << 0;
    QTest::newRow("disabled key") << "disable key" << int(isButton::Disabled) << 0 << 0 << 0;
    QTest::newRow("disabled click") << "disable lpress lrelease" << int(isButton::Disabled) << 0 << 0 << 0;
    QTest::newRow("enabled again") << "enter disable enable" << int(isButton::Normal) << 0 << 1 << 0;
}

void WidgetsTest::mouse() {
    QFETCH(QString, steps);
    QFETCH(int, state);
    QFETCH(int, clicks);
    QFETCH(int, enters);
    QFETCH(int, leaves);
    ShownButton b(QSize(24, 24));
    QSignalSpy clickSpy(&b.button, &isButton::Click);
    QSignalSpy enterSpy(&b.button, &isButton::MouseEnter);
    QSignalSpy leaveSpy(&b.button, &isButton::MouseLeave);
    perform(b.button, steps);
    QCOMPARE(b.button.state(), state);
    QCOMPARE(clickSpy.count(), clicks);
    QCOMPARE(enterSpy.count(), enters);
    QCOMPARE(leaveSpy.count(), leaves);
}

void WidgetsTest::rendering_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<uint>("iconColour");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QColor>("expected");
    const QColor hoverFill = isButton::Lighten(kHighlight, 176);
    const QColor flat = isButton::Lighten(kFace, 32);
    const QColor red(255, 0, 0);
    const QColor shadow(0x80, 0x80, 0x80);
    // 24x24 button, centred 16-px icon at (4,4).
    QTest::newRow("normal fill") << "" << 0u << QPoint(0, 0) << flat;
    QTest::newRow("normal icon") << "" << 0xFFFF0000u << QPoint(4, 4) << red;
    QTest::newRow("hover frame top left") << "enter" << 0u << QPoint(0, 0) << kHighlight;
    QTest::newRow("hover frame bottom right") << "enter" << 0u << QPoint(23, 23) << kHighlight;
    QTest::newRow("hover fill") << "enter" << 0u << QPoint(1, 1) << hoverFill;
    QTest::newRow("hover raised icon") << "enter" << 0xFFFF0000u << QPoint(2, 2) << red;
    QTest::newRow("hover shadow") << "enter" << 0xFFFF0000u << QPoint(19, 19) << shadow;
    QTest::newRow("hover past shadow") << "enter" << 0xFFFF0000u << QPoint(20, 20) << hoverFill;
    QTest::newRow("pressed fill") << "enter lpress" << 0xFFFF0000u << QPoint(4, 4)
                                  << isButton::Lighten(kHighlight, 128);
    QTest::newRow("pressed icon moved") << "enter lpress" << 0xFFFF0000u << QPoint(20, 20) << red;
    QTest::newRow("disabled grey icon") << "disable" << 0xFFFF0000u << QPoint(4, 4) << QColor(84, 84, 84);
    QTest::newRow("disabled listed grey") << "disable" << 0xFFC0C0C0u << QPoint(4, 4) << QColor(0xC0, 0xC0, 0xC0);
    QTest::newRow("after leave") << "enter leave" << 0xFFFF0000u << QPoint(0, 0) << flat;
}

void WidgetsTest::rendering() {
    QFETCH(QString, steps);
    QFETCH(uint, iconColour);
    QFETCH(QPoint, at);
    QFETCH(QColor, expected);
    ShownButton b(QSize(24, 24));
    b.button.setIconAlign(0);
    if (iconColour != 0) {
        b.button.setIcon(solidIcon(iconColour));
    }
    perform(b.button, steps);
    QCOMPARE(QColor(b.button.grab().toImage().pixel(at)), expected);
}

void WidgetsTest::shadowSquareIncludesFarEdge() {
    // A 19-px icon at (0,0) on a 20x20 button: the shadow square reaches column 19, the frame.
    ShownButton b(QSize(20, 20), 19);
    b.button.setIconAlign(9);
    b.button.setIcon(solidIcon(0xFFFF0000));
    perform(b.button, QStringLiteral("enter"));
    QCOMPARE(QColor(b.button.grab().toImage().pixel(19, 10)), QColor(0x80, 0x80, 0x80));
}

void WidgetsTest::nothingDrawnBeforeShown() {
    ShownButton b(QSize(24, 24), 16, false);
    b.button.setIcon(solidIcon(0xFFFF0000));
    // Only the window background shows through until the button has been shown once.
    const QImage before = b.button.grab().toImage();
    QCOMPARE(QColor(before.pixel(1, 1)), QColor(Qt::green));
    QCOMPARE(QColor(before.pixel(5, 5)), QColor(Qt::green));
    b.button.show();
    const QImage after = b.button.grab().toImage();
    QCOMPARE(QColor(after.pixel(1, 1)), isButton::Lighten(kFace, 32));
    QCOMPARE(QColor(after.pixel(5, 5)), QColor(Qt::red));
}

void WidgetsTest::ownIconsRender() {
    const QStringList names = QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")});
    QVERIFY(names.contains(QStringLiteral("zolpane.svg")));
    for (const QString& name : names) {
        const QImage image = ownIcon(QFileInfo(name).baseName()).pixmap(QSize(16, 16), 1.0).toImage();
        QVERIFY2(image.size() == QSize(16, 16), qPrintable(name));
        int opaque = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
            }
        }
        QVERIFY2(opaque >= 10, qPrintable(name));
    }
}

void WidgetsTest::themedIconPrefersTheme() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QDir(dir.path()).mkpath(QStringLiteral("zptest/16x16/actions"));
    QFile index(dir.filePath(QStringLiteral("zptest/index.theme")));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=zptest\nDirectories=16x16/actions\n\n[16x16/actions]\nSize=16\nType=Fixed\n");
    index.close();
    QImage blue(16, 16, QImage::Format_ARGB32);
    blue.fill(Qt::blue);
    QVERIFY(blue.save(dir.filePath(QStringLiteral("zptest/16x16/actions/edit-copy.png"))));
    QIcon::setThemeSearchPaths({dir.path()});
    QIcon::setThemeName(QStringLiteral("zptest"));

    const QIcon themed = themedIcon("edit-copy", QStringLiteral("copy"));
    QCOMPARE(themed.name(), QStringLiteral("edit-copy"));
    QCOMPARE(QColor(themed.pixmap(QSize(16, 16), 1.0).toImage().pixel(8, 8)), QColor(Qt::blue));

    const QIcon own = themedIcon("zp-no-such-icon", QStringLiteral(":/icons/copy.svg"));
    QVERIFY(own.name().isEmpty());
    QVERIFY(!own.pixmap(QSize(16, 16), 1.0).isNull());
}

std::unique_ptr<QObject> widgetsTest() {
    return std::make_unique<WidgetsTest>();
}

#include "WidgetsTest.moc"
