#pragma once

#include "project/ClipTable.h"

#include <QMimeData>
#include <QString>

#include <memory>

// What a copy puts on the clipboard for one clip, in every form Linux applications ask for.
struct ClipboardContent {
    std::unique_ptr<QMimeData> clipboard;
    // The same content for the primary selection, which terminals paste on Shift+Insert; only for that method.
    std::unique_ptr<QMimeData> selection;
    // "Text copied." for text and rich text, "" for a picture.
    QString status;
};

// Text clips as plain text with placeholders expanded; rich text as its RTF source first (word processors take
// the first form they know), then the document the RTF reader builds from it as HTML (browsers and Qt/GTK rich
// editors keep the formatting) and as plain text; a picture as an image. Plain text has LF line ends.
ClipboardContent clipboardContent(const ClipTable::Clip& clip, int effectiveMethod, const QString& userName);

// Line ends as Linux applications expect them: CR LF and a lone CR become LF. Projects keep CR LF; text that
// leaves the program for the clipboard or the keyboard goes through this.
QString withLfLineEnds(QString text);
