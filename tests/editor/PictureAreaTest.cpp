#include "editor/PictureArea.h"
#include "HostileImages.h"
#include "TestSupport.h"
#include "editor/PictureFiles.h"
#include "editor/PictureScroll.h"
#include "imaging/ImageEffects.h"
#include "services/Messages.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

QImage randomPicture(int width, int height, quint32 seed) {
    QRandomGenerator random(seed);
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, random.generate() | 0xFF000000u);
    return picture;
}

bool samePixels(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

// The text of the one box shown since the last call, or "" when none or several were shown.
QString shownText() {
    const QList<Messages::ShownBox> shown = Messages::takeShown();
    return shown.size() == 1 ? shown.first().text : QString();
}

const QString kNothingToUndo = QStringLiteral("There is nothing to undo!");

} // namespace

class PictureAreaTest final : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    ImageEffects m_effects;
    std::unique_ptr<PictureArea> m_area;

    // A 300 x 200 pixel area just opened: the blank placeholder, nothing to undo.
    PictureArea& openArea() {
        m_area = std::make_unique<PictureArea>(m_effects, [] { return false; });
        m_area->resize(300, 200);
        m_area->show();
        m_area->reset();
        Messages::takeShown();
        return *m_area;
    }

private Q_SLOTS:
    void init() { Messages::setUnattended(true); }
    void cleanup() { m_area.reset(); }

    // Frame and picture in twips; the bars as they stood before (visible, maximum); then what the layout gives.
    void scrollLayout_data() {
        // in: frame w, h, picture w, h, horz shown, vert shown, horz max; out: horz shown, max, large, small, width,
        // top; vert the same with height and left; picture left, top; corner button
        columns<QList<int>, QList<int>>("in", "out");
        // clang-format off
        QTest::newRow("1000 wider, lower") << QList{6000, 4500, 7000, 3000, 0, 0, 0}
                                           << QList{1, -1000, 500, 26, 5760, 4260, 0, 0, 1, 1, 4260, 5760, 0, 750, 0};
        // Not strictly wider: the scroll set-up runs (it places the bars) and centres both ways.
        QTest::newRow("as wide, lower") << QList{6000, 4500, 6000, 3000, 0, 0, 0}
                                        << QList{0, 0, 1, 1, 5760, 4260, 0, 0, 1, 1, 4260, 5760, 0, 750, 0};
        QTest::newRow("smaller: centred only")
            << QList{6000, 4500, 3000, 1500, 1, 1, -50} << QList{0, -50, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 1500, 1500, 0};
        QTest::newRow("taller only") << QList{6000, 4500, 3000, 6000, 0, 0, 0}
                                     << QList{0, 0, 1, 1, 5760, 4260, 1, -1500, 750, 38, 4260, 5760, 1500, 0, 1};
        QTest::newRow("both larger, first") << QList{6000, 4500, 8000, 9000, 0, 0, 0}
            << QList{1, -2000, 1000, 51, 5760, 4260, 1, -4740, 2250, 113, 4260, 5760, 0, 0, 1};
        QTest::newRow("both larger, again") << QList{6000, 4500, 8000, 9000, 1, 1, -2000}
            << QList{1, -2240, 1000, 51, 5760, 4260, 1, -4740, 2250, 113, 4260, 5760, 0, 0, 1};
        QTest::newRow("range too large") << QList{6000, 4500, 76000, 3000, 0, 0, -777}
                                         << QList{1, -777, 32767, 1639, 5760, 4260, 0, 0, 1, 1, 4260, 5760, 0, 750, 0};
        QTest::newRow("one twip wider") << QList{6000, 4500, 6001, 3000, 0, 0, 0}
                                        << QList{1, -1, 1, 1, 5760, 4260, 0, 0, 1, 1, 4260, 5760, 0, 750, 0};
        // clang-format on
    }
    void scrollLayout() {
        const auto [in, out] = fetch<QList<int>, QList<int>>("in", "out");
        PictureScroll s;
        s.frameWidth = in[0];
        s.frameHeight = in[1];
        s.PictureWidth = s.boxWidth = in[2];
        s.PictureHeight = s.boxHeight = in[3];
        s.horz.visible = in[4];
        s.vert.visible = in[5];
        s.horz.maximum = in[6];
        s.horz.height = s.vert.width = PictureScroll::kCorner;
        s.RefreshPicture();
        const QList<int> got{s.horz.visible, s.horz.maximum, s.horz.largeChange, s.horz.smallChange, s.horz.width,
                             s.horz.top,     s.vert.visible, s.vert.maximum,     s.vert.largeChange, s.vert.smallChange,
                             s.vert.height,  s.vert.left,    s.pictureLeft,      s.pictureTop,       s.bloxVisible};
        QCOMPARE(got, out);
    }

    // Paste by the button, Ctrl+V or a double-click on the picture: the new picture shows, the old one is kept
    // for undo, and without a picture on the clipboard nothing changes but a message.
    void paste_data() {
        columns<int, bool>("how", "withPicture");
        for (const bool withPicture : {true, false}) {
            QTest::addRow("button %d", withPicture) << 0 << withPicture;
            QTest::addRow("ctrl+v %d", withPicture) << 1 << withPicture;
            QTest::addRow("double-click %d", withPicture) << 2 << withPicture;
        }
    }
    void paste() {
        const auto [how, withPicture] = fetch<int, bool>("how", "withPicture");
        PictureArea& area = openArea();
        const QImage first = randomPicture(40, 30, 1);
        area.replacePicture(first);
        const QImage undoBefore = area.imgUndo;
        const QImage pasted = randomPicture(20, 10, 2);
        if (withPicture)
            QGuiApplication::clipboard()->setImage(pasted);
        else
            QGuiApplication::clipboard()->clear();
        QSignalSpy keys(&area, &PictureArea::keyPressed);
        if (how == 0)
            area.PasteImage();
        else if (how == 1)
            QTest::keyClick(area.picPicture, Qt::Key_V, Qt::ControlModifier);
        else
            QTest::mouseDClick(area.picPicture, Qt::LeftButton);
        // Every key reaches the editor, the Ctrl key itself included.
        QCOMPARE(keys.isEmpty() ? 0 : keys.last()[0].toInt(), how == 1 ? int(Qt::Key_V) : 0);
        if (withPicture) {
            QVERIFY(samePixels(area.picture(), pasted));
            QCOMPARE(area.imgUndo.cacheKey(), first.cacheKey());
            QCOMPARE(shownText(), QString());
        } else {
            QCOMPARE(area.picture().cacheKey(), first.cacheKey());
            QCOMPARE(area.imgUndo.cacheKey(), undoBefore.cacheKey());
            QCOMPARE(shownText(), "Sorry, there isn't any picture at clipboard!\r\n\r\nIf you want to load picture "
                                  "from file, please, use Load button.\r\nDoubleclick in picture area and Paste "
                                  "button on toolbar triggers pasting image from clipboard.");
        }
    }

    // Undo right after opening has nothing to bring back; after a paste of a larger picture it restores the
    // placeholder, its size and the centred layout, once.
    void undoAfterPaste() {
        PictureArea& area = openArea();
        area.undo();
        QCOMPARE(shownText(), kNothingToUndo);
        const QPoint centred = area.picPicture->pos();
        QVERIFY(centred.x() > 0 && centred.y() > 0);

        area.replacePicture(randomPicture(500, 100, 3));
        QVERIFY(!area.scrollHorz->isHidden());
        QCOMPARE(area.picPicture->x(), 0);
        QCOMPARE(area.sizeStatus(), "Image size: 500x100 ");

        area.undo();
        QVERIFY(area.isBlank());
        QCOMPARE(area.handBack(), QImage());
        QCOMPARE(area.picPicture->size(), QSize(111, 112));
        QCOMPARE(area.PictureWidth, area.scrollLayout().boxWidth);
        QVERIFY(area.scrollHorz->isHidden() && area.scrollVert->isHidden());
        QCOMPARE(area.picPicture->pos(), centred);
        QCOMPARE(shownText(), QString());
        area.undo();
        QCOMPARE(shownText(), kNothingToUndo);
    }

    // Scrolling moves the picture by the bar's value.
    void scrolling() {
        PictureArea& area = openArea();
        area.replacePicture(randomPicture(600, 100, 4));
        area.scrollHorz->setValue(area.scrollHorz->maximum());
        QCOMPARE(area.picPicture->x() + area.picPicture->width(), area.width());
    }

    // An effect changes the picture as the effect itself does; undo brings the old picture back once. A name no
    // effect answers to changes nothing and leaves nothing to undo.
    void effectWithUndo_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"grayscale", "invert", "soften", "diffuse", "emboss", "solarize", "lighten", "blur"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void effectWithUndo() {
        QFETCH(QString, name);
        PictureArea& area = openArea();
        const QImage original = randomPicture(37, 23, 5);
        area.takeOver(original);
        ImageEffects reference;
        QImage expected = original;
        m_effects.seedRandom(42);
        reference.seedRandom(42);
        const bool known = reference.runEditorEffect(name, expected);
        QSignalSpy panel(&area, &PictureArea::panel3);

        area.ApplyEffect(name);
        QVERIFY(samePixels(area.picture(), expected));
        QCOMPARE(panel.size(), 2);
        QCOMPARE(panel[1][0].toString(), "Done");
        QVERIFY(area.isEnabled());
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        area.undo();
        if (known) {
            QCOMPARE(shownText(), QString());
            QVERIFY(samePixels(area.picture(), original));
            area.undo();
        }
        QCOMPARE(shownText(), kNothingToUndo);
    }

    // The name's last three letters choose the writer, in any case: PNG, else a 24-bit bitmap whatever the
    // extension; both read back.
    void saveAndLoad_data() {
        columns<QString, QByteArray>("name", "signature");
        QTest::newRow("PNG") << "shot.PNG" << QByteArray("\x89PNG");
        QTest::newRow("png") << "shot.png" << QByteArray("\x89PNG");
        QTest::newRow("jpg") << "shot.jpg" << QByteArray("BM");
        QTest::newRow("bmp") << "shot.bmp" << QByteArray("BM");
    }
    void saveAndLoad() {
        const auto [name, signature] = fetch<QString, QByteArray>("name", "signature");
        PictureArea& area = openArea();
        const QImage picture = randomPicture(13, 7, 6);
        area.takeOver(picture);
        const QString path = m_dir.filePath(name);
        QVERIFY(area.saveToFile(path));
        const QByteArray bytes = readFile(path);
        QVERIFY(bytes.startsWith(signature));
        if (signature == "BM")
            QCOMPARE(quint8(bytes.at(28)), 24); // bits per pixel
        area.reset();
        QVERIFY(area.loadFromFile(path));
        QVERIFY(samePixels(area.picture(), picture));
    }

    // A picture that cannot be read, from a file (a damaged PNG falls back to the other readers too) or from the
    // clipboard, leaves the picture and the undo buffer as they were and says so. So does a header claiming far
    // more pixels than its file holds.
    void unreadablePicture_data() {
        // source: a file name, or the format offered on the clipboard
        columns<QString, QByteArray>("source", "content");
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && randomPicture(40, 30, 9).save(&buffer, "PNG"));
        QTest::newRow("damaged PNG") << "broken.png" << QByteArray("\x89PNG\r\n\x1a\nnot really", 18);
        QTest::newRow("truncated PNG") << "cut.png" << png.left(png.size() / 2);
        QTest::newRow("PNG of 100,000 x 100,000") << "huge.png" << HostileImages::pngClaiming(100'000, 100'000);
        QTest::newRow("bitmap of 100,000 x 100,000") << "huge.bmp" << HostileImages::bmpClaiming(100'000, 100'000);
        QTest::newRow("bitmap of negative width") << "minus.bmp" << HostileImages::bmpClaiming(-100, 100);
        QTest::newRow("top-down bitmap of 100,000 rows") << "tall.bmp" << HostileImages::bmpClaiming(100, -100'000);
        QTest::newRow("damaged GIF") << "broken.gif" << QByteArray("GIF89a\x10\0\x10\0\x80\0\0garbage", 20);
        QTest::newRow("damaged icon") << "broken.ico"
                                      << QByteArray("\0\0\1\0\1\0\0\0\0\0\1\0\x20\0\xff\xff\xff\x0f", 18);
        QTest::newRow("clipboard PNG") << "image/png" << HostileImages::pngClaiming(100'000, 100'000);
    }
    void unreadablePicture() {
        const auto [source, content] = fetch<QString, QByteArray>("source", "content");
        PictureArea& area = openArea();
        const QImage picture = randomPicture(9, 9, 7);
        area.replacePicture(picture);
        const QImage undo = area.imgUndo;
        if (source.startsWith("image/")) {
            auto* offered = new QMimeData;
            offered->setData(source, content);
            QGuiApplication::clipboard()->setMimeData(offered);
            area.PasteImage();
            QCOMPARE(shownText(), "Could not read the picture on the clipboard.");
        } else {
            const QString path = m_dir.filePath(source);
            QVERIFY(writeFile(path, content));
            QVERIFY(!area.loadFromFile(path));
            QCOMPARE(shownText(), "Could not read a picture from " + QDir::toNativeSeparators(path) + '.');
        }
        QCOMPARE(area.picture().cacheKey(), picture.cacheKey());
        QCOMPARE(area.imgUndo.cacheKey(), undo.cacheKey());
        QCOMPARE(area.sizeStatus(), "Image size: 9x9 ");
    }

    // Cut puts the picture on the clipboard and leaves the placeholder, which is handed back as no picture.
    void cut() {
        PictureArea& area = openArea();
        const QImage picture = randomPicture(8, 8, 8);
        area.takeOver(picture);
        area.cutPicture();
        QVERIFY(samePixels(QGuiApplication::clipboard()->image(), picture));
        QVERIFY(area.isBlank());
        QCOMPARE(area.handBack(), QImage());
    }
};

ZP_TEST_CLASS(PictureAreaTest)

#include "PictureAreaTest.moc"
