#include "editor/EditorFiles.h"

#include "editor/PictureArea.h"
#include "editor/TextBoxes.h"
#include "services/AtomicFile.h"
#include "services/CodePage.h"
#include "services/FileDialogs.h"
#include "services/Messages.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

using EditorModes::Mode;

namespace EditorFiles {

namespace {

// "Name|*.a;*.b|Other|*.*" as a Qt filter: "Name (*.a *.b);;Other (*.*)".
QString qtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << parts[i] + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QString fileFilter(Mode mode, bool save) {
    if (mode == Mode::Txt)
        return qtFilter(QStringLiteral("Text Files|*.txt|HTML and PHP Files|*.htm;*.html;*.php;*.xhtml;*.phtml;*.js;"
                                       "*.sql|BAT files|*.bat|LOG and NFO files|*.bat; *.nfo|INI and CFG files|*.ini; "
                                       "*.cfg|All Files|*.*"));
    if (mode == Mode::Rtf)
        return qtFilter(save ? QStringLiteral("RTF Files|*.rtf|All Files|*.*")
                             : QStringLiteral("RTF Files|*.rtf|Text Files|*.txt|HTML, PHP and web text Files|*.htm;"
                                              "*.html;*.php;*.xhtml;*.phtml;*.js;*.sql|All Files|*.*"));
    return qtFilter(save ? QStringLiteral("Bitmap|*.bmp|PNG (optimized for web)|*.png|All Files|*.*")
                         : QStringLiteral("All Picture Files|*.bmp;*.jpg;*.gif;*.ico;*.wmf;*.png|Bitmaps|*.bmp|GIF "
                                          "Images|*.gif|JPG Images|*.jpg|PNG - Portable Network Graphic|*.png|Icons|"
                                          "*.ico|Windows Metafiles|*.wmf|All Files|*.*"));
}

bool endsWith(const QString& path, const char* extension) {
    return path.right(3).toLower() == QLatin1String(extension);
}

// Text files: UTF-8 when the bytes are valid UTF-8, else the user's ANSI code page. The start of a longer file
// may end inside a character, which does not make it invalid.
QString decodeTextFile(const QByteArray& bytes, bool whole) {
    QStringDecoder utf8(QStringDecoder::Utf8, whole ? QStringDecoder::Flag::Stateless : QStringDecoder::Flag::Default);
    const QString text = utf8(bytes);
    return utf8.hasError() ? CodePage::fromAnsi(bytes) : text;
}

} // namespace

void LoadFromFile(QWidget& window, Mode mode, const Boxes& boxes) {
    const QString path =
        FileDialogs::getOpenFileName(&window, QStringLiteral("Open File"), QString(), fileFilter(mode, false));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        Messages::ShowError(QStringLiteral("Selected file does not exist!"));
        return;
    }
    if (mode == Mode::Img) {
        file.close();
        boxes.picture.loadFromFile(path);
        return;
    }
    // Text is read only as far as the box can hold it: no encoding the editor reads takes more than four bytes
    // for one of its characters (a CR LF pair is one), so a longer file always gives more text than fits. RTF
    // spends most of its bytes on markup and pictures and is read whole, up to a size far above any document
    // the box can hold.
    const bool rtf = mode == Mode::Rtf && endsWith(path, "rtf");
    const qint64 maxBytes = rtf ? qint64(64) << 20 : qint64(TextBoxes::MaxChars) * 4 + 4;
    const QByteArray bytes = file.read(maxBytes);
    const bool whole = file.atEnd();
    bool cut = false;
    if (mode == Mode::Txt) {
        cut = boxes.plain.setText(decodeTextFile(bytes, whole));
        boxes.plain.moveCursor(QTextCursor::End);
    } else {
        cut = rtf ? boxes.rich.setRtf(bytes) : boxes.rich.setPlainTextLimited(decodeTextFile(bytes, whole));
        boxes.rich.moveCursor(QTextCursor::End);
    }
    if (cut)
        Messages::ShowMessage(QStringLiteral("The file is longer than the 100 000 characters the editor holds; only "
                                             "its first 100 000 characters were loaded."),
                              MessageKind::Information);
}

void SaveToFile(QWidget& window, Mode mode, const Boxes& boxes) {
    const QString path =
        FileDialogs::getSaveFileName(&window, QStringLiteral("Save clip to File"), QString(), fileFilter(mode, true));
    if (path.isEmpty())
        return;
    bool written = true;
    if (mode == Mode::Rtf)
        written = AtomicFile::write(path, boxes.rich.rtf());
    else if (mode == Mode::Txt)
        written = AtomicFile::write(path, boxes.plain.text().toUtf8());
    else
        boxes.picture.saveToFile(path); // a picture that cannot be written is only logged
    if (!written) {
        Messages::ShowError(QStringLiteral("Could not save the clip to ") + path,
                            {75, QStringLiteral("Path/File access error")});
    }
}

} // namespace EditorFiles
