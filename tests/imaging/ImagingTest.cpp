#include "EffectReference.h"
#include "HostileImages.h"
#include "PngTestFiles.h"
#include "TestSupport.h"
#include "imaging/EffectProgressObserver.h"
#include "imaging/EffectRandom.h"
#include "imaging/ImageEffects.h"
#include "imaging/PngPicture.h"
#include "imaging/cDIBSection.h"
#include "imaging/frmImgBrightness.h"
#include "imaging/frmImgColors.h"

#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSlider>

#include <png.h>
#include <zlib.h>

Q_DECLARE_METATYPE(PngTestFile)

using namespace TestSupport;

namespace {

// Random pixels; a mask of 0x030303 gives nearly black pictures, where samples outside the picture matter.
QImage randomPicture(int width, int height, quint32 seed, QRgb mask = 0xFFFFFF) {
    QRandomGenerator random(seed);
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, random.generate() & mask);
    return picture;
}

// Empty when both pictures have the same size and pixels, else where they first differ.
QString firstDifference(const QImage& actual, const QImage& expected) {
    for (int i = 0; actual.size() == expected.size() && i < actual.width() * actual.height(); ++i) {
        const QPoint at(i / actual.height(), i % actual.height());
        if (actual.pixel(at) != expected.pixel(at))
            return QString::asprintf("(%d,%d) is %x, not %x", at.x(), at.y(), actual.pixel(at), expected.pixel(at));
    }
    return actual.size() == expected.size() ? QString() : QStringLiteral("size differs");
}

struct RecordingObserver final : EffectProgressObserver {
    QList<double> values;
    void effectProgress(double percent) override { values.append(percent); }
};

} // namespace

class ImagingTest final : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private Q_SLOTS:
    // Width w, 3 rows: each row padded to four bytes, the bottom row first, blue-green-red, and back unchanged.
    void dibLayout_data() {
        columns<int, int>("width", "bytes");
        for (const auto& [width, bytes] : {std::pair{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}})
            QTest::addRow("%d", width) << width << bytes;
    }
    void dibLayout() {
        const auto [width, bytes] = fetch<int, int>("width", "bytes");
        cDIBSection dib;
        QVERIFY(!dib.Create(0, 5));
        QVERIFY(!dib.Create(5, -1));
        const QImage picture = randomPicture(width, 3, quint32(width));
        QVERIFY(dib.Create(9, 9));
        QVERIFY(dib.Create(width, 3)); // replaces the first bitmap
        QCOMPARE(dib.BytesPerScanLine(), bytes);
        QCOMPARE(dib.header().biSizeImage, quint32(bytes * 3));
        dib.LoadPictureBlt(picture, 0, 0);
        for (int y = 0; y < 3; ++y) {
            const uchar* row = dib.DIBSectionBitsPtr() + (2 - y) * bytes;
            for (int x = 0; x < width; ++x)
                QCOMPARE(qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]), picture.pixel(x, y));
            for (int padding = 3 * width; padding < bytes; ++padding)
                QCOMPARE(row[padding], uchar(0));
        }
        QImage back(width, 3, QImage::Format_ARGB32_Premultiplied);
        dib.PaintPicture(back, 0, 0);
        QCOMPARE(firstDifference(back, picture), QString());
        dib.ClearUp();
        QVERIFY(dib.DIBSectionBitsPtr() == nullptr);
        dib.PaintPicture(back, 0, 0); // nothing to paint, nothing breaks
    }

    void dibRectangles() {
        const QImage source = randomPicture(6, 5, 2);
        cDIBSection dib;
        QVERIFY(dib.Create(3, 2));
        dib.LoadPictureBlt(source, 2, 1, -1, -1);
        QImage target = uniform(5, 4, qRgb(1, 2, 3));
        dib.PaintPicture(target, 1, 2, 2, -1, 1, 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                QCOMPARE(target.pixel(x, y), x >= 1 && x <= 2 && y >= 2 ? source.pixel(x + 2, y - 1) : qRgb(1, 2, 3));
        // Rectangles reaching past either picture are clipped.
        dib.LoadPictureBlt(source, 5, 4);
        dib.PaintPicture(target, 3, 2, 10, 10, -1, -1);
        QCOMPARE(target.pixel(4, 3), source.pixel(5, 4));
    }

    void effectsMatchReference_data() {
        columns<QString, QImage, int>("name", "picture", "seed");
        const QList<QSize> sizes{{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 3}, {7, 11}, {13, 6}, {40, 30}, {64, 9}, {23, 51}};
        int seed = 0;
        for (const char* name : {"invert", "grayscale", "sharpen", "diffuse", "emboss", "solarize", "ligthen",
                                 "brightness", "colors", "soften"}) {
            for (const QSize size : sizes) {
                QTest::addRow("%s %dx%d", name, size.width(), size.height())
                    << QString(name) << randomPicture(size.width(), size.height(), ++seed) << seed;
            }
            QTest::addRow("%s dark", name) << QString(name) << randomPicture(9, 8, ++seed, 0x030303) << seed;
        }
        // W * H exactly at each step of the lighten factor table: 35000, 100000, 200000, 350000.
        for (const QSize size : {QSize(176, 201), QSize(251, 401), QSize(401, 501), QSize(501, 701)}) {
            QTest::addRow("ligthen %dx%d", size.width(), size.height())
                << QStringLiteral("ligthen") << randomPicture(size.width(), size.height(), ++seed) << seed;
        }
    }
    void effectsMatchReference() {
        auto [name, picture, seed] = fetch<QString, QImage, int>("name", "picture", "seed");
        ImageEffects effects;
        effects.BrightnessOffset = seed % 2 ? (seed * 37) % 256 : -((seed * 53) % 256);
        effects.seedRandom(quint64(seed));
        EffectRandom random{quint64(seed)};
        const ReferenceInputs inputs{effects.BrightnessOffset, (seed * 29) % 201 - 100, (seed * 43) % 201 - 100,
                                     (seed * 61) % 201 - 100, &random};
        frmImgColors colors(effects, {});
        colors.sldRed->setValue(inputs.red);
        colors.sldGreen->setValue(inputs.green);
        colors.sldBlue->setValue(inputs.blue);
        const QImage expected = referenceEffect(name, picture, inputs);
        effects.ApplyImageEffect(name, picture);
        QCOMPARE(firstDifference(picture, expected), QString());
    }

    // Worked examples, independent of the reference; colour balance at red -100, green 0, blue 100.
    void designedExamples_data() {
        columns<bool, QString, int, QRgb, QRgb>("editorCommand", "name", "setting", "before", "after");
        QTest::newRow("brightness +100") << false << "brightness" << 100 << qRgb(200, 10, 0) << qRgb(255, 110, 100);
        QTest::newRow("brightness -255") << false << "brightness" << -255 << qRgb(200, 10, 255) << qRgb(0, 0, 0);
        QTest::newRow("colors") << false << "colors" << 0 << qRgb(100, 100, 100) << qRgb(0, 100, 200);
        QTest::newRow("'lighten' is no effect name") << false << "lighten" << 0 << qRgb(1, 2, 3) << qRgb(1, 2, 3);
        QTest::newRow("case matters") << false << "Invert" << 0 << qRgb(1, 2, 3) << qRgb(1, 2, 3);
        QTest::newRow("editor colorbalance") << true << "colorbalance" << 0 << qRgb(100, 100, 100) << qRgb(0, 100, 200);
        QTest::newRow("editor unknown") << true << "colors" << 0 << qRgb(1, 2, 3) << qRgb(1, 2, 3);
    }
    void designedExamples() {
        const auto [editorCommand, name, setting, before, after] =
            fetch<bool, QString, int, QRgb, QRgb>("editorCommand", "name", "setting", "before", "after");
        ImageEffects effects;
        effects.BrightnessOffset = setting;
        frmImgColors colors(effects, {});
        colors.sldRed->setValue(-100);
        colors.sldBlue->setValue(100);
        QImage picture = uniform(3, 2, before);
        if (editorCommand)
            QCOMPARE(effects.runEditorEffect(name, picture), before != after);
        else
            effects.ApplyImageEffect(name, picture);
        QCOMPARE(firstDifference(picture, uniform(3, 2, after)), QString());
    }

    void boxScaleModes() {
        ImageEffects effects;
        const QImage original = randomPicture(5, 4, 3);
        QImage picture = original, expected = original;
        // An unknown mode makes W = H = 0: only the first pixel is inverted, soften does nothing.
        effects.Invert(picture, PictureScale{PictureScale::Mode::Other, 5, 4, 15});
        expected.setPixel(0, 0, original.pixel(0, 0) ^ 0xFFFFFF);
        effects.Soften(picture, PictureScale{PictureScale::Mode::Other, 5, 4, 15});
        QCOMPARE(firstDifference(picture, expected), QString());
        // A box in twips as large as the picture gives the same result as one in pixels.
        picture = original;
        effects.Soften(picture, PictureScale{PictureScale::Mode::Twips, 75, 60, 15});
        QCOMPARE(firstDifference(picture, referenceEffect("soften", original, {})), QString());
    }

    // Columns after which the editor's effect reports progress, with one of the dialogs open or none.
    void progressReports_data() {
        columns<QString, int, QString, QList<int>>("effect", "width", "openDialog", "columns");
        QList<int> everyFifth;
        for (int x = 0; x <= 95; x += 5)
            everyFifth << x;
        QTest::newRow("invert 100") << "invert" << 100 << "" << everyFifth;
        QTest::newRow("soften 100") << "soften" << 100 << "" << everyFifth.mid(1);
        QTest::newRow("emboss entry 100") << "emboss" << 100 << "" << everyFifth + everyFifth.mid(1);
        QTest::newRow("small: every column") << "invert" << 5 << "" << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("one column: none") << "invert" << 1 << "" << QList<int>{};
        QTest::newRow("brightness previewed") << "brightness" << 100 << "brightness" << QList<int>{};
        QTest::newRow("colors previewed") << "colorbalance" << 100 << "colors" << QList<int>{};
        QTest::newRow("brightness, other dialog") << "brightness" << 100 << "colors" << everyFifth;
    }
    void progressReports() {
        const auto [effect, width, openDialog, columns] =
            fetch<QString, int, QString, QList<int>>("effect", "width", "openDialog", "columns");
        ImageEffects effects;
        RecordingObserver observer;
        effects.setProgressObserver(&observer);
        std::unique_ptr<QDialog> dialog;
        if (openDialog == "brightness")
            dialog = std::make_unique<frmImgBrightness>(effects, EffectDialogHost{});
        else if (openDialog == "colors")
            dialog = std::make_unique<frmImgColors>(effects, EffectDialogHost{});
        if (dialog)
            dialog->show();
        observer.values.clear();
        QImage picture = randomPicture(width, 3, 5);
        QVERIFY(effects.runEditorEffect(effect, picture));
        QList<double> expected;
        for (int x : columns)
            expected << double(x) / (width - 1) * 100;
        QCOMPARE(observer.values, expected);
    }

    // A dialog previews its sliders' effect on the reduced picture, then closes in one of the ways.
    void dialogs_data() {
        columns<bool, QString, bool>("colors", "close", "exiting");
        for (const bool colors : {false, true}) {
            for (const char* close : {"ok", "cancel", "escape", "window"})
                QTest::addRow("%s %s", colors ? "colors" : "brightness", close) << colors << QString(close) << false;
            QTest::addRow("%s while exiting", colors ? "colors" : "brightness") << colors << "cancel" << true;
        }
    }
    void dialogs() {
        const auto [colors, close, exiting] = fetch<bool, QString, bool>("colors", "close", "exiting");
        ImageEffects effects;
        effects.BrightnessOffset = 77;
        QWidget editor;
        editor.setEnabled(false);
        QStringList applied;
        EffectPreviewDialog* dialog = nullptr;
        EffectDialogHost host{&editor, colors ? randomPicture(800, 1200, 4) : randomPicture(640, 200, 4),
                              [&](const QString& command) {
                                  applied << command << (dialog->isHidden() && editor.isVisible() ? "hidden" : "");
                              },
                              [exiting = exiting] { return exiting; }};
        if (colors)
            dialog = new frmImgColors(effects, host);
        else
            dialog = new frmImgBrightness(effects, host);
        QCOMPARE(effects.BrightnessOffset, colors ? 77 : 0); // opening brightness starts from the slider
        // Reduced to fit 320 x 240: too wide; too wide, then still too tall.
        const QSize reduced = colors ? QSize(160, 240) : QSize(320, 100);
        QCOMPARE(dialog->originalPicture().size(), reduced);
        QCOMPARE(dialog->picBox->size(), reduced);
        QCOMPARE(dialog->width(), dialog->picBox->x() + reduced.width() + 10);
        QPointer<EffectPreviewDialog> alive(dialog);
        dialog->show();
        auto* slider = dialog->findChild<QSlider*>(colors ? "sldGreen" : "sldBright");
        QVERIFY(slider != nullptr);
        Q_EMIT slider->sliderMoved(40); // dragging moves only the brightness offset
        QCOMPARE(effects.BrightnessOffset, colors ? 77 : 40);
        if (colors)
            dialog->findChild<QSlider*>("sldRed")->setValue(-100);
        slider->setValue(colors ? 100 : -200);
        const QImage expected = referenceEffect(colors ? "colors" : "brightness", dialog->originalPicture(),
                                                colors ? ReferenceInputs{0, -100, 100, 0} : ReferenceInputs{-200});
        QCOMPARE(firstDifference(dialog->previewPicture(), expected), QString());
        QCOMPARE(dialog->picBox->pixmap().toImage().convertToFormat(QImage::Format_RGB32), expected);
        // While a preview is being computed a further change is not previewed.
        dialog->lblPreview->show();
        slider->setValue(30);
        QCOMPARE(dialog->previewPicture(), dialog->originalPicture());
        QCOMPARE(dialog->picBox->pixmap().toImage().convertToFormat(QImage::Format_RGB32), expected);
        dialog->lblPreview->hide();
        slider->setFocus();
        if (close == "ok")
            dialog->cmdOK->click();
        else if (close == "cancel")
            dialog->cmdCancel->click();
        else if (close == "escape")
            QTest::keyClick(slider, Qt::Key_Escape);
        else
            dialog->close();
        const QStringList ok{colors ? "colorbalance" : "brightness", "hidden"};
        QCOMPARE(applied, close == "ok" ? ok : QStringList());
        QCOMPARE(editor.isEnabled(), !exiting);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive.isNull());
    }

    // Saved files as another reader sees them: 8-bit RGB, no interlacing, sBIT 8 8 8, the same pixels.
    void pngRoundTrip_data() {
        QTest::addColumn<QSize>("size");
        for (int width = 1; width <= 9; ++width)
            for (int height : {1, 3})
                QTest::addRow("%dx%d", width, height) << QSize(width, height);
        QTest::addRow("wide") << QSize(301, 17);
    }
    void pngRoundTrip() {
        QFETCH(QSize, size);
        const QImage picture = randomPicture(size.width(), size.height(), quint32(size.width() * 10 + size.height()));
        const QByteArray bytes = encodePngPicture(picture);
        QCOMPARE(bytes.mid(24, 5), QByteArray("\x08\x02\x00\x00\x00", 5));
        QVERIFY(bytes.contains(QByteArray("\x00\x00\x00\x03sBIT\x08\x08\x08", 11)));
        QCOMPARE(firstDifference(QImage::fromData(bytes, "PNG").convertToFormat(QImage::Format_RGB32), picture),
                 QString());
    }

    void pngConversions_data() {
        QTest::addColumn<PngTestFile>("png");
        const QList<QList<int>> kinds{{PNG_COLOR_TYPE_GRAY, 1, 2, 4, 8, 16},
                                      {PNG_COLOR_TYPE_GRAY_ALPHA, 8, 16},
                                      {PNG_COLOR_TYPE_RGB, 8, 16},
                                      {PNG_COLOR_TYPE_RGB_ALPHA, 8, 16},
                                      {PNG_COLOR_TYPE_PALETTE, 1, 2, 4, 8}};
        for (const QList<int>& kind : kinds)
            for (int depth : kind.mid(1))
                QTest::addRow("type %d depth %d", kind[0], depth) << PngTestFile{13, 7, kind[0], depth};
        QTest::newRow("interlaced RGB") << PngTestFile{13, 7, PNG_COLOR_TYPE_RGB, 8, true};
        QTest::newRow("interlaced palette 4") << PngTestFile{13, 7, PNG_COLOR_TYPE_PALETTE, 4, true, true};
        QTest::newRow("palette with transparency") << PngTestFile{13, 7, PNG_COLOR_TYPE_PALETTE, 8, false, true};
    }
    void pngConversions() {
        QFETCH(PngTestFile, png);
        QVERIFY(writeFile(path("kind.png"), png.bytes()));
        QImage loaded;
        QVERIFY(LoadPngPicture(path("kind.png"), loaded));
        QCOMPARE(loaded.size(), QSize(13, 7));
        const bool grey = (png.colorType & PNG_COLOR_MASK_COLOR) == 0;
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 13; ++x) {
                const auto to8 = [&](int c) {
                    const int v = png.sample(x, y, c);
                    return png.bitDepth == 16 ? v / 257 : v * 255 / ((1 << png.bitDepth) - 1);
                };
                const QRgb rgb = grey ? qRgb(to8(0), to8(0), to8(0)) : qRgb(to8(0), to8(1), to8(2));
                QCOMPARE(loaded.pixel(x, y),
                         png.colorType == PNG_COLOR_TYPE_PALETTE ? png.palette()[png.sample(x, y, 0)] : rgb);
            }
        }
    }

    // Files the reader refuses, leaving the picture as it was; and pictures the writer refuses.
    void pngRefusals_data() {
        QTest::addColumn<QByteArray>("content");
        const QByteArray valid = encodePngPicture(randomPicture(40, 30, 8));
        QByteArray badCrc = valid;
        badCrc[60] = char(badCrc[60] ^ 0x5A); // inside the image data
        // 65535 x 65535 with a correct checksum: within libpng's limits, beyond what is worth loading.
        QByteArray huge = valid.left(12) + QByteArray("IHDR\x00\x00\xFF\xFF\x00\x00\xFF\xFF", 12) + valid.mid(24, 5);
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(huge.constData() + 12), 17));
        huge += QByteArray(1, char(crc >> 24)) + char(crc >> 16) + char(crc >> 8) + char(crc) + valid.mid(33);
        QTest::newRow("not a PNG") << QByteArray("BM this is a bitmap, honestly");
        QTest::newRow("signature only") << valid.left(8);
        QTest::newRow("truncated") << valid.left(valid.size() / 2);
        QTest::newRow("no end chunk") << valid.left(valid.size() - 12);
        QTest::newRow("damaged data") << badCrc;
        QTest::newRow("huge header") << huge;
        QTest::newRow("100,000 x 100,000") << HostileImages::pngClaiming(100'000, 100'000);
        QTest::newRow("missing file") << QByteArray();
    }
    void pngRefusals() {
        QFETCH(QByteArray, content);
        QVERIFY(!QFile::exists(path("refused.png")) || QFile::remove(path("refused.png")));
        QVERIFY(content.isNull() || writeFile(path("refused.png"), content));
        const QImage before = randomPicture(3, 2, 9);
        QImage picture = before;
        QVERIFY(!LoadPngPicture(path("refused.png"), picture));
        QCOMPARE(picture, before);
    }

    // No PNG of an empty picture, nor of rows of more than a million pixels, which libpng refuses.
    void pngEncodeRefusals() {
        QVERIFY(encodePngPicture(QImage()).isEmpty() && encodePngPicture(uniform(1000001, 1, qRgb(1, 2, 3))).isEmpty());
    }
};

ZP_TEST_CLASS(ImagingTest)
#include "ImagingTest.moc"
