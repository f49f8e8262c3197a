// The pure parts of the Wayland backend: the keymaps a virtual keyboard types with, and the forms a clip is
// offered in on the Wayland clipboard.

#include "TestSupport.h"
#include "platform/ClipboardPipes.h"
#include "platform/wayland/VirtualKeymap.h"

#include <QBuffer>
#include <QMimeData>

#include <xkbcommon/xkbcommon.h>

using TestSupport::columns;
using TestSupport::fetch;

namespace {

// What a client makes of a part's keymap and strokes: the text each stroke types, "+C"/"+S"/"+A" for the
// modifiers held around it, as xkbcommon reads the keymap.
QString typed(const VirtualKeymap::Part& part) {
    xkb_context* context =
        xkb_context_new(xkb_context_flags(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    xkb_keymap* keymap = xkb_keymap_new_from_string(context, part.keymap.constData(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                                    XKB_KEYMAP_COMPILE_NO_FLAGS);
    QString text = keymap ? QString() : QStringLiteral("(keymap not compiled)");
    xkb_state* state = keymap ? xkb_state_new(keymap) : nullptr;
    for (const VirtualKeymap::Stroke& stroke : keymap ? part.strokes : QList<VirtualKeymap::Stroke>()) {
        xkb_state_update_mask(state, stroke.modifiers, 0, 0, 0, 0, 0);
        for (const auto& [name, mark] :
             {std::pair{XKB_MOD_NAME_CTRL, "+C"}, {XKB_MOD_NAME_SHIFT, "+S"}, {XKB_MOD_NAME_ALT, "+A"}})
            if (xkb_state_mod_name_is_active(state, name, XKB_STATE_MODS_EFFECTIVE) > 0)
                text += QLatin1String(mark);
        const xkb_keysym_t sym = xkb_state_key_get_one_sym(state, stroke.key + 8);
        char name[64];
        xkb_keysym_get_name(sym, name, sizeof name);
        const char32_t c = xkb_keysym_to_utf32(sym);
        text += c >= 0x20 && c != 0x7f ? QString::fromUcs4(&c, 1) : QStringLiteral("<%1>").arg(QLatin1String(name));
    }
    xkb_state_unref(state);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return text;
}

KeyActions typedText(const QString& text) {
    KeyActions keys;
    for (char32_t c : text.toUcs4())
        keys.append(KeyAction::typed(c));
    return keys;
}

} // namespace

class WaylandTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keymaps_data() {
        columns<KeyActions, QString>("keys", "typed");
        const QString czech = QStringLiteral("Příliš žluťoučký kůň € „x“ ×");
        QTest::newRow("characters of no layout") << typedText(czech) << czech;
        QTest::newRow("shortcuts and special keys")
            << KeyActions{KeyAction::typed('v', ControlModifier),
                          KeyAction::special(SpecialKey::Insert, ShiftModifier),
                          KeyAction::typed('\n'),
                          KeyAction::special(SpecialKey::F12, AltModifier | ShiftModifier),
                          KeyAction::typed(0x1f600),
                          KeyAction::typed(0x07)}
            << QStringLiteral("+Cv+S<Insert><Return>+S+A<F12>\U0001F600");
    }
    void keymaps() {
        const auto [keys, expected] = fetch<KeyActions, QString>("keys", "typed");
        const QList<VirtualKeymap::Part> parts = VirtualKeymap::plan(keys);
        QCOMPARE(parts.size(), 1);
        QCOMPARE(typed(parts.first()), expected);
    }

    void manyDistinctCharactersTakeSeveralKeymaps() {
        // More distinct characters than one keymap has keys: each part types its share, in order.
        QString text;
        for (char32_t c = 0x4e00; c < 0x4e00 + VirtualKeymap::KeysPerKeymap + 10; ++c)
            text += QString::fromUcs4(&c, 1);
        text += text.left(3);
        const QList<VirtualKeymap::Part> parts = VirtualKeymap::plan(typedText(text));
        QCOMPARE(parts.size(), 2);
        QCOMPARE(typed(parts[0]) + typed(parts[1]), text);
        QCOMPARE(parts[0].strokes.size(), VirtualKeymap::KeysPerKeymap);
    }

    void clipboardForms_data() {
        columns<QString, QString, QString>("kind", "offered", "utf8 and STRING");
        QTest::newRow("text") << "text"
                              << "text/plain text/plain;charset=utf-8 UTF8_STRING TEXT STRING"
                              << "Grüße € | Grüße ?";
        QTest::newRow("rich text") << "rich"
                                   << "text/rtf text/html text/plain text/plain;charset=utf-8 UTF8_STRING TEXT STRING"
                                   << "Grüße € | Grüße ?";
        QTest::newRow("picture") << "picture"
                                 << "image/png image/bmp"
                                 << " | ";
    }
    void clipboardForms() {
        const auto [kind, offered, texts] = fetch<QString, QString, QString>("kind", "offered", "utf8 and STRING");
        QMimeData content;
        const QImage picture = TestSupport::uniform(3, 2, Qt::red);
        if (kind == QLatin1String("picture")) {
            content.setImageData(picture);
        } else {
            if (kind == QLatin1String("rich")) {
                content.setData(QStringLiteral("text/rtf"), "{\\rtf1 Gr\\'fc\\'dfe}");
                content.setHtml(QStringLiteral("<b>Grüße €</b>"));
            }
            content.setText(QStringLiteral("Grüße €"));
            content.setData(QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("Grüße €").toUtf8());
        }
        QCOMPARE(ClipboardForms::offered(content).join(' '), offered.toLatin1());
        QCOMPARE(QString::fromUtf8(ClipboardForms::data(content, "UTF8_STRING")) + " | " +
                     QString::fromLatin1(ClipboardForms::data(content, "STRING")),
                 texts);
        QVERIFY(ClipboardForms::data(content, "application/x-unknown").isEmpty());
        if (kind == QLatin1String("rich"))
            QCOMPARE(ClipboardForms::data(content, "text/rtf"), QByteArray("{\\rtf1 Gr\\'fc\\'dfe}"));
        if (kind == QLatin1String("picture")) {
            for (const char* type : {"image/png", "image/bmp"})
                QCOMPARE(QImage::fromData(ClipboardForms::data(content, type)).convertToFormat(picture.format()),
                         picture);
        }
    }
};

ZP_TEST_CLASS(WaylandTest)
#include "WaylandTest.moc"
