#include "editor/frmConfPasteBox.h"

#include "editor/EditorCaption.h"
#include "editor/EditorLog.h"
#include "editor/EditorModes.h"
#include "editor/EditorTextTools.h"
#include "editor/EditorToolbars.h"
#include "editor/PictureArea.h"
#include "editor/TextBoxes.h"
#include "project/ClipTable.h"
#include "project/EditorHandOver.h"
#include "services/CodePage.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "services/WindowPlacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <stdexcept>

using EditorModes::Mode;

namespace {

const QString FormName = QStringLiteral("frmConfPasteBox");

// The layout's figures, in twips. Below the smallest window the layout no longer shrinks.
constexpr int MinWidthTwips = 8010;
constexpr int MinHeightTwips = 4755;
constexpr int DefaultWidthTwips = 9600;
constexpr int DefaultHeightTwips = 7200;
// The smallest window's central area: its height less title bar, toolbars and status bar.
constexpr int MinCentralHeightTwips = MinHeightTwips - 1500;
constexpr int Margin = 60;            // around the box, and below the last option
constexpr int TextBoxWidthLess = 210; // a text box is this much narrower than the window
constexpr int RichBoxGrowth = 30;     // the rich box is this much wider and taller than the plain one
constexpr int PictureWidthLess = 385; // the picture frame is this much narrower than the window
constexpr int PictureHeightLess = 30; // and this much lower than a plain text box
constexpr int CustomOptionDrop = 165; // optCusName below the box
constexpr int NameBoxDrop = 120 + 40; // txtCustomName below the box
constexpr int NameBoxGap = 120;       // txtCustomName right of optCusName
constexpr int NameBoxMinWidth = 3000;
constexpr int NameBoxWidthLess = 420; // txtCustomName ends this far inside the window, optCusName's width apart
constexpr int OptionRowStep = 360;    // optNonCusName below optCusName

richtext::CodePageConverter programCodePages() {
    return {[](const QByteArray& bytes, int codePage) { return CodePage::fromAnsi(bytes, codePage); },
            [](const QString& text, int codePage) { return CodePage::toAnsi(text, codePage); }};
}

} // namespace

std::function<QColor(const QColor&)> frmConfPasteBox::chooseColor = [](const QColor& initial) {
    return QColorDialog::getColor(initial, QApplication::activeWindow());
};
std::function<std::optional<QFont>(const QFont&)> frmConfPasteBox::chooseFont =
    [](const QFont& initial) -> std::optional<QFont> {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, QApplication::activeWindow());
    return ok ? std::optional<QFont>(font) : std::nullopt;
};

const QStringList& frmConfPasteBox::fontlist() {
    static const QStringList fonts = QFontDatabase::families().mid(0, 41);
    return fonts;
}

frmConfPasteBox* frmConfPasteBox::open(const EditorContext& context, QWidget* parent) {
    auto* editor = new frmConfPasteBox(context, parent);
    editor->load();
    editor->show();
    editor->raise();
    editor->activateWindow();
    return editor;
}

frmConfPasteBox::frmConfPasteBox(const EditorContext& context, QWidget* parent)
    : QMainWindow(parent), m_context(context) {
    setObjectName(FormName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Configure Clip to Paste"));
    // The window may get smaller than the layout's minimum; the layout then runs past its edges.
    setMinimumSize(twipsToX(MinWidthTwips) / 2, twipsToY(MinHeightTwips) / 2);
    resize(twipsToX(DefaultWidthTwips), twipsToY(DefaultHeightTwips));
    buildControls();
    buildToolbars();
}

frmConfPasteBox::~frmConfPasteBox() = default;

int frmConfPasteBox::twipsToX(double twips) const {
    return int(twips / (m_context.twipsX > 0 ? m_context.twipsX : 15));
}

int frmConfPasteBox::twipsToY(double twips) const {
    return int(twips / (m_context.twipsY > 0 ? m_context.twipsY : 15));
}

void frmConfPasteBox::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    txtClipTXT = new PlainTextBox(central);
    txtClipRTF = new RichTextBox(programCodePages(), CodePage::ansiCodePage(), central);
    txtDefaultFont = new QLineEdit(central);
    txtDefaultFont->setObjectName(QStringLiteral("txtDefaultFont"));
    txtDefaultFont->setFont(QFont(QStringLiteral("Arial"), 9));
    txtDefaultFont->hide();
    txtClipRTF->document()->setDefaultFont(txtDefaultFont->font());
    optNonCusName = new QRadioButton(QStringLiteral("Display whole text (up to 100 chars) or first 16 chars"), central);
    optNonCusName->setObjectName(QStringLiteral("optNonCusName"));
    optNonCusName->setChecked(true);
    optCusName = new QRadioButton(QStringLiteral("&Display Custom Name"), central);
    optCusName->setObjectName(QStringLiteral("optCusName"));
    txtCustomName = new QLineEdit(central);
    txtCustomName->setObjectName(QStringLiteral("txtCustomName"));
    txtCustomName->setMaxLength(100);
    txtCustomName->hide();
    fraImg = new PictureArea(m_context.effects, m_context.programExiting, central);
    fraImg->hide();

    cmbFont = new QComboBox(this);
    cmbFont->setObjectName(QStringLiteral("cmbFont"));
    cmbFont->setEditable(true);
    cmbFont->setEditText(QStringLiteral("Fixedsys"));
    cmbFont->setMinimumContentsLength(10);
    cmbFont->setAccessibleName(QStringLiteral("Font name"));
    cmbSize = new QComboBox(this);
    cmbSize->setObjectName(QStringLiteral("cmbSize"));
    cmbSize->setEditable(true);
    cmbSize->addItems({QStringLiteral("9"), QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("14"),
                       QStringLiteral("16"), QStringLiteral("24"), QStringLiteral("32"), QStringLiteral("64")});
    cmbSize->setEditText(QStringLiteral("9"));
    cmbSize->setMinimumContentsLength(3);
    cmbSize->setAccessibleName(QStringLiteral("Font size"));

    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("sBar"));
    setStatusBar(bar);
    m_panels.fill(nullptr, 5);
    for (int i = 1; i <= 4; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("sBarPanel%1").arg(i));
        bar->addWidget(m_panels[i], i == 1 ? 2 : 1);
    }
    m_panels[1]->setText(QStringLiteral("F1 OK; F2 Cancel; F3 Clear; F4 Load"));

    connect(txtClipTXT, &QPlainTextEdit::textChanged, this, &frmConfPasteBox::onPlainChanged);
    connect(txtClipRTF, &QTextEdit::textChanged, this, &frmConfPasteBox::onRichChanged);
    connect(txtClipTXT, &QPlainTextEdit::cursorPositionChanged, this, &frmConfPasteBox::RefreshStatus);
    connect(txtClipRTF, &QTextEdit::cursorPositionChanged, this, &frmConfPasteBox::RefreshStatus);
    connect(optCusName, &QRadioButton::toggled, this, &frmConfPasteBox::onCustomNameOption);
    connect(fraImg, &PictureArea::statusRefreshNeeded, this, &frmConfPasteBox::RefreshStatus);
    connect(fraImg, &PictureArea::panel3, this, [this](const QString& text) { m_panels[3]->setText(text); });
    connect(fraImg, &PictureArea::keyPressed, this, &frmConfPasteBox::BoxHotkey);
    for (QObject* box : std::initializer_list<QObject*>{txtClipTXT, txtClipRTF, cmbFont->lineEdit(),
                                                        cmbSize->lineEdit(), optNonCusName, optCusName, txtCustomName})
        box->installEventFilter(this);
}

void frmConfPasteBox::buildToolbars() {
    EditorToolbars bars = EditorToolbars::build(*this);
    m_toolbar = bars.buttons;
    m_toolbar2 = bars.buttons2;
    connect(m_toolbar[1], &QAction::triggered, this, &frmConfPasteBox::SaveAndClose);
    connect(m_toolbar[2], &QAction::triggered, this, &frmConfPasteBox::DiscardAndClose);
    connect(m_toolbar[4], &QAction::triggered, this, &frmConfPasteBox::ClearClip);
    for (const Mode mode : {Mode::Txt, Mode::Rtf, Mode::Img})
        connect(m_toolbar[EditorToolbars::modeButton(mode)], &QAction::triggered, this,
                [this, mode] { switchMode(mode); });
    for (int i = 1; i <= 33; ++i)
        if (!m_toolbar2[i]->isSeparator())
            connect(m_toolbar2[i], &QAction::triggered, this, [this, i] { onToolbar2(i); });

    m_text = new EditorTextTools(m_mode, {*txtClipTXT, *txtClipRTF, *txtDefaultFont, *cmbFont, *cmbSize, m_toolbar2},
                                 chooseColor, chooseFont, this);
    // Shown, and filled with the font list, by the first text mode.
    m_text->placeFontBoxes(*bars.toolbar2, m_toolbar2[EditorToolbars::FontBoxesBefore]);
    connect(txtClipRTF, &QTextEdit::selectionChanged, m_text, &EditorTextTools::showSelectionState);
    connect(txtClipRTF, &QTextEdit::cursorPositionChanged, m_text, &EditorTextTools::showSelectionState);
    connect(cmbFont, &QComboBox::textActivated, m_text, &EditorTextTools::ChangeFont);
    connect(cmbFont->lineEdit(), &QLineEdit::textEdited, m_text, &EditorTextTools::ChangeFont);
    connect(cmbSize, &QComboBox::textActivated, m_text, &EditorTextTools::ChangeSize);
    connect(cmbSize->lineEdit(), &QLineEdit::textEdited, m_text, &EditorTextTools::ChangeSize);
}

void frmConfPasteBox::load() {
    try {
        Settings& settings = m_context.settings;
        EditorHandOver& handOver = m_context.handOver;
        WindowPlacement::RestoreWindowPosition(*this, FormName, settings, m_context.twipsX, m_context.twipsY);
        WindowPlacement::RestoreWindowSize(*this, FormName, settings, m_context.twipsX, m_context.twipsY);
        handOver.EditorOpen = true;
        handOver.EditIsSimple = false;

        settings.LoadEditorFont();
        QFont defaultFont = txtDefaultFont->font();
        if (settings.DefaultFontName != QLatin1String("0"))
            defaultFont.setFamily(settings.DefaultFontName);
        if (settings.DefaultFontSize != 0)
            defaultFont.setPointSize(settings.DefaultFontSize);
        txtDefaultFont->setFont(defaultFont);
        txtClipTXT->setFont(defaultFont);
        txtClipRTF->document()->setDefaultFont(defaultFont);

        ToggleFormat(handOver.EditIsImage ? Mode::Img : (handOver.EditIsRtf ? Mode::Rtf : Mode::Txt));
        pressModeButton();
        RepaintForm();

        fraImg->reset();
        m_clip = ClipTable::isValidIndex(handOver.EditClipNumber) ? handOver.EditClipNumber : 1;
        const ClipTable::Clip& clip = m_context.table.clip(m_clip);
        if (clip.format == ClipTable::TxtSimple) {
            txtClipTXT->setText(handOver.EditData);
        } else if (!handOver.EditIsRtf && clip.format == ClipTable::TxtLong) {
            txtClipTXT->setText(handOver.EditData);
            IsLoading = true;
            txtCustomName->show();
            optCusName->setChecked(true);
            txtCustomName->setText(clip.text);
        } else if (!handOver.EditIsRtf && handOver.EditIsImage) {
            fraImg->takeOver(handOver.picTemp);
            txtCustomName->setText(clip.text.mid(6));
        } else {
            txtClipRTF->setRtf(CodePage::toAnsi(handOver.EditData));
            txtCustomName->show();
            optCusName->setChecked(true);
            txtCustomName->setText(clip.text.mid(6));
        }
        txtClipTXT->moveCursor(QTextCursor::End);
        txtClipRTF->moveCursor(QTextCursor::End);
        IsLoading = false;
        RefreshStatus();
        const qint64 count = m_mode == Mode::Rtf   ? txtClipRTF->plainText().size()
                             : m_mode == Mode::Txt ? txtClipTXT->text().size()
                                                   : 0;
        m_panels[2]->setText(EditorCaption::openingCounter(EditorMode, count));
        RepaintForm();
        RefreshStatus();
    } catch (const std::exception& error) {
        Messages::ShowError(QStringLiteral("An unexpected error has occured!"),
                            {1, QString::fromLocal8Bit(error.what())});
    }
}

void frmConfPasteBox::closeEvent(QCloseEvent* event) {
    if (!m_closing) {
        m_closing = true;
        unload();
    }
    event->accept();
}

void frmConfPasteBox::unload() {
    try {
        Settings& settings = m_context.settings;
        WindowPlacement::SaveWindowPosition(*this, FormName, settings, m_context.twipsX, m_context.twipsY);
        WindowPlacement::SaveWindowSize(*this, FormName, settings, m_context.twipsX, m_context.twipsY);
        const QFont plain = txtClipTXT->font();
        const QFont standard = txtDefaultFont->font();
        if (plain.family() != standard.family() || plain.pointSize() != standard.pointSize()) {
            settings.WriteSetting(QStringLiteral("Zolpane"), QStringLiteral("DefaultFontSize"),
                                  QString::number(plain.pointSize()));
            settings.WriteSetting(QStringLiteral("Zolpane"), QStringLiteral("DefaultFontName"), plain.family());
        }
        if (!(m_context.programExiting && m_context.programExiting())) {
            m_context.handOver.EditorOpen = false;
            Q_EMIT closed(m_clip);
        }
    } catch (const std::exception& error) {
        Messages::ShowError(QStringLiteral("Error has occured while unloading 'Configure Clip to Paste' form."),
                            {1, QString::fromLocal8Bit(error.what())});
    }
}

void frmConfPasteBox::onCustomNameOption(bool custom) {
    if (IsLoading)
        return;
    txtCustomName->setVisible(custom);
    if (!custom)
        return;
    if (txtCustomName->text().isEmpty())
        txtCustomName->setText(QStringLiteral("Clip ") + QString::number(m_clip));
    txtCustomName->selectAll();
    txtCustomName->setFocus();
}

void frmConfPasteBox::SaveAndClose() {
    if (m_handingBack)
        return;
    m_handingBack = true;
    EditorHandOver& handOver = m_context.handOver;
    const QString text = m_mode == Mode::Txt   ? txtClipTXT->text()
                         : m_mode == Mode::Rtf ? txtClipRTF->plainText()
                                               : QString();
    const EditorCaption::Caption caption =
        EditorCaption::caption(EditorMode, optCusName->isChecked(), txtCustomName->text(), text, m_clip);
    handOver.EditIsSimple = caption.simple;
    if (m_mode == Mode::Img) {
        handOver.EditIsRtf = false;
        handOver.EditIsImage = true;
        handOver.picTemp = fraImg->handBack();
    } else if (m_mode == Mode::Rtf) {
        handOver.EditData = text.isEmpty() ? QString() : QString::fromLatin1(txtClipRTF->rtf());
        handOver.EditIsRtf = true;
        handOver.EditIsImage = false;
    } else {
        m_context.settings.WriteSetting(QStringLiteral("Zolpane"), QStringLiteral("DefaultFontName"),
                                        cmbFont->currentText());
        m_context.settings.WriteSetting(QStringLiteral("Zolpane"), QStringLiteral("DefaultFontSize"),
                                        cmbSize->currentText());
        handOver.EditData = text;
        handOver.EditIsRtf = false;
        handOver.EditIsImage = false;
    }
    handOver.EditCaption = caption.text;
    handOver.EditClipNumber = m_clip;
    Q_EMIT handedBack(m_clip);
    close();
}

void frmConfPasteBox::DiscardAndClose() {
    close();
}

void frmConfPasteBox::ClearClip() {
    if (Messages::ShowMessage(QStringLiteral("Do you really want to clear this clip?"), MessageKind::Question) !=
        Messages::Yes)
        return;
    if (m_mode == Mode::Txt) {
        txtClipTXT->clear();
        optNonCusName->setChecked(true);
    } else if (m_mode == Mode::Rtf) {
        txtClipRTF->clear();
        RestartRTFbox();
        optNonCusName->setChecked(true);
    } else {
        fraImg->clearToBlank();
    }
    txtCustomName->clear();
    m_context.handOver.EditData.clear();
}

void frmConfPasteBox::BoxHotkey(int keyCode, Qt::KeyboardModifiers) {
    switch (keyCode) {
    case Qt::Key_F1:
        SaveAndClose();
        break;
    case Qt::Key_F2:
    case Qt::Key_Escape:
        DiscardAndClose();
        break;
    case Qt::Key_F3:
        ClearClip();
        break;
    case Qt::Key_F4:
        LoadFromFile();
        break;
    default:
        RefreshStatus();
    }
}

bool frmConfPasteBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int code = key->key();
        if (watched == txtCustomName && (code == Qt::Key_Return || code == Qt::Key_Enter)) {
            SaveAndClose();
            return true;
        }
        if (code == Qt::Key_Escape || (code >= Qt::Key_F1 && code <= Qt::Key_F4)) {
            BoxHotkey(code, key->modifiers());
            return true;
        }
        QTimer::singleShot(0, this, &frmConfPasteBox::RefreshStatus);
    } else if (watched == txtCustomName && event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, txtCustomName, &QLineEdit::selectAll);
    } else if (watched == txtCustomName && event->type() == QEvent::FocusOut && m_mode == Mode::Img &&
               isActiveWindow()) {
        fraImg->picPicture->setFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmConfPasteBox::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    RepaintForm();
}

void frmConfPasteBox::RepaintForm() {
    const int width = std::max(int(frameGeometry().width() * m_context.twipsX), MinWidthTwips);
    // The central area less the two rows of name options below the box is the box's height (in the outer
    // height's terms: H - 2550 for a plain text box).
    const int optionTwips = int(optCusName->sizeHint().height() * m_context.twipsY);
    const int central = std::max(int(centralWidget()->height() * m_context.twipsY), MinCentralHeightTwips);
    const int boxHeight = central - Margin - CustomOptionDrop - OptionRowStep - optionTwips - Margin;
    const int left = twipsToX(Margin);
    int bottom = 0;
    if (m_mode == Mode::Img) {
        fraImg->setGeometry(left, twipsToY(Margin), twipsToX(width - PictureWidthLess),
                            twipsToY(boxHeight - PictureHeightLess));
        bottom = fraImg->geometry().bottom();
    } else {
        const int grow = m_mode == Mode::Rtf ? RichBoxGrowth : 0;
        const QRect box(left, twipsToY(Margin), twipsToX(width - TextBoxWidthLess + grow), twipsToY(boxHeight + grow));
        txtClipTXT->setGeometry(box);
        txtClipRTF->setGeometry(box);
        bottom = box.bottom();
    }
    const QSize option = optCusName->sizeHint();
    optCusName->setGeometry(left, bottom + twipsToY(CustomOptionDrop), option.width(), option.height());
    txtCustomName->setGeometry(optCusName->geometry().right() + twipsToX(NameBoxGap), bottom + twipsToY(NameBoxDrop),
                               std::max(twipsToX(NameBoxMinWidth), twipsToX(width - NameBoxWidthLess) - option.width()),
                               txtCustomName->sizeHint().height());
    optNonCusName->setGeometry(left, optCusName->y() + twipsToY(OptionRowStep), optNonCusName->sizeHint().width(),
                               optNonCusName->sizeHint().height());
    if (m_mode == Mode::Img)
        fraImg->RefreshPicture();
}
