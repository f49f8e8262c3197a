#include "editor/PictureArea.h"

#include "editor/EditorLog.h"
#include "editor/PictureFiles.h"
#include "editor/frmProgress.h"
#include "imaging/ImageEffects.h"
#include "imaging/frmImgBrightness.h"
#include "imaging/frmImgColors.h"
#include "services/Messages.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <utility>

namespace {

constexpr int kBlankWidth = 111;
constexpr int kBlankHeight = 112;

// A light card with a framed landscape: says "a picture goes here" without looking like a picture itself.
QImage drawBlank() {
    QImage blank(kBlankWidth, kBlankHeight, QImage::Format_RGB32);
    blank.fill(QColor(0xF4, 0xF4, 0xF4));
    QPainter painter(&blank);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0xC8, 0xC8, 0xC8));
    painter.drawRect(0, 0, kBlankWidth - 1, kBlankHeight - 1);
    const QRectF symbol(28.5, 32.5, 54, 44);
    painter.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 2));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(symbol, 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xB8, 0xB8, 0xB8));
    QPainterPath hills;
    hills.moveTo(symbol.left() + 4, symbol.bottom() - 4);
    hills.lineTo(symbol.left() + 20, symbol.top() + 18);
    hills.lineTo(symbol.left() + 32, symbol.top() + 30);
    hills.lineTo(symbol.left() + 40, symbol.top() + 22);
    hills.lineTo(symbol.right() - 4, symbol.bottom() - 4);
    hills.closeSubpath();
    painter.drawPath(hills);
    painter.setBrush(QColor(0xD0, 0xD0, 0xD0));
    painter.drawEllipse(QPointF(symbol.right() - 12, symbol.top() + 11), 5, 5);
    painter.end();
    return blank;
}

double primaryTwipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

// Windows the editor opens are top-level without a parent, since disabling the editor would disable them too;
// they are tied to it for the window manager instead.
void stayAbove(QWidget* window, QWidget* editor) {
    window->winId();
    if (window->windowHandle() != nullptr && editor->windowHandle() != nullptr && window != editor)
        window->windowHandle()->setTransientParent(editor->windowHandle());
}

// edge: the picture's left or top edge, which the bar's value follows.
void applyBar(QScrollBar* bar, const PictureScroll::Bar& state, int edge, const std::function<int(int)>& toPixels) {
    const QSignalBlocker blocker(bar);
    bar->setRange(0, std::max(0, -state.maximum));
    bar->setPageStep(state.largeChange);
    bar->setSingleStep(state.smallChange);
    bar->setValue(-edge);
    bar->setGeometry(toPixels(state.left), toPixels(state.top), std::max(0, toPixels(state.width)),
                     std::max(0, toPixels(state.height)));
    bar->setEnabled(state.enabled);
    bar->setVisible(state.visible);
}

} // namespace

PictureArea::PictureArea(ImageEffects& effects, std::function<bool()> programExiting, QWidget* parent)
    : QFrame(parent), picPicture(new QLabel(this)), scrollHorz(new QScrollBar(Qt::Horizontal, this)),
      scrollVert(new QScrollBar(Qt::Vertical, this)), blox(new QPushButton(this)), imgBlank(drawBlank()),
      m_effects(effects), m_programExiting(std::move(programExiting)), m_twipsPerPixel(primaryTwipsPerPixel()) {
    setObjectName(QStringLiteral("fraImg"));
    setFrameShape(QFrame::NoFrame);
    picPicture->setObjectName(QStringLiteral("picPicture"));
    picPicture->setFocusPolicy(Qt::StrongFocus);
    picPicture->setScaledContents(false);
    picPicture->installEventFilter(this);
    scrollHorz->setObjectName(QStringLiteral("scrollHorz"));
    scrollVert->setObjectName(QStringLiteral("scrollVert"));
    blox->setObjectName(QStringLiteral("blox"));
    blox->setFocusPolicy(Qt::NoFocus);
    scrollHorz->hide();
    scrollVert->hide();
    blox->hide();
    // Each bar is a corner wide; the corner button fills the square where they meet.
    m_layout.horz.height = PictureScroll::kCorner;
    m_layout.vert.width = PictureScroll::kCorner;
    connect(scrollHorz, &QScrollBar::valueChanged, this, [this](int value) {
        m_layout.pictureLeft = -value;
        picPicture->move(toPixels(m_layout.pictureLeft), picPicture->y());
    });
    connect(scrollVert, &QScrollBar::valueChanged, this, [this](int value) {
        m_layout.pictureTop = -value;
        picPicture->move(picPicture->x(), toPixels(m_layout.pictureTop));
    });
    showPicture(imgBlank);
}

PictureArea::~PictureArea() {
    // An open effect dialog would otherwise call back into a destroyed area.
    delete m_dialog.data();
}

void PictureArea::reset() {
    imgUndo = QImage();
    showPicture(imgBlank);
    RefreshPicture();
}

void PictureArea::takeOver(const QImage& picture) {
    showPicture(picture);
    RefreshPicture();
}

QImage PictureArea::handBack() const {
    return isBlank() ? QImage() : m_picture;
}

bool PictureArea::isBlank() const {
    // Only the placeholder itself counts, not a picture that happens to look like it.
    return m_picture.cacheKey() == imgBlank.cacheKey();
}

void PictureArea::clearToBlank() {
    showPicture(imgBlank);
    RefreshPicture();
}

void PictureArea::replacePicture(const QImage& picture) {
    imgUndo = m_picture;
    showPicture(picture);
    RefreshPicture();
}

void PictureArea::undo() {
    if (imgUndo.isNull() || imgUndo.cacheKey() == m_picture.cacheKey()) {
        Messages::ShowMessage(QStringLiteral("There is nothing to undo!"), MessageKind::Information);
        return;
    }
    // The buffer keeps its picture, so a second undo finds it already shown.
    showPicture(imgUndo);
    RefreshPicture();
}

void PictureArea::PasteImage() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QImage picture = clipboard->image();
    const QMimeData* offered = clipboard->mimeData();
    const QStringList formats = offered != nullptr ? offered->formats() : QStringList();
    // A picture that is there but cannot be decoded is not the same as no picture at all.
    if (picture.isNull() && std::any_of(formats.begin(), formats.end(), [](const QString& format) {
            return format.startsWith(QLatin1String("image/")) || format == QLatin1String("application/x-qt-image");
        })) {
        qCWarning(lcEditor).noquote() << "cannot read the clipboard's picture, offered as" << formats;
        Messages::ShowError(QStringLiteral("Could not read the picture on the clipboard."));
        return;
    }
    if (picture.isNull()) {
        Messages::ShowMessage(
            QStringLiteral("Sorry, there isn't any picture at clipboard!\r\n\r\nIf you want to load picture from file, "
                           "please, use Load button.\r\nDoubleclick in picture area and Paste button on toolbar "
                           "triggers pasting image from clipboard."),
            MessageKind::Information);
        return;
    }
    replacePicture(picture);
}

void PictureArea::copyPicture() {
    if (isBlank())
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    if (!m_picture.isNull())
        clipboard->setImage(m_picture);
}

void PictureArea::cutPicture() {
    if (isBlank())
        return;
    copyPicture();
    clearToBlank();
}

bool PictureArea::loadFromFile(const QString& path) {
    const QImage picture = loadPictureFile(path);
    if (picture.isNull()) {
        Messages::ShowError(QStringLiteral("Could not read a picture from ") + QDir::toNativeSeparators(path) + '.');
        return false;
    }
    replacePicture(picture);
    return true;
}

bool PictureArea::saveToFile(const QString& path) {
    return savePictureFile(m_picture, path);
}

void PictureArea::ApplyEffect(const QString& name) {
    Q_EMIT panel3(QStringLiteral("Please wait..."));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QWidget* editor = window();
    auto progress = std::make_unique<frmProgress>();
    progress->prgProgress->setValue(0);
    progress->lblInfo->setText(QStringLiteral("Processing image effect (") + name + QLatin1Char(')'));
    editor->setEnabled(false);
    stayAbove(progress.get(), editor);
    progress->show();
    // Painted now: the effect holds the thread until it is done.
    progress->repaint();

    imgUndo = m_picture;
    QImage picture = m_picture;
    m_effects.setProgressObserver(progress.get());
    try {
        if (!picture.isNull() && m_effects.runEditorEffect(name, picture))
            showPicture(picture);
    } catch (const std::exception& error) {
        // The picture keeps what it had; the window must come back in any case.
        qCWarning(lcEditor).noquote() << "image effect" << name << "failed:" << error.what();
    }
    m_effects.setProgressObserver(nullptr);

    editor->setEnabled(true);
    progress.reset();
    Q_EMIT panel3(QStringLiteral("Done"));
    QApplication::restoreOverrideCursor();
}

void PictureArea::openBrightnessDialog() {
    openDialog([this](QWidget* editor) {
        return new frmImgBrightness(
            m_effects, {editor, m_picture, [this](const QString& name) { ApplyEffect(name); }, m_programExiting});
    });
}

void PictureArea::openColorsDialog() {
    openDialog([this](QWidget* editor) {
        return new frmImgColors(
            m_effects, {editor, m_picture, [this](const QString& name) { ApplyEffect(name); }, m_programExiting});
    });
}

void PictureArea::openDialog(const std::function<QWidget*(QWidget* editor)>& make) {
    // One dialog at a time; a closed one may still wait for its deletion.
    if (!m_dialog.isNull() && m_dialog->isVisible())
        return;
    QWidget* editor = window();
    m_dialog = make(editor);
    editor->setEnabled(false);
    stayAbove(m_dialog, editor);
    m_dialog->show();
}

void PictureArea::RefreshPicture() {
    Q_EMIT statusRefreshNeeded();
    runLayoutStep(&PictureScroll::RefreshPicture);
}

void PictureArea::CenterPictureHorz() {
    runLayoutStep(&PictureScroll::CenterPictureHorz);
}

void PictureArea::CenterPictureVert() {
    runLayoutStep(&PictureScroll::CenterPictureVert);
}

void PictureArea::pbSetupScrollHoriz() {
    runLayoutStep(&PictureScroll::pbSetupScrollHoriz);
}

void PictureArea::pbSetupScrollVert() {
    runLayoutStep(&PictureScroll::pbSetupScrollVert);
}

QString PictureArea::sizeStatus() const {
    return QStringLiteral("Image size: %1x%2 ").arg(picPicture->width()).arg(picPicture->height());
}

bool PictureArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched != picPicture)
        return QFrame::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonDblClick) {
        PasteImage();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Tab and Backtab move the focus on as usual.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;
        const Qt::KeyboardModifiers modifiers = key->modifiers();
        Q_EMIT keyPressed(key->key(), modifiers);
        const auto held = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (key->key() == Qt::Key_V && held == Qt::ControlModifier)
            PasteImage();
        return true;
    }
    return false;
}

void PictureArea::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    // The size shown in the status bar does not change with the frame; only the layout follows it.
    runLayoutStep(&PictureScroll::RefreshPicture);
}

void PictureArea::showPicture(const QImage& picture) {
    m_picture = picture;
    if (picture.isNull())
        picPicture->clear();
    else
        picPicture->setPixmap(QPixmap::fromImage(picture));
    // With no picture the box keeps its smallest size of one pixel.
    const QSize size = picture.isNull() ? QSize(1, 1) : picture.size();
    picPicture->resize(size);
    PictureWidth = toTwips(size.width());
    PictureHeight = toTwips(size.height());
    m_layout.boxWidth = PictureWidth;
    m_layout.boxHeight = PictureHeight;
}

void PictureArea::runLayoutStep(void (PictureScroll::*step)()) {
    m_layout.frameWidth = toTwips(width());
    m_layout.frameHeight = toTwips(height());
    m_layout.PictureWidth = PictureWidth;
    m_layout.PictureHeight = PictureHeight;
    (m_layout.*step)();
    applyLayout();
}

void PictureArea::applyLayout() {
    const auto pixels = [this](int twips) { return toPixels(twips); };
    applyBar(scrollHorz, m_layout.horz, m_layout.pictureLeft, pixels);
    applyBar(scrollVert, m_layout.vert, m_layout.pictureTop, pixels);
    // The box is as large as its picture; the layout only places it.
    picPicture->move(pixels(m_layout.pictureLeft), pixels(m_layout.pictureTop));
    blox->setGeometry(pixels(m_layout.vert.left), pixels(m_layout.horz.top), pixels(m_layout.vert.width),
                      pixels(m_layout.horz.height));
    blox->setVisible(m_layout.bloxVisible);
    blox->raise();
    scrollHorz->raise();
    scrollVert->raise();
}

int PictureArea::toTwips(int pixels) const {
    return int(std::lround(pixels * m_twipsPerPixel));
}

int PictureArea::toPixels(int twips) const {
    return int(std::lround(twips / m_twipsPerPixel));
}
