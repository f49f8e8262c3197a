// Feeds arbitrary bytes, in memory, to the RTF tokenizer alone and then to the reader and the writer. Besides the
// sanitizers' findings, an input fails when a token lies outside the input or takes no byte, when the writer's
// output is not 7-bit, or when the plain text of the document read does not survive writing and reading again.
// The seeds are the reader's test files (tests/richtext/fixtures/).

#include "richtext/RichTextFormat.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfTokenizer.h"
#include "richtext/RtfWriter.h"
#include "services/CodePage.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

void checkTokens(QByteArrayView bytes) {
    richtext::RtfTokenizer tokenizer(bytes);
    const auto inside = [&](QByteArrayView view) {
        return view.isEmpty() ||
               (view.data() >= bytes.data() && view.data() + view.size() <= bytes.data() + bytes.size());
    };
    for (qsizetype left = tokenizer.remaining();;) {
        const richtext::RtfTokenizer::Token token = tokenizer.next();
        if (token.type == richtext::RtfTokenizer::Type::End)
            break;
        if (!inside(token.text) || !inside(token.word))
            fail("token outside the input");
        if (tokenizer.remaining() >= left)
            fail("token took no byte");
        left = tokenizer.remaining();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int appArgc = 1;
    static char* appArgv[] = {(*argv)[0], nullptr};
    static QGuiApplication app(appArgc, appArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    checkTokens(bytes);
    const richtext::CodePageConverter codePages{
        [](const QByteArray& b, int codePage) { return CodePage::fromAnsi(b, codePage); },
        [](const QString& text, int codePage) { return CodePage::toAnsi(text, codePage); }};
    QTextDocument document;
    richtext::readRtf(bytes, document, codePages, 1252);
    const QByteArray rtf = richtext::writeRtf(document, codePages, 1250);
    for (const char c : rtf)
        if (uchar(c) >= 0x80)
            fail("writer output not 7-bit");
    QTextDocument again;
    richtext::readRtf(rtf, again, codePages, 1252);
    if (richtext::plainText(again) != richtext::plainText(document))
        fail("plain text changed by writing and reading");
    return 0;
}
