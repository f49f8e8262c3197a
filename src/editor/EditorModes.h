#pragma once

#include <QString>

// The clip editor's modes as EditorMode holds them, and the clipboard form of rich text.
namespace EditorModes {

inline const QString Txt = QStringLiteral("txt");
inline const QString Rtf = QStringLiteral("rtf");
inline const QString Img = QStringLiteral("img");
inline const QString RtfMime = QStringLiteral("text/rtf");

} // namespace EditorModes
