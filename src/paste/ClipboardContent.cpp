#include "paste/ClipboardContent.h"

#include "paste/KeystrokeText.h"
#include "paste/PasteMethod.h"
#include "richtext/RichTextFormat.h"
#include "richtext/RtfReader.h"
#include "services/CodePage.h"

#include <QMimeData>
#include <QTextDocument>

namespace {

const QString RtfMime = QStringLiteral("text/rtf");
// Qt offers "text/plain" as UTF8_STRING, STRING and TEXT too; some applications ask for this name alone.
const QString Utf8TextMime = QStringLiteral("text/plain;charset=utf-8");

} // namespace

QString withLfLineEnds(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

ClipboardContent clipboardContent(const ClipTable::Clip& clip, int effectiveMethod, const QString& userName) {
    const bool rich = clip.format == ClipTable::Rtf;
    QByteArray rtf;
    QString html;
    QString text;
    if (rich) {
        // Placeholders in rich text are not expanded: the RTF goes out as the clip holds it.
        rtf = CodePage::toAnsi(clip.data);
        const richtext::CodePageConverter codePages{
            [](const QByteArray& bytes, int codePage) { return CodePage::fromAnsi(bytes, codePage); },
            [](const QString& s, int codePage) { return CodePage::toAnsi(s, codePage); }};
        QTextDocument document;
        richtext::readRtf(rtf, document, codePages, CodePage::ansiCodePage());
        html = document.toHtml();
        text = richtext::plainText(document);
    } else if (clip.format != ClipTable::Img) {
        text = clip.format == ClipTable::TxtLong ? clip.data : clip.text;
        ExpandPlaceholders(text, userName);
    }
    text = withLfLineEnds(text);

    const auto make = [&] {
        auto mime = std::make_unique<QMimeData>();
        if (clip.format == ClipTable::Img) {
            mime->setImageData(clip.picture);
            return mime;
        }
        if (rich) {
            mime->setData(RtfMime, rtf);
            mime->setHtml(html);
        }
        mime->setText(text);
        mime->setData(Utf8TextMime, text.toUtf8());
        return mime;
    };
    ClipboardContent content;
    content.clipboard = make();
    if (effectiveMethod == PasteMethod::ShiftInsert)
        content.selection = make();
    if (clip.format != ClipTable::Img)
        content.status = QStringLiteral("Text copied.");
    return content;
}
