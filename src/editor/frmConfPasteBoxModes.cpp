// The clip editor's modes: which boxes and buttons each shows, and the text handed from one box to another.
#include "editor/frmConfPasteBox.h"

#include "editor/EditorModes.h"
#include "editor/EditorToolbars.h"
#include "editor/PictureArea.h"
#include "editor/RichTextTools.h"
#include "editor/TextBoxes.h"
#include "services/Messages.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

using namespace EditorModes;

void frmConfPasteBox::ToggleFormat(const QString& mode) {
    if ((mode == Rtf || mode == Txt || mode == QLatin1String("bin")) && !m_fontAction->isVisible()) {
        if (cmbFont->count() != m_context.fontlist.size())
            cmbFont->addItems(m_context.fontlist);
        setCombosVisible(true);
    }
    const auto showButtons = [this](int from, int to, bool show) {
        for (int i = from; i <= to; ++i)
            m_toolbar2[i]->setVisible(show);
    };
    if (mode == Img) {
        showButtons(6, 17, false);
        showButtons(21, 33, true); // the picture effect buttons
        setCombosVisible(false);
        EditorMode = Img;
        RepaintForm();
        txtClipTXT->hide();
        txtClipRTF->hide();
        optNonCusName->hide();
        optCusName->setChecked(true);
        txtCustomName->show();
        fraImg->show();
        RtfActive = TxtActive = false;
    } else if (mode == Rtf) {
        EditorMode = Rtf;
        RepaintForm();
        showButtons(1, 21, true);
        showButtons(21, 33, false);
        setCombosVisible(true);
        RtfActive = true;
        TxtActive = false;
        fraImg->hide();
        txtClipTXT->hide();
        txtClipRTF->show();
        txtClipRTF->setFocus();
        optNonCusName->show();
    } else if (mode == Txt) {
        EditorMode = Txt;
        RepaintForm();
        showButtons(6, 10, false);
        showButtons(11, 12, true);
        showButtons(13, 16, false);
        showButtons(21, 33, false);
        RtfActive = false;
        TxtActive = true;
        {
            const QSignalBlocker blockFont(cmbFont);
            const QSignalBlocker blockSize(cmbSize);
            cmbFont->setEditText(txtClipTXT->font().family());
            cmbSize->setEditText(QString::number(txtClipTXT->font().pointSize()));
        }
        setCombosVisible(true);
        txtClipTXT->show();
        txtClipRTF->hide();
        fraImg->hide();
        txtClipTXT->setFocus();
        optNonCusName->show();
    }
    RefreshStatus();
}

void frmConfPasteBox::switchMode(const QString& mode) {
    if (mode == EditorMode)
        return;
    const auto confirmed = [this](const char* question) {
        if (Messages::ShowMessage(QString::fromLatin1(question), MessageKind::Question) == Messages::Yes)
            return true;
        pressModeButton(); // the clicked button springs back
        return false;
    };
    if (mode == Txt && EditorMode == Rtf) {
        if (!confirmed("You will lose all your formatting. Do you want to continue?"))
            return;
        ToggleFormat(Txt);
        TransBoxes(QStringLiteral("rtf2txt"), QStringLiteral("removeformat"), true);
    } else if (mode == Txt) {
        if (!confirmed("You will lose all your picture data. Do you want to continue?"))
            return;
        ToggleFormat(Txt);
    } else if (mode == Rtf && EditorMode == Txt) {
        ToggleFormat(Rtf);
        TransBoxes(QStringLiteral("txt2rtf"), QStringLiteral("removeformat"), true);
    } else if (mode == Rtf) {
        if (!confirmed("You will lose your picture data. Do you want to continue?"))
            return;
        ToggleFormat(Rtf);
    } else {
        if (!confirmed("You will lose all your current data! Do you really want to continue?"))
            return;
        ToggleFormat(Img);
    }
}

void frmConfPasteBox::TransBoxes(const QString& direction, const QString& option, bool showTarget) {
    if (direction == QLatin1String("txt2rtf")) {
        txtClipRTF->clear();
        txtClipRTF->setPlainTextLimited(txtClipTXT->text());
        QTextCursor all(txtClipRTF->document());
        all.select(QTextCursor::Document);
        QTextCharFormat format;
        const QFont font = txtClipTXT->font();
        format.setFontFamilies({font.family()});
        format.setFontPointSize(font.pointSizeF());
        format.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
        format.setFontItalic(font.italic());
        format.setFontUnderline(font.underline());
        format.setFontStrikeOut(font.strikeOut());
        format.setForeground(txtClipTXT->textColor());
        all.mergeCharFormat(format);
        txtClipRTF->moveCursor(QTextCursor::End);
        if (showTarget) {
            txtClipRTF->show();
            txtClipRTF->setFocus();
            txtClipTXT->hide();
        }
    } else if (direction == QLatin1String("rtf2txt")) {
        if (option == QLatin1String("removeformat"))
            RestartRTFbox();
        txtClipTXT->setText(txtClipRTF->plainText());
        txtClipRTF->clear();
        txtClipTXT->moveCursor(QTextCursor::End);
        if (showTarget) {
            txtClipTXT->show();
            txtClipTXT->setFocus();
            txtClipRTF->hide();
        }
    }
}
