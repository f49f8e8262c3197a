#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace richtext {

// Converts the bytes of a Windows code page to text and back. The program passes its own code-page service, which
// gives "?" for characters the code page lacks; this folder may not include it, so it is handed in.
struct CodePageConverter {
    std::function<QString(const QByteArray&, int codePage)> decode;
    std::function<QByteArray(const QString&, int codePage)> encode;
};

} // namespace richtext
