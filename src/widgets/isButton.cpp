#include "widgets/isButton.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Buttons smaller than this are grown so the icon and its frame always have room.
constexpr int kMinimumSide = 20;
// Distance of an edge-aligned icon from the button's border.
constexpr int kMargin = 3;
// Colour every differing pixel of the icon square gets under the hover look, forming the shadow.
constexpr QRgb kShadowGrey = 0xFF808080;

// Mouse buttons as recorded in m_lastButton.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kMiddleButton = 4;

int buttonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return kLeftButton;
    case Qt::RightButton:
        return kRightButton;
    case Qt::MiddleButton:
        return kMiddleButton;
    default:
        return 0;
    }
}

// (total - size) / 2 rounded to the nearest integer, halves to the even neighbour.
int centred(int total, int size) {
    const int d = total - size;
    int q = d >= 0 ? d / 2 : -((-d + 1) / 2); // floor division
    if ((d & 1) != 0 && (q & 1) != 0)
        ++q;
    return q;
}

// Greys that a disabled icon keeps as they are.
constexpr std::array<QRgb, 16> kKeptGreys = {0x000000, 0x101010, 0x202020, 0x303030, 0x404040, 0x505050,
                                             0x606060, 0x707070, 0x808080, 0xA0A0A0, 0xB0B0B0, 0xC0C0C0,
                                             0xD0D0D0, 0xE0E0E0, 0xF0F0F0, 0xFFFFFF};

} // namespace

isButton::isButton(QWidget* parent) : QWidget(parent) {
    setMinimumSize(kMinimumSide, kMinimumSide);
    m_backColor = palette().color(QPalette::Button);
    m_highlightColor = palette().color(QPalette::Highlight);
}

void isButton::setIcon(const QIcon& icon) {
    m_icon = icon;
    update();
}

void isButton::setIconSize(int size) {
    m_iconSize = size;
    updateGeometry();
    update();
}

void isButton::setIconAlign(int align) {
    m_iconAlign = align;
    update();
}

void isButton::setButtonEnabled(bool enabled) {
    setEnabled(enabled);
    m_state = Normal;
    update();
}

void isButton::setBackColor(const QColor& color) {
    m_backColor = color;
    update();
}

void isButton::setHighlightColor(const QColor& color) {
    m_highlightColor = color;
    update();
}

void isButton::setToolTipText(const QString& text) {
    setToolTip(text);
    update();
}

QPoint isButton::iconPosition() const {
    const int w = width();
    const int h = height();
    const int s = m_iconSize;
    QPoint pos;
    switch (m_iconAlign) {
    case 0:
        pos = {centred(w, s), centred(h, s)};
        break;
    case 1:
        pos = {kMargin, centred(h, s)};
        break;
    case 2:
        pos = {w - s - kMargin, centred(h, s)};
        break;
    case 3:
        pos = {centred(w, s), kMargin};
        break;
    case 4:
        pos = {centred(w, s), h - s - kMargin};
        break;
    default:
        pos = {0, 0};
        break;
    }
    if (state() == Pressed)
        pos += QPoint(1, 1);
    return pos;
}

QColor isButton::Lighten(const QColor& colour, int amount) {
    amount = std::clamp(amount, 0, 255);
    const auto lift = [amount](int c) { return std::min(255, (255 - amount) * c / 255 + amount); };
    return QColor(lift(colour.red()), lift(colour.green()), lift(colour.blue()));
}

QRgb isButton::grayPixel(QRgb pixel) {
    const QRgb rgb = pixel & 0x00FFFFFF;
    if (std::find(kKeptGreys.begin(), kKeptGreys.end(), rgb) != kKeptGreys.end())
        return pixel;
    // v = g*0.59 + r*0.33 + b*0.11, worked in hundredths so the half-to-even rounding is exact.
    const int hundredths = qGreen(pixel) * 59 + qRed(pixel) * 33 + qBlue(pixel) * 11;
    int v = hundredths / 100;
    const int rest = hundredths % 100;
    if (rest > 50 || (rest == 50 && (v & 1) != 0))
        ++v;
    v = std::min(v, 255);
    return qRgba(v, v, v, qAlpha(pixel));
}

QImage isButton::grayImage(const QImage& image) {
    // Work on straight (not premultiplied) colours so the listed greys are recognised exactly.
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int x = 0; x < out.width(); ++x)
        for (int y = 0; y < out.height(); ++y)
            out.setPixel(x, y, grayPixel(out.pixel(x, y)));
    return out;
}

void isButton::activateByKey() {
    if (!isEnabled())
        return;
    m_lastButton = kLeftButton;
    clickStep();
    m_state = Normal;
    update();
}

QSize isButton::sizeHint() const {
    const int side = std::max(kMinimumSide, m_iconSize + 2 * kMargin + 2);
    return {side, side};
}

QSize isButton::minimumSizeHint() const {
    return {kMinimumSide, kMinimumSide};
}

void isButton::clickStep() {
    if (m_lastButton != kLeftButton)
        return;
    m_state = Hover;
    update();
    Q_EMIT Click();
}

QImage isButton::renderFace() {
    const int w = width();
    const int h = height();
    const qreal dpr = devicePixelRatioF();
    QImage face(QSize(qRound(w * dpr), qRound(h * dpr)), QImage::Format_RGB32);
    face.setDevicePixelRatio(dpr);

    if (!isEnabled())
        m_state = Disabled;

    // The looks follow the desktop's colours; BackColor and HighlightColor are only kept for the caller.
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor buttonFace = palette().color(QPalette::Button);

    QPainter painter(&face);
    if (m_state == Hover || m_state == Pressed) {
        painter.fillRect(QRect(0, 0, w - 1, h - 1), Lighten(highlight, m_state == Hover ? 176 : 128));
        // Frame along (0,0) → (W-1,0) → (W-1,H-1) → (0,H-1) → (0,0), one pixel wide.
        painter.fillRect(QRect(0, 0, w, 1), highlight);
        painter.fillRect(QRect(w - 1, 0, 1, h), highlight);
        painter.fillRect(QRect(0, h - 1, w, 1), highlight);
        painter.fillRect(QRect(0, 0, 1, h), highlight);
    } else {
        painter.fillRect(QRect(0, 0, w, h), Lighten(buttonFace, 32));
    }

    const int s = m_iconSize;
    if (m_icon.isNull() || s <= 0)
        return face;
    const QPixmap pixmap = m_icon.pixmap(QSize(s, s), dpr);
    if (pixmap.isNull())
        return face;

    QPoint pos = iconPosition();
    if (m_state == Hover) {
        painter.drawPixmap(QRect(pos, QSize(s, s)), pixmap);
        painter.end();
        // Everything in the icon square (one pixel wider than the icon, as both ends count) that
        // is not background turns grey: the shadow the raised icon is drawn over.
        const QRgb background = face.pixel(int(dpr), int(dpr));
        const QRect square(QPoint(qRound(pos.x() * dpr), qRound(pos.y() * dpr)),
                           QSize(qRound((s + 1) * dpr), qRound((s + 1) * dpr)));
        const QRect area = square.intersected(face.rect());
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                if (face.pixel(x, y) != background)
                    face.setPixel(x, y, kShadowGrey);
        }
        painter.begin(&face);
        pos -= QPoint(2, 2);
    }

    if (m_state == Disabled) {
        const QImage grey = grayImage(pixmap.toImage());
        if (!grey.isNull())
            painter.drawImage(QRect(pos, QSize(s, s)), grey);
    } else {
        painter.drawPixmap(QRect(pos, QSize(s, s)), pixmap);
    }
    return face;
}

void isButton::paintEvent(QPaintEvent*) {
    if (!m_shown)
        return;
    const QImage face = renderFace();
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), face);
}

void isButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The minimum size normally prevents this; a layout or a direct geometry change can still get below it.
    if (width() < kMinimumSide || height() < kMinimumSide)
        resize(std::max(width(), kMinimumSide), std::max(height(), kMinimumSide));
    update();
}

void isButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_state = Pressed;
        update();
    }
    event->accept();
}

void isButton::mouseReleaseEvent(QMouseEvent* event) {
    m_lastButton = buttonCode(event->button());
    if (event->button() == Qt::LeftButton) {
        m_state = Hover;
        update();
        // A click completes only when the button is let go over the control.
        if (rect().contains(event->position().toPoint()))
            clickStep();
    }
    event->accept();
}

void isButton::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    if (m_mouseInside)
        return;
    m_mouseInside = true;
    m_state = Hover;
    update();
    Q_EMIT MouseEnter();
}

void isButton::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    m_mouseInside = false;
    m_state = Normal;
    update();
    Q_EMIT MouseLeave();
}

void isButton::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        m_state = isEnabled() ? Normal : Disabled;
        update();
        break;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::ThemeChange:
        update();
        break;
    default:
        break;
    }
}

void isButton::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        update();
    }
}
