#include "widgets/MenuIcons.h"

#include "widgets/DeferredIconEngine.h"
#include "widgets/Icons.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace MenuIcons {

QIcon icon(const char* key) {
    struct Entry {
        const char* theme;
        const char* own;
    };
    static const QHash<QByteArray, Entry> table = {
        {"ZOLPANE", {nullptr, "zolpane"}},
        {"COPY", {"edit-copy", "copy"}},
        {"CONFIGURE", {"document-edit", "edit"}},
        {"PROPERTIES", {"document-properties", "properties"}},
        {"OPEN", {"document-open", "open"}},
        {"SAVE", {"document-save", "save"}},
        {"HOME", {"go-home", "home"}},
        {"UP", {"go-up", "arrow-up"}},
        {"DOWN", {"go-down", "arrow-down"}},
        {"PINON", {nullptr, "pin-on"}},
        {"PINOFF", {nullptr, "pin-off"}},
        {"DOCUMENT", {"document-new", "new"}},
        {"EXPORTCURRENT", {"document-export", "save"}},
        {"DELETE", {"edit-delete", "delete"}},
        {"STAR", {"starred", "quickslot"}},
        {"QUICKSLOT", {nullptr, "quickslot"}},
        {"TRAY", {nullptr, "zolpane"}},
        {"EXIT", {"application-exit", "exit"}},
        {"WRENCH", {"preferences-system", "settings"}},
        {"RECYCLE", {"edit-clear", "clean"}},
        {"HELP", {"help-contents", "help"}},
        {"EMAIL", {"mail-send", "about"}},
        {"NET", {"internet-web-browser", "about"}},
        {"INFO", {"help-about", "about"}},
        {"CLIPBOARDFORMAT", {nullptr, "case"}},
        {"DATE", {nullptr, "date"}},
        {"TIME", {nullptr, "time"}},
        {"DIACRITICS", {nullptr, "diacritics"}},
        {"REVERSE", {nullptr, "reverse"}},
        {"CLIPBOARD", {nullptr, "clipboard"}},
    };
    // Each key is looked up once: the 90 buttons of the clip rows share three icons, and every lookup would ask
    // the icon theme again and parse the SVG file again (most of the main window's building time at start-up).
    // The icons are shared, so each is also rendered once per size.
    const QByteArray name(key);
    return sharedIcon(name, [&name] {
        const auto it = table.constFind(name);
        if (it == table.constEnd())
            return QIcon();
        const Entry entry = *it;
        return DeferredIconEngine::icon([entry] {
            return entry.theme ? themedIcon(entry.theme, QLatin1String(entry.own)) : ownIcon(QLatin1String(entry.own));
        });
    });
}

QIcon slotIcon(int slot) {
    return DeferredIconEngine::icon([slot] {
        QPixmap pixmap = icon("QUICKSLOT").pixmap(16, 16);
        if (pixmap.isNull()) {
            pixmap = QPixmap(16, 16);
            pixmap.fill(Qt::transparent);
        }
        QPainter painter(&pixmap);
        QFont font = painter.font();
        font.setPixelSize(10);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::number(slot));
        return QIcon(pixmap);
    });
}

} // namespace MenuIcons
