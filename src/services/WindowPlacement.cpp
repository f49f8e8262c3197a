#include "services/WindowPlacement.h"

#include "services/Settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

QRect screenRect() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

const QString WindowPos = QStringLiteral("WindowPos");
const QString WindowSize = QStringLiteral("WindowSize");

} // namespace

namespace WindowPlacement {

int clampedLeft(int storedX, int screenWidth, int formWidth) {
    if (storedX < -200)
        return 0;
    if (storedX > screenWidth - formWidth)
        return screenWidth - formWidth;
    return storedX;
}

int clampedTop(int storedY, int screenHeight, int formHeight) {
    if (storedY > -200 && storedY < screenHeight - formHeight)
        return storedY;
    return screenHeight - formHeight - 1000;
}

void CenterHorizontally(QWidget& form) {
    form.move((screenRect().width() - form.frameGeometry().width()) / 2, form.y());
}

void CenterVertically(QWidget& form) {
    form.move(form.x(), (screenRect().height() - form.frameGeometry().height()) / 2);
}

void RestoreWindowPosition(QWidget& form, const QString& formName, Settings& settings, double twipsX, double twipsY) {
    if (settings.ReadSetting(WindowSize, formName + QStringLiteral("S")) == QLatin1String("maxi")) {
        form.setWindowState(form.windowState() | Qt::WindowMaximized);
        return;
    }
    const QString x = settings.ReadSetting(WindowPos, formName + QStringLiteral("X"));
    const QString y = settings.ReadSetting(WindowPos, formName + QStringLiteral("Y"));
    if (x.isEmpty()) {
        CenterHorizontally(form);
        CenterVertically(form);
        return;
    }
    const QRect screen = screenRect();
    const QRect frame = form.frameGeometry();
    const int left =
        clampedLeft(Settings::toInt(Settings::valueOf(x)), int(screen.width() * twipsX), int(frame.width() * twipsX));
    int top = int(form.y() * twipsY);
    if (!y.isEmpty())
        top = clampedTop(Settings::toInt(Settings::valueOf(y)), int(screen.height() * twipsY),
                         int(frame.height() * twipsY));
    form.move(int(std::lround(left / twipsX)), int(std::lround(top / twipsY)));
}

void SaveWindowPosition(const QWidget& form, const QString& formName, Settings& settings, double twipsX,
                        double twipsY) {
    const QPoint pos = form.pos();
    settings.WriteSetting(WindowPos, formName + QStringLiteral("X"), QString::number(std::lround(pos.x() * twipsX)));
    settings.WriteSetting(WindowPos, formName + QStringLiteral("Y"), QString::number(std::lround(pos.y() * twipsY)));
}

void RestoreWindowSize(QWidget& form, const QString& formName, Settings& settings, double twipsX, double twipsY) {
    if (settings.ReadSetting(WindowSize, formName + QStringLiteral("S")) == QLatin1String("maxi")) {
        // A maximized window stays maximized; centring only sets where it returns to when restored.
        CenterHorizontally(form);
        CenterVertically(form);
        return;
    }
    const QString w = settings.ReadSetting(WindowSize, formName + QStringLiteral("X"));
    const QString h = settings.ReadSetting(WindowSize, formName + QStringLiteral("Y"));
    if (w.isEmpty() || h.isEmpty())
        return;
    // No window grows past the screen, as the window manager of the platform the file comes from keeps it; a
    // damaged file cannot ask for a window (and its backing store) of any size.
    const QRect screen = screenRect();
    const int width = std::min(Settings::toInt(std::round(Settings::valueOf(w) / twipsX)), screen.width());
    const int height = std::min(Settings::toInt(std::round(Settings::valueOf(h) / twipsY)), screen.height());
    if (width > 0 && height > 0)
        form.resize(width, height);
}

void SaveWindowSize(const QWidget& form, const QString& formName, Settings& settings, double twipsX, double twipsY) {
    settings.WriteSetting(WindowSize, formName + QStringLiteral("S"),
                          form.isMaximized() ? QStringLiteral("maxi") : QStringLiteral("norm"));
    settings.WriteSetting(WindowSize, formName + QStringLiteral("X"),
                          QString::number(std::lround(form.width() * twipsX)));
    settings.WriteSetting(WindowSize, formName + QStringLiteral("Y"),
                          QString::number(std::lround(form.height() * twipsY)));
}

} // namespace WindowPlacement
