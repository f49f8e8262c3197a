// The editor's edit toolbar, which hands each button to the text tools, the picture area or the file commands,
// and its status bar.
#include "editor/EditorCaption.h"
#include "editor/EditorFiles.h"
#include "editor/EditorModes.h"
#include "editor/EditorTextTools.h"
#include "editor/PictureArea.h"
#include "editor/TextBoxes.h"
#include "editor/frmConfPasteBox.h"

#include <QAction>
#include <QLabel>

using EditorModes::Mode;

namespace {

// The modes a button acts in.
enum Modes : unsigned { InTxt = 1, InRtf = 2, InImg = 4, InText = InTxt | InRtf, InAny = InText | InImg };

bool actsIn(unsigned modes, Mode mode) {
    return modes & (1u << int(mode));
}

// The effect buttons 22..29 and the names they hand to ApplyEffect.
const char* const EffectNames[] = {"grayscale", "invert", "soften",   "sharpen",
                                   "diffuse",   "emboss", "solarize", "lighten"};

} // namespace

QString frmConfPasteBox::panelText(int panel) const {
    return m_panels.value(panel) ? m_panels[panel]->text() : QString();
}

void frmConfPasteBox::onToolbar2(int index) {
    // Edit toolbar buttons first..last, in the modes given, and what they do; the first row that fits acts.
    struct Row {
        int first;
        int last;
        unsigned modes;
        void (*run)(frmConfPasteBox& window, int index);
    };
    static const Row Rows[] = {
        {1, 1, InAny, [](frmConfPasteBox& w, int) { w.LoadFromFile(); }},
        {2, 2, InAny, [](frmConfPasteBox& w, int) { w.SaveToFile(); }},
        {4, 4, InText, [](frmConfPasteBox& w, int) { w.m_text->undo(); }},
        {4, 4, InImg, [](frmConfPasteBox& w, int) { w.fraImg->undo(); }},
        {6, 6, InRtf, [](frmConfPasteBox& w, int i) { w.m_text->setBold(w.m_toolbar2[i]->isChecked()); }},
        {7, 7, InRtf, [](frmConfPasteBox& w, int i) { w.m_text->setItalic(w.m_toolbar2[i]->isChecked()); }},
        {8, 8, InRtf, [](frmConfPasteBox& w, int i) { w.m_text->setUnderline(w.m_toolbar2[i]->isChecked()); }},
        {9, 9, InRtf, [](frmConfPasteBox& w, int) { w.m_text->toggleBullet(); }},
        {11, 11, InAny, [](frmConfPasteBox& w, int) { w.m_text->chooseTextColor(); }},
        {12, 12, InAny, [](frmConfPasteBox& w, int) { w.m_text->chooseTextFont(); }},
        {14, 14, InRtf, [](frmConfPasteBox& w, int) { w.m_text->setAlignment(Qt::AlignLeft); }},
        {15, 15, InRtf, [](frmConfPasteBox& w, int) { w.m_text->setAlignment(Qt::AlignHCenter); }},
        {16, 16, InRtf, [](frmConfPasteBox& w, int) { w.m_text->setAlignment(Qt::AlignRight); }},
        {18, 18, InImg, [](frmConfPasteBox& w, int) { w.fraImg->cutPicture(); }},
        {19, 19, InImg, [](frmConfPasteBox& w, int) { w.fraImg->copyPicture(); }},
        {20, 20, InImg, [](frmConfPasteBox& w, int) { w.fraImg->PasteImage(); }},
        {18, 18, InText, [](frmConfPasteBox& w, int) { w.m_text->cutCopy(true); }},
        {19, 19, InText, [](frmConfPasteBox& w, int) { w.m_text->cutCopy(false); }},
        {20, 20, InText, [](frmConfPasteBox& w, int) { w.m_text->paste(); }},
        {22, 29, InAny,
         [](frmConfPasteBox& w, int i) { w.fraImg->ApplyEffect(QString::fromLatin1(EffectNames[i - 22])); }},
        {31, 31, InAny, [](frmConfPasteBox& w, int) { w.fraImg->openColorsDialog(); }},
        {32, 32, InAny, [](frmConfPasteBox& w, int) { w.fraImg->openBrightnessDialog(); }},
    };
    for (const Row& row : Rows)
        if (index >= row.first && index <= row.last && actsIn(row.modes, m_mode)) {
            row.run(*this, index);
            return;
        }
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
    if (m_mode == Mode::Img) {
        m_panels[2]->setText(fraImg->sizeStatus());
        m_panels[3]->clear();
        m_panels[4]->clear();
        return;
    }
    const bool rich = m_mode == Mode::Rtf;
    const QTextDocument& document = rich ? *txtClipRTF->document() : *txtClipTXT->document();
    const QTextCursor cursor = rich ? txtClipRTF->textCursor() : txtClipTXT->textCursor();
    m_panels[3]->setText(QStringLiteral("Current line: %1  ").arg(TextBoxes::caretLine(cursor)));
    m_panels[4]->setText(QStringLiteral("Total lines:%1  ").arg(TextBoxes::lineCount(document)));
}

void frmConfPasteBox::RestartRTFbox() {
    m_text->RestartRTFbox();
}

void frmConfPasteBox::LoadFromFile() {
    EditorFiles::LoadFromFile(*this, m_mode, {*txtClipTXT, *txtClipRTF, *fraImg});
}

void frmConfPasteBox::SaveToFile() {
    EditorFiles::SaveToFile(*this, m_mode, {*txtClipTXT, *txtClipRTF, *fraImg});
}
