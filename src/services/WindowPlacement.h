#pragma once

#include <QString>

class QWidget;
class Settings;

// Window positions and sizes kept in settings.ini, in twips: [WindowPos] <form>X / <form>Y and
// [WindowSize] <form>S ("maxi"/"norm"), <form>X, <form>Y.
namespace WindowPlacement {

// The stored left edge, clamped so that the window stays reachable (all values in twips).
int clampedLeft(int storedX, int screenWidth, int formWidth);
// The stored top edge; a value that would not fit puts the window 1000 twips above the lowest place where
// it still fits.
int clampedTop(int storedY, int screenHeight, int formHeight);

void RestoreWindowPosition(QWidget& form, const QString& formName, Settings& settings, double twipsX, double twipsY);
void SaveWindowPosition(const QWidget& form, const QString& formName, Settings& settings, double twipsX, double twipsY);
void RestoreWindowSize(QWidget& form, const QString& formName, Settings& settings, double twipsX, double twipsY);
void SaveWindowSize(const QWidget& form, const QString& formName, Settings& settings, double twipsX, double twipsY);
void CenterHorizontally(QWidget& form);
void CenterVertically(QWidget& form);

} // namespace WindowPlacement
