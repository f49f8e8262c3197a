#pragma once

#include <QByteArray>
#include <QIcon>
#include <QString>

#include <functional>

// The desktop theme's icon when the theme has one under the freedesktop name, otherwise the program's own.
// ownResource is a resource path (":/icons/copy.svg") or just the bare name of one of the program's icons
// ("copy"), which is looked up as ":/icons/copy.svg".
QIcon themedIcon(const char* freedesktopName, const QString& ownResource);

// The program's own icon of that bare name or resource path, ignoring the desktop theme.
QIcon ownIcon(const QString& ownResource);

// The icon kept under key for the whole run, made by make() on the first call only. Windows made again and again
// share it, so Qt's pixmap cache holds one set of its pictures rather than a set for every window ever opened.
QIcon sharedIcon(const QByteArray& key, const std::function<QIcon()>& make);
