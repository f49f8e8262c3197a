#include "EffectReference.h"
#include "PngTestFiles.h"
#include "imaging/EffectProgressObserver.h"
#include "imaging/EffectRandom.h"
#include "imaging/ImageEffects.h"
#include "imaging/PngPicture.h"
#include "imaging/cDIBSection.h"
#include "imaging/frmImgBrightness.h"
#include "imaging/frmImgColors.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <png.h>
#include <zlib.h>

#include <memory>

namespace {

QImage randomPicture(int width, int height, quint32 seed, int maxValue = 255) {
    QRandomGenerator random(seed);
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.setPixel(
                x, y, qRgb(random.bounded(maxValue + 1), random.bounded(maxValue + 1), random.bounded(maxValue + 1)));
        }
    }
    return picture;
}

QImage uniform(int width, int height, QRgb color) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(color);
    return picture;
}

QString firstDifference(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size()) {
        return QStringLiteral("size differs");
    }
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                return QStringLiteral("(%1,%2): %3 instead of %4")
                    .arg(x)
                    .arg(y)
                    .arg(actual.pixel(x, y) & 0xFFFFFF, 6, 16, QChar('0'))
                    .arg(expected.pixel(x, y) & 0xFFFFFF, 6, 16, QChar('0'));
            }
        }
    }
    return {};
}

struct RecordingObserver final : EffectProgressObserver {
    QList<double> values;
    void effectProgress(double percent) override { values.append(percent); }
};

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

} // namespace

class ImagingTest final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void bytesPerScanLine_data();
    void bytesPerScanLine();
    void dibLayout();
    void dibRectangles();
    void effectsMatchReference_data();
    void effectsMatchReference();
    void designedExamples_data();
    void designedExamples();
    void boxScaleModes();
    void progressReports_data();
    void progressReports();
    void scaleToFit_data();
    void scaleToFit();
    void dialogsPreviewAndClose_data();
    void dialogsPreviewAndClose();
    void brightnessDialog();
    void colorsDialog();
    void pngRoundTrip_data();
    void pngRoundTrip();
    void pngConversions_data();
    void pngConversions();
    void pngRefusals_data();
    void pngRefusals();
    void pngSaveRefusals();
};

void ImagingTest::bytesPerScanLine_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("bytes");
    for (const auto& [width, bytes] : {std::pair{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}}) {
        QTest::addRow("%d", width) << width << bytes;
    }
}

void ImagingTest::bytesPerScanLine() {
    QFETCH(int, width);
    QFETCH(int, bytes);
    cDIBSection dib;
    QVERIFY(dib.Create(width, 2));
    QCOMPARE(dib.BytesPerScanLine(), bytes);
    QCOMPARE(dib.header().biSizeImage, quint32(dib.BytesPerScanLine() * 2));
}

void ImagingTest::dibLayout() {
    cDIBSection dib;
    QVERIFY(!dib.Create(0, 5));
    QVERIFY(!dib.Create(5, -1));
    dib.ClearUp(); // harmless when empty
    const QImage picture = randomPicture(5, 3, 1);
    QVERIFY(dib.Create(9, 9));
    QVERIFY(dib.Create(5, 3)); // replaces the first bitmap
    dib.LoadPictureBlt(picture, 0, 0);
    const uchar* bits = dib.DIBSectionBitsPtr();
    for (int y = 0; y < 3; ++y) {
        const uchar* row = bits + (2 - y) * 16; // bottom row first
        for (int x = 0; x < 5; ++x) {
            const QRgb p = picture.pixel(x, y);
            QCOMPARE((QList<int>{row[3 * x], row[3 * x + 1], row[3 * x + 2]}),
                     (QList<int>{qBlue(p), qGreen(p), qRed(p)}));
        }
        QCOMPARE(row[15], uchar(0)); // padding
    }
    QImage back(5, 3, QImage::Format_ARGB32_Premultiplied);
    dib.PaintPicture(back, 0, 0);
    QCOMPARE(firstDifference(back, picture), QString());
    dib.ClearUp();
    QVERIFY(dib.DIBSectionBitsPtr() == nullptr);
    QCOMPARE(dib.Width(), 5);
    dib.PaintPicture(back, 0, 0); // nothing to paint, nothing breaks
}

void ImagingTest::dibRectangles() {
    const QImage source = randomPicture(6, 5, 2);
    cDIBSection dib;
    QVERIFY(dib.Create(3, 2));
    dib.LoadPictureBlt(source, 2, 1, -1, -1);
    QImage target = uniform(5, 4, qRgb(1, 2, 3));
    dib.PaintPicture(target, 1, 2, 2, -1, 1, 0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            const bool copied = x >= 1 && x <= 2 && y >= 2;
            const QRgb expected = copied ? source.pixel(x - 1 + 1 + 2, y - 2 + 1) : qRgb(1, 2, 3);
            QCOMPARE(target.pixel(x, y), expected);
        }
    }
    // Rectangles reaching past either picture are clipped.
    dib.LoadPictureBlt(source, 5, 4);
    dib.PaintPicture(target, 3, 2, 10, 10, -1, -1);
    QCOMPARE(target.pixel(4, 3), source.pixel(5, 4));
}

void ImagingTest::effectsMatchReference_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<int>("seed");
    const QList<QSize> sizes{{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 3}, {7, 11}, {13, 6}, {40, 30}, {64, 9}, {23, 51}};
    int seed = 0;
    for (const char* name : {"invert", "grayscale", "sharpen", "diffuse", "emboss", "solarize", "ligthen", "brightness",
                             "colors", "soften"}) {
        for (const QSize size : sizes) {
            ++seed;
            QTest::addRow("%s %dx%d", name, size.width(), size.height())
                << QString(name) << randomPicture(size.width(), size.height(), seed) << seed;
        }
        // Nearly black pictures make the samples outside the picture matter.
        QTest::addRow("%s dark", name) << QString(name) << randomPicture(9, 8, ++seed, 3) << seed;
    }
    // W * H exactly at each step of the lighten factor table: 35000, 100000, 200000, 350000.
    for (const QSize size : {QSize(176, 201), QSize(251, 401), QSize(401, 501), QSize(501, 701)}) {
        QTest::addRow("ligthen %dx%d", size.width(), size.height())
            << QStringLiteral("ligthen") << randomPicture(size.width(), size.height(), ++seed) << seed;
    }
}

void ImagingTest::effectsMatchReference() {
    QFETCH(QString, name);
    QFETCH(QImage, picture);
    QFETCH(int, seed);
    ImageEffects effects;
    effects.BrightnessOffset = seed % 2 ? (seed * 37) % 256 : -((seed * 53) % 256);
    effects.seedRandom(quint64(seed));
    EffectRandom random{quint64(seed)};
    ReferenceInputs inputs{effects.BrightnessOffset, (seed * 29) % 201 - 100, (seed * 43) % 201 - 100,
                           (seed * 61) % 201 - 100, &random};
    frmImgColors colors(effects, {});
    colors.sldRed->setValue(inputs.red);
    colors.sldGreen->setValue(inputs.green);
    colors.sldBlue->setValue(inputs.blue);

    const QImage expected = referenceEffect(name, picture, inputs);
    QImage actual = picture;
    effects.ApplyImageEffect(name, actual);
    QCOMPARE(firstDifference(actual, expected), QString());
}

void ImagingTest::designedExamples_data() {
    QTest::addColumn<bool>("editorCommand");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("setting");
    QTest::addColumn<QRgb>("before");
    QTest::addColumn<QRgb>("after");
    QTest::newRow("brightness +100") << false << "brightness" << 100 << qRgb(200, 10, 0) << qRgb(255, 110, 100);
    QTest::newRow("brightness -255") << false << "brightness" << -255 << qRgb(200, 10, 255) << qRgb(0, 0, 0);
    QTest::newRow("colors -100/0/100") << false << "colors" << 0 << qRgb(100, 100, 100) << qRgb(0, 100, 200);
    QTest::newRow("'lighten' is no effect name") << false << "lighten" << 0 << qRgb(1, 2, 3) << qRgb(1, 2, 3);
    QTest::newRow("case matters") << false << "Invert" << 0 << qRgb(1, 2, 3) << qRgb(1, 2, 3);
    QTest::newRow("editor colorbalance") << true << "colorbalance" << 0 << qRgb(100, 100, 100) << qRgb(0, 100, 200);
    QTest::newRow("editor unknown") << true << "colors" << 0 << qRgb(1, 2, 3) << qRgb(1, 2, 3);
}

void ImagingTest::designedExamples() {
    QFETCH(QString, name);
    QFETCH(QRgb, before);
    QFETCH(QRgb, after);
    QFETCH(int, setting);
    QFETCH(bool, editorCommand);
    ImageEffects effects;
    effects.BrightnessOffset = setting;
    frmImgColors colors(effects, {});
    colors.sldRed->setValue(-100);
    colors.sldBlue->setValue(100);
    QImage picture = uniform(3, 2, before);
    if (editorCommand) {
        QCOMPARE(effects.runEditorEffect(name, picture), before != after);
    } else {
        effects.ApplyImageEffect(name, picture);
    }
    QCOMPARE(firstDifference(picture, uniform(3, 2, after)), QString());
}

void ImagingTest::boxScaleModes() {
    ImageEffects effects;
    const QImage original = randomPicture(5, 4, 3);
    QImage picture = original;
    effects.Invert(picture, PictureScale{PictureScale::Mode::Other, 5, 4, 15});
    QImage expected = original;
    expected.setPixel(0, 0, original.pixel(0, 0) ^ 0xFFFFFF);
    QCOMPARE(firstDifference(picture, expected), QString());
    effects.Soften(picture, PictureScale{PictureScale::Mode::Other, 5, 4, 15});
    QCOMPARE(firstDifference(picture, expected), QString());

    // A box in twips as large as the picture gives the same result as one in pixels.
    picture = original;
    effects.Soften(picture, PictureScale{PictureScale::Mode::Twips, 75, 60, 15});
    QCOMPARE(firstDifference(picture, referenceEffect("soften", original, {})), QString());
}

void ImagingTest::progressReports_data() {
    QTest::addColumn<QString>("effect");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("openDialog");
    QTest::addColumn<QList<int>>("columns");
    QList<int> everyFifth;
    for (int x = 0; x <= 95; x += 5) {
        everyFifth << x;
    }
    QTest::newRow("invert 100") << "invert" << 100 << "" << everyFifth;
    QTest::newRow("soften 100") << "soften" << 100 << "" << everyFifth.mid(1);
    QTest::newRow("emboss entry 100") << "emboss" << 100 << "" << everyFifth + everyFifth.mid(1);
    QTest::newRow("small: every column") << "invert" << 5 << "" << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("one column: none") << "invert" << 1 << "" << QList<int>{};
    QTest::newRow("brightness previewed") << "brightness" << 100 << "brightness" << QList<int>{};
    QTest::newRow("colors previewed") << "colorbalance" << 100 << "colors" << QList<int>{};
    QTest::newRow("brightness, other dialog") << "brightness" << 100 << "colors" << everyFifth;
}

void ImagingTest::progressReports() {
    QFETCH(QString, effect);
    QFETCH(int, width);
    QFETCH(QString, openDialog);
    QFETCH(QList<int>, columns);
    ImageEffects effects;
    RecordingObserver observer;
    effects.setProgressObserver(&observer);
    std::unique_ptr<QDialog> dialog;
    if (openDialog == "brightness") {
        dialog = std::make_unique<frmImgBrightness>(effects, EffectDialogHost{});
    } else if (openDialog == "colors") {
        dialog = std::make_unique<frmImgColors>(effects, EffectDialogHost{});
    }
    if (dialog) {
        dialog->show();
        observer.values.clear();
    }
    QImage picture = randomPicture(width, 3, 5);
    QVERIFY(effects.runEditorEffect(effect, picture));
    QList<double> expected;
    for (int x : columns) {
        expected << double(x) / (width - 1) * 100;
    }
    QCOMPARE(observer.values, expected);
}

void ImagingTest::scaleToFit_data() {
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QSizeF>("fitted");
    QTest::newRow("too wide") << QSizeF(2000, 1000) << QSizeF(1000, 500);
    QTest::newRow("too tall") << QSizeF(500, 2000) << QSizeF(250, 1000);
    QTest::newRow("fits") << QSizeF(800, 600) << QSizeF(800, 600);
    QTest::newRow("exactly") << QSizeF(1000, 1000) << QSizeF(1000, 1000);
    QTest::newRow("both") << QSizeF(4000, 8000) << QSizeF(500, 1000);
}

void ImagingTest::scaleToFit() {
    QFETCH(QSizeF, size);
    QFETCH(QSizeF, fitted);
    float width = float(size.width());
    float height = float(size.height());
    EffectPreviewDialog::ScaleToFit(width, height, 1000, 1000);
    QCOMPARE(QSizeF(width, height), fitted);
}

void ImagingTest::dialogsPreviewAndClose_data() {
    QTest::addColumn<bool>("colors");
    QTest::addColumn<QString>("close");
    QTest::addColumn<bool>("exiting");
    for (const bool colors : {false, true}) {
        const char* kind = colors ? "colors" : "brightness";
        for (const char* close : {"ok", "cancel", "escape", "window"}) {
            QTest::addRow("%s %s", kind, close) << colors << QString(close) << false;
        }
        QTest::addRow("%s while exiting", kind) << colors << QStringLiteral("cancel") << true;
    }
}

void ImagingTest::dialogsPreviewAndClose() {
    QFETCH(bool, colors);
    QFETCH(QString, close);
    QFETCH(bool, exiting);
    ImageEffects effects;
    effects.BrightnessOffset = 77;
    QWidget editor;
    editor.setEnabled(false);
    QStringList applied;
    bool hiddenWhileApplied = false;
    EffectPreviewDialog* dialog = nullptr;
    const QImage picture = randomPicture(640, 200, 4);
    EffectDialogHost host{&editor, picture,
                          [&](const QString& command) {
                              applied << command;
                              hiddenWhileApplied = dialog->isHidden() && editor.isVisible();
                          },
                          [exiting] { return exiting; }};
    if (colors) {
        dialog = new frmImgColors(effects, host);
    } else {
        dialog = new frmImgBrightness(effects, host);
        QCOMPARE(effects.BrightnessOffset, 0);
    }
    QCOMPARE(dialog->windowTitle(), colors ? QStringLiteral("Color balance") : QStringLiteral("Brightness"));
    QCOMPARE(dialog->originalPicture().size(), QSize(320, 100));
    QCOMPARE(dialog->picBox->size(), QSize(320, 100));
    QCOMPARE(dialog->width(), dialog->picBox->x() + 320 + 10);
    QVERIFY(dialog->lblPreview->isHidden());
    QPointer<EffectPreviewDialog> alive(dialog);
    dialog->show();

    auto* slider = dialog->findChild<QSlider*>(colors ? "sldGreen" : "sldBright");
    QVERIFY(slider != nullptr);
    slider->setFocus();
    if (close == "ok") {
        dialog->cmdOK->click();
    } else if (close == "cancel") {
        dialog->cmdCancel->click();
    } else if (close == "escape") {
        QTest::keyClick(slider, Qt::Key_Escape);
    } else {
        dialog->close();
    }
    QCOMPARE(applied, close == "ok" ? QStringList{colors ? "colorbalance" : "brightness"} : QStringList{});
    QCOMPARE(hiddenWhileApplied, close == "ok");
    QCOMPARE(editor.isEnabled(), !exiting);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(alive.isNull());
}

void ImagingTest::brightnessDialog() {
    ImageEffects effects;
    RecordingObserver observer;
    effects.setProgressObserver(&observer);
    const QImage picture = randomPicture(30, 20, 6);
    frmImgBrightness dialog(effects, {nullptr, picture, {}, {}});
    QCOMPARE(dialog.originalPicture(), picture); // small pictures are previewed as they are
    QCOMPARE(dialog.sldBright->minimum(), -255);
    QCOMPARE(dialog.sldBright->maximum(), 255);
    dialog.show();
    observer.values.clear();

    Q_EMIT dialog.sldBright->sliderMoved(40); // dragging moves only the offset
    QCOMPARE(effects.BrightnessOffset, 40);
    dialog.sldBright->setValue(-60);
    QCOMPARE(effects.BrightnessOffset, -60);
    QCOMPARE(firstDifference(dialog.previewPicture(), referenceEffect("brightness", picture, {-60})), QString());
    QCOMPARE(dialog.picBox->pixmap().toImage().convertToFormat(QImage::Format_RGB32), dialog.previewPicture());
    QCOMPARE(observer.values, QList<double>{}); // previews leave the progress bar alone

    // While a preview is being computed a further change is not previewed.
    dialog.lblPreview->show();
    dialog.sldBright->setValue(100);
    QCOMPARE(dialog.previewPicture(), dialog.originalPicture());
    QCOMPARE(dialog.picBox->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
             referenceEffect("brightness", picture, {-60}));
}

void ImagingTest::colorsDialog() {
    ImageEffects effects;
    const QImage picture = randomPicture(16, 12, 7);
    QImage editorPicture = picture;
    RecordingObserver observer;
    auto* dialog = new frmImgColors(
        effects,
        {nullptr, picture, [&](const QString& command) { effects.runEditorEffect(command, editorPicture); }, {}});
    dialog->show();
    effects.setProgressObserver(&observer);
    dialog->sldRed->setValue(-100);
    dialog->sldGreen->setValue(100);
    QCOMPARE(firstDifference(dialog->previewPicture(), referenceEffect("colors", picture, {0, -100, 100, 0})),
             QString());
    QVERIFY(observer.values.isEmpty());
    dialog->cmdOK->click(); // the editor's picture gets the sliders' effect, with progress
    QCOMPARE(editorPicture, dialog->previewPicture());
    QCOMPARE(observer.values.size(), 16); // W = 15: every column reports
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ImagingTest::pngRoundTrip_data() {
    QTest::addColumn<QSize>("size");
    for (int width = 1; width <= 9; ++width) {
        for (int height : {1, 3}) {
            QTest::addRow("%dx%d", width, height) << QSize(width, height);
        }
    }
    QTest::addRow("wide") << QSize(301, 17);
}

void ImagingTest::pngRoundTrip() {
    QFETCH(QSize, size);
    const QImage picture = randomPicture(size.width(), size.height(), quint32(size.width() * 10 + size.height()));
    const QString file = path(QStringLiteral("round.png"));
    QVERIFY(SavePictureAsPng(picture, file));

    // The file as another reader sees it: 8-bit RGB, no interlacing, sBIT 8 8 8, the same pixels.
    const QByteArray bytes = readFile(file);
    QCOMPARE(bytes.mid(24, 5), QByteArray("\x08\x02\x00\x00\x00", 5));
    QVERIFY(bytes.contains(QByteArray("\x00\x00\x00\x03sBIT\x08\x08\x08", 11)));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    QVERIFY(png_image_begin_read_from_memory(&image, bytes.constData(), size_t(bytes.size())));
    image.format = PNG_FORMAT_RGB;
    QByteArray rgb(qsizetype(PNG_IMAGE_SIZE(image)), '\0');
    QVERIFY(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    QImage decoded(reinterpret_cast<const uchar*>(rgb.constData()), size.width(), size.height(), size.width() * 3,
                   QImage::Format_RGB888);
    QCOMPARE(firstDifference(decoded.convertToFormat(QImage::Format_RGB32), picture), QString());

    QImage loaded;
    QVERIFY(LoadPngPicture(file, loaded));
    QCOMPARE(firstDifference(loaded, picture), QString());
}

void ImagingTest::pngConversions_data() {
    QTest::addColumn<int>("colorType");
    QTest::addColumn<int>("bitDepth");
    QTest::addColumn<bool>("interlaced");
    QTest::addColumn<bool>("transparency");
    const struct {
        int type;
        QList<int> depths;
    } kinds[] = {{PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}},
                 {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
                 {PNG_COLOR_TYPE_RGB, {8, 16}},
                 {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}},
                 {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}}};
    for (const auto& kind : kinds) {
        for (int depth : kind.depths) {
            QTest::addRow("type %d depth %d", kind.type, depth) << kind.type << depth << false << false;
        }
    }
    QTest::newRow("interlaced RGB") << PNG_COLOR_TYPE_RGB << 8 << true << false;
    QTest::newRow("interlaced palette 4") << PNG_COLOR_TYPE_PALETTE << 4 << true << true;
    QTest::newRow("palette with transparency") << PNG_COLOR_TYPE_PALETTE << 8 << false << true;
}

void ImagingTest::pngConversions() {
    QFETCH(int, colorType);
    QFETCH(int, bitDepth);
    QFETCH(bool, interlaced);
    QFETCH(bool, transparency);
    PngTestFile png;
    png.width = 13;
    png.height = 7;
    png.colorType = colorType;
    png.bitDepth = bitDepth;
    png.interlaced = interlaced;
    if (png.colorType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < (1 << png.bitDepth); ++i) {
            png.palette << qRgb(i * 7 % 256, 255 - i, i * 13 % 256);
        }
        if (transparency) {
            png.transparencies = QByteArray(png.palette.size() / 2, '\x40');
        }
    }
    png.fill();
    const QString file = path(QStringLiteral("kind.png"));
    writeFile(file, writePngFile(png));

    QImage loaded;
    QVERIFY(LoadPngPicture(file, loaded));
    QCOMPARE(loaded.size(), QSize(13, 7));
    const bool grey = (png.colorType & PNG_COLOR_MASK_COLOR) == 0;
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 13; ++x) {
            auto to8 = [&](int c) {
                const int v = png.sample(x, y, c);
                return png.bitDepth == 16 ? v / 257 : v * 255 / ((1 << png.bitDepth) - 1);
            };
            QRgb expected = grey ? qRgb(to8(0), to8(0), to8(0)) : qRgb(to8(0), to8(1), to8(2));
            if (png.colorType == PNG_COLOR_TYPE_PALETTE) {
                expected = png.palette[png.sample(x, y, 0)];
            }
            QCOMPARE(loaded.pixel(x, y), expected);
        }
    }
}

void ImagingTest::pngRefusals_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    const QImage picture = randomPicture(40, 30, 8);
    QVERIFY(SavePictureAsPng(picture, path(QStringLiteral("valid.png"))));
    const QByteArray valid = readFile(path(QStringLiteral("valid.png")));
    QByteArray badCrc = valid;
    badCrc[60] = char(badCrc[60] ^ 0x5A); // inside the image data
    // 65535 x 65535 with a correct checksum: within libpng's limits, beyond what is worth loading.
    QByteArray hugeHeader = valid;
    hugeHeader.replace(16, 8, QByteArray("\x00\x00\xFF\xFF\x00\x00\xFF\xFF", 8));
    const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(hugeHeader.constData() + 12), 17));
    for (int i = 0; i < 4; ++i) {
        hugeHeader[29 + i] = char(crc >> (24 - 8 * i));
    }

    QTest::newRow("not a PNG") << QByteArray("BM this is a bitmap, honestly") << "other.png";
    QTest::newRow("empty") << QByteArray() << "empty.png";
    QTest::newRow("signature only") << valid.left(8) << "sig.png";
    QTest::newRow("truncated") << valid.left(valid.size() / 2) << "half.png";
    QTest::newRow("no end chunk") << valid.left(valid.size() - 12) << "noend.png";
    QTest::newRow("damaged data") << badCrc << "crc.png";
    QTest::newRow("huge header") << hugeHeader << "huge.png";
    QTest::newRow("missing file") << QByteArray() << "";
}

void ImagingTest::pngRefusals() {
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QString file = path(QStringLiteral("missing.png"));
    if (!name.isEmpty()) {
        file = path(name);
        writeFile(file, content);
    }
    const QImage before = randomPicture(3, 2, 9);
    QImage picture = before;
    QVERIFY(!LoadPngPicture(file, picture));
    QCOMPARE(picture, before);
}

void ImagingTest::pngSaveRefusals() {
    QVERIFY(!SavePictureAsPng(QImage(), path(QStringLiteral("nothing.png"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("nothing.png"))));
    QVERIFY(!SavePictureAsPng(randomPicture(3, 2, 9), path(QStringLiteral("no/such/folder.png"))));
    // libpng refuses rows of more than a million pixels; the file that was there stays as it was.
    const QString file = path(QStringLiteral("kept.png"));
    writeFile(file, "old");
    QVERIFY(!SavePictureAsPng(uniform(1000001, 1, qRgb(1, 2, 3)), file));
    QCOMPARE(readFile(file), QByteArray("old"));
}

std::unique_ptr<QObject> imagingTest() {
    return std::make_unique<ImagingTest>();
}

#include "ImagingTest.moc"
