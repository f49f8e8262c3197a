// The editor's text tools (formatting buttons, colour and font dialogs, font and size boxes, undo and clipboard
// buttons, status counters) and its file commands, apart from the window's modes and hand-back.
#include "editor/EditorCaption.h"
#include "editor/EditorModes.h"
#include "editor/PictureArea.h"
#include "editor/RichTextTools.h"
#include "editor/TextBoxes.h"
#include "editor/frmConfPasteBox.h"
#include "services/AtomicFile.h"
#include "services/CodePage.h"
#include "services/FileDialogs.h"
#include "services/Messages.h"
#include "services/Settings.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QStringDecoder>

using namespace EditorModes;

namespace {

// The effect buttons 22..29 and the names they hand to ApplyEffect.
const char* const EffectNames[] = {"grayscale", "invert", "soften",   "sharpen",
                                   "diffuse",   "emboss", "solarize", "lighten"};

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

QString fileFilter(const QString& mode, bool save) {
    if (mode == Txt)
        return qtFilter(QStringLiteral("Text Files|*.txt|HTML and PHP Files|*.htm;*.html;*.php;*.xhtml;*.phtml;*.js;"
                                       "*.sql|BAT files|*.bat|LOG and NFO files|*.bat; *.nfo|INI and CFG files|*.ini; "
                                       "*.cfg|All Files|*.*"));
    if (mode == Rtf)
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

QString frmConfPasteBox::panelText(int panel) const {
    return m_panels.value(panel) ? m_panels[panel]->text() : QString();
}

void frmConfPasteBox::onToolbar2(int index) {
    if (index == 1) {
        LoadFromFile();
    } else if (index == 2) {
        SaveToFile();
    } else if (index == 4) {
        if (EditorMode == Txt)
            txtClipTXT->undo();
        else if (EditorMode == Rtf)
            txtClipRTF->undo();
        else
            fraImg->undo();
    } else if (index >= 6 && index <= 8 && EditorMode == Rtf) {
        const bool on = m_toolbar2[index]->isChecked();
        if (index == 6)
            RichTextTools::setBold(*txtClipRTF, on);
        else if (index == 7)
            RichTextTools::setItalic(*txtClipRTF, on);
        else
            RichTextTools::setUnderline(*txtClipRTF, on);
    } else if (index == 9 && EditorMode == Rtf) {
        m_toolbar2[9]->setChecked(RichTextTools::toggleBullet(*txtClipRTF));
    } else if (index == 11) {
        chooseTextColor();
    } else if (index == 12) {
        chooseTextFont();
    } else if (index >= 14 && index <= 16 && EditorMode == Rtf) {
        const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
        RichTextTools::setAlignment(*txtClipRTF, alignments[index - 14]);
    } else if (index >= 18 && index <= 20 && EditorMode == Img) {
        if (index == 18)
            fraImg->cutPicture();
        else if (index == 19)
            fraImg->copyPicture();
        else
            fraImg->PasteImage();
    } else if (index == 18 || index == 19) {
        cutCopyText(index == 18);
    } else if (index == 20) {
        pasteText();
    } else if (index >= 22 && index <= 29) {
        fraImg->ApplyEffect(QString::fromLatin1(EffectNames[index - 22]));
    } else if (index == 31) {
        fraImg->openColorsDialog();
    } else if (index == 32) {
        fraImg->openBrightnessDialog();
    }
}

void frmConfPasteBox::onSelectionChanged() {
    if (EditorMode != Rtf)
        return;
    const RichTextTools::SelectionState state = RichTextTools::selectionState(*txtClipRTF);
    m_toolbar2[6]->setChecked(state.bold);
    m_toolbar2[7]->setChecked(state.italic);
    m_toolbar2[8]->setChecked(state.underline);
    m_toolbar2[9]->setChecked(state.bullet);
    if (state.alignment & Qt::AlignHCenter)
        m_toolbar2[15]->setChecked(true);
    else if (state.alignment & Qt::AlignRight)
        m_toolbar2[16]->setChecked(true);
    else if (state.alignment)
        m_toolbar2[14]->setChecked(true);
    const QSignalBlocker blockFont(cmbFont);
    const QSignalBlocker blockSize(cmbSize);
    cmbFont->setEditText(state.family);
    cmbSize->setEditText(state.size > 0 ? QString::number(state.size) : QString());
}

void frmConfPasteBox::onPlainChanged() {
    m_panels[2]->setText(EditorCaption::plainCounter(txtClipTXT->text().size()));
    RefreshStatus();
}

void frmConfPasteBox::onRichChanged() {
    m_panels[2]->setText(EditorCaption::richCounter(txtClipRTF->plainText().size()));
    RefreshStatus();
}

void frmConfPasteBox::RefreshStatus() {
    if (EditorMode == Img) {
        m_panels[2]->setText(fraImg->sizeStatus());
        m_panels[3]->clear();
        m_panels[4]->clear();
        return;
    }
    const bool rich = EditorMode == Rtf;
    const QTextDocument& document = rich ? *txtClipRTF->document() : *txtClipTXT->document();
    const QTextCursor cursor = rich ? txtClipRTF->textCursor() : txtClipTXT->textCursor();
    m_panels[3]->setText(QStringLiteral("Current line: %1  ").arg(TextBoxes::caretLine(cursor)));
    m_panels[4]->setText(QStringLiteral("Total lines:%1  ").arg(TextBoxes::lineCount(document)));
}

void frmConfPasteBox::RestartRTFbox() {
    RichTextTools::RestartRTFbox(*txtClipRTF, txtDefaultFont->font(), txtDefaultFont->palette().color(QPalette::Text));
    const QSignalBlocker blockFont(cmbFont);
    const QSignalBlocker blockSize(cmbSize);
    cmbFont->setEditText(txtDefaultFont->font().family());
    cmbSize->setEditText(QString::number(txtDefaultFont->font().pointSize()));
    m_toolbar2[14]->setChecked(true);
}

void frmConfPasteBox::ChangeFont() {
    const QString family = cmbFont->currentText();
    if (family.isEmpty())
        return;
    if (EditorMode == Rtf) {
        RichTextTools::setFontFamily(*txtClipRTF, family);
    } else if (EditorMode == Txt) {
        QFont font = txtClipTXT->font();
        font.setFamily(family);
        txtClipTXT->setFont(font);
    }
}

void frmConfPasteBox::ChangeSize() {
    const int size = RichTextTools::sizeFromText(cmbSize->currentText());
    if (size <= 0)
        return; // a size the box refuses leaves it as it is
    if (EditorMode == Rtf) {
        RichTextTools::setFontSize(*txtClipRTF, size);
    } else if (EditorMode == Txt) {
        QFont font = txtClipTXT->font();
        font.setPointSize(size);
        txtClipTXT->setFont(font);
    }
}

QColor frmConfPasteBox::currentColor() const {
    if (EditorMode == Rtf) {
        const QColor color = RichTextTools::selectionState(*txtClipRTF).color;
        return color.isValid() ? color : txtDefaultFont->palette().color(QPalette::Text);
    }
    return txtClipTXT->textColor();
}

void frmConfPasteBox::chooseTextColor() {
    const QColor color = chooseColor(currentColor());
    if (!color.isValid())
        return; // cancelled
    if (EditorMode == Rtf)
        RichTextTools::setColor(*txtClipRTF, color);
    else if (EditorMode == Txt)
        txtClipTXT->setTextColor(color);
}

void frmConfPasteBox::chooseTextFont() {
    QFont initial = EditorMode == Txt ? txtClipTXT->font() : txtDefaultFont->font();
    if (EditorMode == Rtf) {
        initial.setBold(m_toolbar2[6]->isChecked());
        initial.setItalic(m_toolbar2[7]->isChecked());
        initial.setUnderline(m_toolbar2[8]->isChecked());
    }
    if (Settings::valueOf(cmbSize->currentText()) > 0)
        initial.setPointSize(RichTextTools::sizeFromText(cmbSize->currentText()));
    if (!cmbFont->currentText().isEmpty())
        initial.setFamily(cmbFont->currentText());
    const QColor color = currentColor();
    // Cancel applies the values the dialog opened with.
    const QFont font = chooseFont(initial).value_or(initial);
    if (EditorMode == Rtf)
        RichTextTools::setFontAndColor(*txtClipRTF, font, color);
    else if (EditorMode == Txt)
        txtClipTXT->setFont(font);
    const QSignalBlocker blockSize(cmbSize);
    cmbSize->setEditText(QString::number(font.pointSize()));
}

void frmConfPasteBox::cutCopyText(bool cut) {
    QClipboard* clipboard = QApplication::clipboard();
    if (EditorMode == Txt) {
        QTextCursor cursor = txtClipTXT->textCursor();
        if (!cursor.hasSelection())
            return;
        clipboard->clear();
        clipboard->setText(cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
        if (cut)
            cursor.removeSelectedText();
    } else if (EditorMode == Rtf) {
        const QByteArray rtf = txtClipRTF->selectionRtf();
        if (rtf.isEmpty())
            return;
        clipboard->clear();
        auto* data = new QMimeData;
        QString text = txtClipRTF->textCursor().selectedText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n')).replace(QChar::LineSeparator, QLatin1Char('\n'));
        data->setText(text);
        data->setData(RtfMime, rtf);
        clipboard->setMimeData(data);
        if (cut)
            txtClipRTF->textCursor().removeSelectedText();
    }
}

void frmConfPasteBox::pasteText() {
    if (EditorMode == Txt) {
        txtClipTXT->paste();
    } else if (EditorMode == Rtf) {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        if (data && data->hasFormat(RtfMime))
            txtClipRTF->insertRtf(data->data(RtfMime)); // plain text pastes nothing through this button
    }
}

void frmConfPasteBox::LoadFromFile() {
    const QString path =
        FileDialogs::getOpenFileName(this, QStringLiteral("Open File"), QString(), fileFilter(EditorMode, false));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        Messages::ShowError(QStringLiteral("Selected file does not exist!"));
        return;
    }
    if (EditorMode == Img) {
        file.close();
        fraImg->loadFromFile(path);
        return;
    }
    // Text is read only as far as the box can hold it: no encoding the editor reads takes more than four bytes
    // for one of its characters (a CR LF pair is one), so a longer file always gives more text than fits. RTF
    // spends most of its bytes on markup and pictures and is read whole, up to a size far above any document
    // the box can hold.
    const bool rtf = EditorMode == Rtf && endsWith(path, "rtf");
    const qint64 maxBytes = rtf ? qint64(64) << 20 : qint64(TextBoxes::MaxChars) * 4 + 4;
    const QByteArray bytes = file.read(maxBytes);
    const bool whole = file.atEnd();
    bool cut = false;
    if (EditorMode == Txt) {
        cut = txtClipTXT->setText(decodeTextFile(bytes, whole));
        txtClipTXT->moveCursor(QTextCursor::End);
    } else {
        cut = rtf ? txtClipRTF->setRtf(bytes) : txtClipRTF->setPlainTextLimited(decodeTextFile(bytes, whole));
        txtClipRTF->moveCursor(QTextCursor::End);
    }
    if (cut)
        Messages::ShowMessage(QStringLiteral("The file is longer than the 100 000 characters the editor holds; only "
                                             "its first 100 000 characters were loaded."),
                              MessageKind::Information);
}

void frmConfPasteBox::SaveToFile() {
    const QString path = FileDialogs::getSaveFileName(this, QStringLiteral("Save clip to File"), QString(),
                                                      fileFilter(EditorMode, true));
    if (path.isEmpty())
        return;
    bool written = true;
    if (EditorMode == Rtf)
        written = AtomicFile::write(path, txtClipRTF->rtf());
    else if (EditorMode == Txt)
        written = AtomicFile::write(path, txtClipTXT->text().toUtf8());
    else
        fraImg->saveToFile(path);
    if (!written) {
        Messages::ShowError(QStringLiteral("Could not save the clip to ") + path,
                            {75, QStringLiteral("Path/File access error")});
    }
}
