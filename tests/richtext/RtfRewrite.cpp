// Prints the RTF the writer makes of an RTF file the reader reads: rtf_rewrite FILE [CODEPAGE].
#include "RichTextTestUtil.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QFile file(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "usage: rtf_rewrite FILE [CODEPAGE]\n");
        return 2;
    }
    const int codePage = argc > 2 ? QByteArray(argv[2]).toInt() : 1252;
    const richtext::CodePageConverter codePages = RichTextTestUtil::codePages();
    QTextDocument document;
    richtext::readRtf(file.readAll(), document, codePages, codePage);
    const QByteArray rtf = richtext::writeRtf(document, codePages, codePage);
    std::fwrite(rtf.constData(), 1, size_t(rtf.size()), stdout);
    return 0;
}
