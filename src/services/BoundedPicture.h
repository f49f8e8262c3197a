#pragma once

#include <QImage>

class QImageReader;

// Reads a picture no larger than its file can honestly hold. Compressed pictures decode to more than their file's
// size, but not to an unbounded amount: a header that claims far more pixels than fileBytes allow (a top-down
// bitmap gives a negative height) is refused before anything is allocated, formats that tell no size in advance are
// held to the limit by Qt while decoding (to the MiB), and the result is checked afterwards. Null when refused or
// unreadable.
QImage readBoundedPicture(QImageReader& reader, qint64 fileBytes);
