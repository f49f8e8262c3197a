// The keystroke notation and the escaping of clip text. The input is read as UTF-8 and, unit by unit, as UTF-16
// (which brings lone surrogates). Any string is accepted with keys to send or refused with a place inside it and
// none; a clip's text escaped by EscapeKeystrokes is always accepted and types exactly that text without its curly
// braces, each line break as one Enter and each tab as Tab, with no modifier held. The seeds are notation strings
// and clip texts.

#include "FuzzSupport.h"
#include "paste/KeystrokeParser.h"
#include "paste/KeystrokeText.h"

using FuzzSupport::check;

namespace {

// The keys that type text as it is, worked out directly.
KeyActions typing(const QString& text) {
    KeyActions keys;
    keys.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i++);
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i < text.size() && text.at(i) == u'\n')
                ++i;
            keys.append(KeyAction::special(SpecialKey::Enter));
        } else if (c == u'\t') {
            keys.append(KeyAction::special(SpecialKey::Tab));
        } else if (c.isHighSurrogate() && i < text.size() && text.at(i).isLowSurrogate()) {
            keys.append(KeyAction::typed(QChar::surrogateToUcs4(c, text.at(i++))));
        } else {
            keys.append(KeyAction::typed(c.unicode()));
        }
    }
    return keys;
}

void checkText(const QString& text) {
    const KeystrokeParseResult any = KeystrokeParser::parse(text);
    check(any.ok() ? any.position == -1 : any.actions.isEmpty() && any.position >= 0 && any.position <= text.size(),
          "accepted with keys, or refused at a place inside the string with none");
    QString escaped = text;
    EscapeKeystrokes(escaped);
    const KeystrokeParseResult typed = KeystrokeParser::parse(escaped);
    check(typed.ok(), "escaped text is accepted");
    QString withoutBraces = text;
    withoutBraces.remove(u'{').remove(u'}');
    check(typed.actions == typing(withoutBraces), "escaped text types itself");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    FuzzSupport::startApplication((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes = FuzzSupport::bytesOf(data, size);
    checkText(QString::fromUtf8(bytes));
    checkText(QString(reinterpret_cast<const QChar*>(data), qsizetype(size / 2)));
    return 0;
}
