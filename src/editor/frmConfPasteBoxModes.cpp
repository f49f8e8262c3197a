// The clip editor's modes: which boxes and buttons each shows, and the switch from one to another.
#include "editor/frmConfPasteBox.h"

#include "editor/EditorModes.h"
#include "editor/EditorTextTools.h"
#include "editor/EditorToolbars.h"
#include "editor/PictureArea.h"
#include "editor/TextBoxes.h"
#include "services/Messages.h"

#include <QAction>
#include <QLineEdit>
#include <QRadioButton>

using EditorModes::Mode;

namespace {

// The edit toolbar's buttons a mode shows and hides, in this order (a later range wins); a button in no range
// keeps what it had. The picture effect buttons are 21 to 33.
struct ButtonRange {
    int first;
    int last;
    bool shown;
};
const ButtonRange TxtButtons[] = {{6, 10, false}, {11, 12, true}, {13, 16, false}, {21, 33, false}};
const ButtonRange RtfButtons[] = {{1, 21, true}, {21, 33, false}};
const ButtonRange ImgButtons[] = {{6, 17, false}, {21, 33, true}};

} // namespace

void frmConfPasteBox::ToggleFormat(Mode mode) {
    if (mode != Mode::Img && !m_text->fontBoxesShown())
        m_text->offerFonts(m_context.fontlist);
    const auto showButtons = [this](const auto& ranges) {
        for (const ButtonRange& range : ranges)
            for (int i = range.first; i <= range.last; ++i)
                m_toolbar2[i]->setVisible(range.shown);
    };
    m_mode = mode;
    EditorMode = EditorModes::name(mode);
    switch (mode) {
    case Mode::Img:
        showButtons(ImgButtons);
        m_text->showFontBoxes(false);
        RepaintForm();
        txtClipTXT->hide();
        txtClipRTF->hide();
        optNonCusName->hide();
        optCusName->setChecked(true);
        txtCustomName->show();
        fraImg->show();
        break;
    case Mode::Rtf:
        RepaintForm();
        showButtons(RtfButtons);
        m_text->showFontBoxes(true);
        fraImg->hide();
        txtClipTXT->hide();
        txtClipRTF->show();
        txtClipRTF->setFocus();
        optNonCusName->show();
        break;
    case Mode::Txt:
        RepaintForm();
        showButtons(TxtButtons);
        m_text->showPlainFont();
        m_text->showFontBoxes(true);
        txtClipTXT->show();
        txtClipRTF->hide();
        fraImg->hide();
        txtClipTXT->setFocus();
        optNonCusName->show();
        break;
    }
    RefreshStatus();
}

void frmConfPasteBox::switchMode(Mode mode) {
    const EditorModes::Switch* change = EditorModes::switchBetween(m_mode, mode);
    if (!change)
        return; // the mode in force
    if (*change->question &&
        Messages::ShowMessage(QString::fromLatin1(change->question), MessageKind::Question) != Messages::Yes) {
        pressModeButton(); // the clicked button springs back
        return;
    }
    ToggleFormat(mode);
    m_text->TransBoxes(change->move, true);
}

void frmConfPasteBox::pressModeButton() {
    m_toolbar[EditorToolbars::modeButton(m_mode)]->setChecked(true);
}
