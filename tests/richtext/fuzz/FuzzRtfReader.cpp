// The RTF reader and writer on arbitrary bytes in memory (the tokenizer has a target of its own). Besides the
// sanitizers' findings, an input fails when the writer's output is not 7-bit, or when the plain text of the document
// read does not survive writing and reading again. The seeds are the reader's test files (tests/richtext/fixtures/).

#include "FuzzSupport.h"
#include "richtext/RichTextFormat.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "services/CodePage.h"

#include <QTextDocument>

#include <algorithm>

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    FuzzSupport::startApplication((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const richtext::CodePageConverter codePages{
        [](const QByteArray& b, int codePage) { return CodePage::fromAnsi(b, codePage); },
        [](const QString& text, int codePage) { return CodePage::toAnsi(text, codePage); }};
    QTextDocument document;
    richtext::readRtf(bytes, document, codePages, 1252);
    const QByteArray rtf = richtext::writeRtf(document, codePages, 1250);
    check(std::all_of(rtf.begin(), rtf.end(), [](char c) { return uchar(c) < 0x80; }), "the writer's output is 7-bit");
    QTextDocument again;
    richtext::readRtf(rtf, again, codePages, 1252);
    check(richtext::plainText(again) == richtext::plainText(document), "the plain text survives writing and reading");
    return 0;
}
