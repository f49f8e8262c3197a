// The RTF tokenizer alone, on arbitrary bytes in memory: besides the sanitizers' findings, an input fails when a
// token lies outside the input or takes no byte. The seeds are the reader's test files (tests/richtext/fixtures/).

#include "FuzzSupport.h"
#include "richtext/RtfTokenizer.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes = FuzzSupport::bytesOf(data, size);
    const auto inside = [&](QByteArrayView view) {
        return view.isEmpty() || (view.data() >= bytes.data() && view.data() + view.size() <= bytes.data() + size);
    };
    richtext::RtfTokenizer tokenizer(bytes);
    for (qsizetype left = tokenizer.remaining();;) {
        const richtext::RtfTokenizer::Token token = tokenizer.next();
        if (token.type == richtext::RtfTokenizer::Type::End)
            break;
        check(inside(token.text) && inside(token.word), "a token lies inside the input");
        check(tokenizer.remaining() < left, "a token takes a byte");
        left = tokenizer.remaining();
    }
    return 0;
}
