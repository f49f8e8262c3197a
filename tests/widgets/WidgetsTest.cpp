#include "Icons.h"
#include "isButton.h"

#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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

void sendEnter(QWidget& w) {
    QEnterEvent ev(QPointF(5, 5), QPointF(5, 5), w.mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(&w, &ev);
}

void sendLeave(QWidget& w) {
    QEvent ev(QEvent::Leave);
    QApplication::sendEvent(&w, &ev);
}

QRgb pixelAt(QWidget& w, QPoint p) {
    return w.grab().toImage().pixel(p);
}

} // namespace

class WidgetsTest : public QObject {
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
    void clicks_data();
    void clicks();
    void stateTransitions();
    void rendering_data();
    void rendering();
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
    QTest::newRow("large enough") << QSize(21, 20) << QSize(21, 20);
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
    QTest::newRow("negative align") << QSize(24, 24) << 16 << -1 << false << QPoint(0, 0);
    // Half pixels go to the even neighbour: 4.5 -> 4, 5.5 -> 6, -0.5 -> 0.
    QTest::newRow("half down") << QSize(25, 25) << 16 << 0 << false << QPoint(4, 4);
    QTest::newRow("half up") << QSize(27, 27) << 16 << 0 << false << QPoint(6, 6);
    QTest::newRow("icon larger") << QSize(20, 20) << 21 << 0 << false << QPoint(0, 0);
    QTest::newRow("wide right") << QSize(40, 20) << 16 << 2 << false << QPoint(21, 2);
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
    QTest::newRow("zero amount") << QColor(12, 34, 56) << 0 << QColor(12, 34, 56);
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
    QTest::newRow("listed black") << 0xFF000000u << 0xFF000000u;
    QTest::newRow("90 not listed") << 0xFF909090u << 0xFF949494u;
    QTest::newRow("red") << 0xFFFF0000u << 0xFF545454u;
    QTest::newRow("green") << 0xFF00FF00u << 0xFF969696u;
    QTest::newRow("half to even up") << 0xFF000032u << 0xFF060606u;   // 5.5
    QTest::newRow("half to even down") << 0xFF000096u << 0xFF101010u; // 16.5
    QTest::newRow("limited") << 0xFFFEFEFEu << 0xFFFFFFFFu;
    QTest::newRow("alpha kept") << 0x80909090u << 0x80949494u;
}

void WidgetsTest::grayPixel() {
    QFETCH(uint, pixel);
    QFETCH(uint, expected);
    QCOMPARE(isButton::grayPixel(pixel), QRgb(expected));

    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor::fromRgba(pixel));
    const QImage grey = isButton::grayImage(image);
    QCOMPARE(grey.size(), image.size());
    QCOMPARE(grey.pixel(2, 1), QRgb(expected));
}

void WidgetsTest::clicks_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("clicks");
    QTest::newRow("left") << int(Qt::LeftButton) << QPoint(10, 10) << true << 1;
    QTest::newRow("right") << int(Qt::RightButton) << QPoint(10, 10) << true << 0;
    QTest::newRow("middle") << int(Qt::MiddleButton) << QPoint(10, 10) << true << 0;
    QTest::newRow("left released outside") << int(Qt::LeftButton) << QPoint(40, 40) << true << 0;
    QTest::newRow("disabled left") << int(Qt::LeftButton) << QPoint(10, 10) << false << 0;
}

void WidgetsTest::clicks() {
    QFETCH(int, button);
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, enabled);
    QFETCH(int, clicks);
    ShownButton b(QSize(24, 24));
    b.button.setButtonEnabled(enabled);
    QSignalSpy spy(&b.button, &isButton::Click);
    QTest::mousePress(&b.button, Qt::MouseButton(button), {}, QPoint(10, 10));
    QTest::mouseRelease(&b.button, Qt::MouseButton(button), {}, releaseAt);
    QCOMPARE(spy.count(), clicks);

    spy.clear();
    b.button.activateByKey();
    QCOMPARE(spy.count(), enabled ? 1 : 0);
    QCOMPARE(b.button.state(), enabled ? int(isButton::Normal) : int(isButton::Disabled));
}

void WidgetsTest::stateTransitions() {
    ShownButton b(QSize(24, 24));
    isButton& w = b.button;
    QSignalSpy enters(&w, &isButton::MouseEnter);
    QSignalSpy leaves(&w, &isButton::MouseLeave);
    QCOMPARE(w.state(), int(isButton::Normal));

    sendEnter(w);
    QCOMPARE(w.state(), int(isButton::Hover));
    sendEnter(w); // already inside: nothing more happens
    QCOMPARE(enters.count(), 1);

    QTest::mousePress(&w, Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(w.state(), int(isButton::Hover));
    QTest::mouseRelease(&w, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(w.state(), int(isButton::Pressed));
    QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(w.state(), int(isButton::Hover));

    sendLeave(w);
    QCOMPARE(w.state(), int(isButton::Normal));
    QCOMPARE(leaves.count(), 1);

    sendEnter(w);
    QCOMPARE(enters.count(), 2);
    w.setButtonEnabled(false);
    QCOMPARE(w.state(), int(isButton::Disabled));
    w.setButtonEnabled(true);
    QCOMPARE(w.state(), int(isButton::Normal));
}

void WidgetsTest::rendering_data() {
    QTest::addColumn<QString>("look");
    QTest::addColumn<uint>("iconColour");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QColor>("expected");
    const QColor hoverFill = isButton::Lighten(kHighlight, 176);
    const QColor pressedFill = isButton::Lighten(kHighlight, 128);
    const QColor flat = isButton::Lighten(kFace, 32);
    const QColor red(255, 0, 0);
    const QColor shadow(0x80, 0x80, 0x80);
    // 24x24 button, centred 16-px icon at (4,4).
    QTest::newRow("normal fill") << "normal" << 0u << QPoint(0, 0) << flat;
    QTest::newRow("normal corner") << "normal" << 0u << QPoint(23, 23) << flat;
    QTest::newRow("normal icon") << "normal" << 0xFFFF0000u << QPoint(4, 4) << red;
    QTest::newRow("hover frame top left") << "hover" << 0u << QPoint(0, 0) << kHighlight;
    QTest::newRow("hover frame bottom right") << "hover" << 0u << QPoint(23, 23) << kHighlight;
    QTest::newRow("hover fill") << "hover" << 0u << QPoint(1, 1) << hoverFill;
    QTest::newRow("hover raised icon") << "hover" << 0xFFFF0000u << QPoint(2, 2) << red;
    QTest::newRow("hover raised icon end") << "hover" << 0xFFFF0000u << QPoint(17, 17) << red;
    QTest::newRow("hover shadow") << "hover" << 0xFFFF0000u << QPoint(19, 19) << shadow;
    QTest::newRow("hover shadow edge") << "hover" << 0xFFFF0000u << QPoint(18, 5) << shadow;
    QTest::newRow("hover past shadow") << "hover" << 0xFFFF0000u << QPoint(20, 20) << hoverFill;
    // 20x20 button, 19-px icon at (0,0): the shadow square includes its far edge, here the frame column.
    QTest::newRow("hover square far edge") << "hover corner" << 0xFFFF0000u << QPoint(19, 10) << shadow;
    QTest::newRow("pressed frame") << "pressed" << 0u << QPoint(0, 0) << kHighlight;
    QTest::newRow("pressed fill") << "pressed" << 0xFFFF0000u << QPoint(4, 4) << pressedFill;
    QTest::newRow("pressed icon moved") << "pressed" << 0xFFFF0000u << QPoint(20, 20) << red;
    QTest::newRow("disabled fill") << "disabled" << 0xFFFF0000u << QPoint(1, 1) << flat;
    QTest::newRow("disabled grey icon") << "disabled" << 0xFFFF0000u << QPoint(4, 4) << QColor(84, 84, 84);
    QTest::newRow("disabled listed grey") << "disabled" << 0xFFC0C0C0u << QPoint(4, 4) << QColor(0xC0, 0xC0, 0xC0);
    QTest::newRow("after leave") << "left" << 0xFFFF0000u << QPoint(0, 0) << flat;
}

void WidgetsTest::rendering() {
    QFETCH(QString, look);
    QFETCH(uint, iconColour);
    QFETCH(QPoint, at);
    QFETCH(QColor, expected);
    ShownButton b(QSize(24, 24));
    isButton& w = b.button;
    w.setIconAlign(0);
    if (look == QLatin1String("hover corner")) {
        w.resize(20, 20);
        w.setIconSize(19);
        w.setIconAlign(9);
        look = QStringLiteral("hover");
    }
    if (iconColour != 0) {
        w.setIcon(solidIcon(iconColour));
    }
    if (look == QLatin1String("hover") || look == QLatin1String("left")) {
        sendEnter(w);
    }
    if (look == QLatin1String("left")) {
        sendLeave(w);
    }
    if (look == QLatin1String("pressed")) {
        QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(10, 10));
    }
    if (look == QLatin1String("disabled")) {
        w.setButtonEnabled(false);
    }
    QCOMPARE(QColor(pixelAt(w, at)), expected);
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

QTEST_MAIN(WidgetsTest)
#include "WidgetsTest.moc"
