#include "project/HotkeyOverview.h"

#include "project/ClipTable.h"
#include "services/AtomicFile.h"
#include "services/CodePage.h"

#include <QDateTime>
#include <QLocale>

namespace HotkeyOverview {

QString hotkeyText(int mod, int key) {
    // Key 0 is no key: a modifier set without a key is no hotkey either.
    if (key == 0)
        return {};
    QString prefix;
    switch (mod) {
    case 1:
        prefix = QStringLiteral("Alt + ");
        break;
    case 2:
        prefix = QStringLiteral("Ctrl + ");
        break;
    case 3:
        prefix = QStringLiteral("Alt + Ctrl + ");
        break;
    case 4:
        prefix = QStringLiteral("Shift + ");
        break;
    case 6:
        prefix = QStringLiteral("Ctrl + Shift + ");
        break;
    case 7:
        prefix = QStringLiteral("Alt + Ctrl + Shift + ");
        break;
    default:
        return {};
    }
    return prefix + QChar(char16_t(key & 0xFFFF));
}

QByteArray pageContent(const QString& projectName, const ClipTable& table, const Hotkeys& hotkeys,
                       const QString& generated) {
    QString page;
    auto line = [&page](const QString& text) { page += text + QStringLiteral("\r\n"); };
    line(QStringLiteral("<HTML><HEAD><TITLE>Zolpane Hotkeys</TITLE></HEAD><BODY><H3>Zolpane Hotkey Overview - ") +
         projectName + QStringLiteral("</H3>"));
    line(QStringLiteral("<TABLE border=\"1\" BorderColor=\"black\" cellspacing = \"0\">"));
    line(QStringLiteral("<TR><TD BGCOLOR=#CCFF99>Clip #</TD><TD BGCOLOR=#CCFF99>Clip Name</TD><TD "
                        "BGCOLOR=#CCFF99>Clip Hotkey</TD></TR>"));
    bool listed = false;
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        const QString& text = table.clip(i).text;
        if (text.isEmpty() || text == ClipTable::EmptyClipText)
            continue;
        listed = true;
        line(QStringLiteral("<TR><TD>") + QString::number(i) + QStringLiteral("</TD><TD>"));
        line(text.left(50) + QStringLiteral("</TD><TD>"));
        const ClipHotkey& h = hotkeys[size_t(i)];
        line((h.desktopKeys.isEmpty() ? hotkeyText(h.mod, h.key) : h.desktopKeys.toHtmlEscaped()) +
             QStringLiteral("</TD></TR>"));
    }
    if (!listed)
        line(QStringLiteral("<TR><TD COLSPAN=3>There are just empty clips</TD></TR>"));
    line(QStringLiteral("</TABLE><BR><BR>Generated ") + generated);
    line(QStringLiteral("</BODY></HTML>"));
    return CodePage::toAnsi(page);
}

bool WriteHotkeyOverview(const QString& path, const QString& projectName, const ClipTable& table,
                         const Hotkeys& hotkeys) {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    const QString generated = locale.toString(now.time(), QLocale::ShortFormat) + QLatin1Char(' ') +
                              locale.toString(now.date(), QLocale::ShortFormat);
    return AtomicFile::write(path, pageContent(projectName, table, hotkeys, generated));
}

} // namespace HotkeyOverview
