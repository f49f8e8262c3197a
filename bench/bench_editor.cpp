// Times the clip editor where a user waits for it: opening it on a rich text clip of 100,000 characters in
// 5,000 formatted runs until its window has painted, handing that clip back, and an effect on a 1920 x 1080
// picture from the button's click until the picture has repainted with the result. Targets: 100 ms to open
// and to hand back, 50 ms for the effect. Medians of seven runs on the offscreen platform.
#include "editor/PictureArea.h"
#include "editor/frmConfPasteBox.h"
#include "imaging/ImageEffects.h"
#include "project/ClipTable.h"
#include "project/EditorHandOver.h"
#include "richtext/RtfWriter.h"
#include "services/CodePage.h"
#include "services/Messages.h"
#include "services/Settings.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray richClip(int characters, int runs) {
    QTextDocument document;
    QTextCursor cursor(&document);
    const QString words = QStringLiteral("The quick brown fox jumps over the lazy dog, again and again. ");
    const int length = characters / runs;
    for (int run = 0; run < runs; ++run) {
        if (run > 0 && run % 10 == 0)
            cursor.insertBlock();
        QTextCharFormat format;
        format.setFontWeight(run % 2 ? QFont::Bold : QFont::Normal);
        format.setFontItalic(run % 3 == 0);
        format.setFontPointSize(9 + run % 5);
        if (run % 7 == 0)
            format.setForeground(QColor(0xc0, 0, 0));
        cursor.insertText(words.mid(run % 20, length).leftJustified(length, QLatin1Char('x')), format);
    }
    return richtext::writeRtf(document,
                              {[](const QByteArray& b, int cp) { return CodePage::fromAnsi(b, cp); },
                               [](const QString& t, int cp) { return CodePage::toAnsi(t, cp); }},
                              1252);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double msSince(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {}); // the platform's notes
    QApplication app(argc, argv);
    Messages::setUnattended(true);
    QTemporaryDir dir;
    AppPaths paths = AppPaths::forFolder(dir.path());
    Settings settings(paths);
    settings.WriteDefaultSettings();
    ClipTable table;
    EditorHandOver handOver;
    ImageEffects effects;
    const QByteArray rtf = richClip(100'000, 5'000);
    const EditorContext context{handOver, table, settings, effects, {}, 15, 15, [] { return false; }};

    std::vector<double> opening, handing, effect;
    for (int round = 0; round < 7; ++round) {
        table.setClip(1, {ClipTable::Rtf, QStringLiteral("(RTF) Big"), QString::fromLatin1(rtf)});
        handOver.handOut(table, 1);
        QElapsedTimer timer;
        timer.start();
        frmConfPasteBox* editor = frmConfPasteBox::open(context);
        editor->repaint();
        opening.push_back(msSince(timer));
        timer.restart();
        editor->SaveAndClose();
        handOver.takeBack(table, 1);
        handing.push_back(msSince(timer));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QImage picture(1920, 1080, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    table.setClip(2, {ClipTable::Img, QStringLiteral("(IMG) Big"), QString(), picture});
    handOver.handOut(table, 2);
    frmConfPasteBox* editor = frmConfPasteBox::open(context);
    auto* area = editor->findChild<PictureArea*>(QStringLiteral("fraImg"));
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer timer;
        timer.start();
        editor->toolbar2Button(23)->trigger(); // Invert colors
        area->picPicture->repaint();
        effect.push_back(msSince(timer));
    }
    editor->DiscardAndClose();

    std::printf("%-46s%10s%10s\n", "clip editor", "median ms", "target");
    std::printf("%-46s%10.1f%10s\n", "open on 100,000 rich characters (5,000 runs)", median(opening), "100");
    std::printf("%-46s%10.1f%10s\n", "hand the same clip back", median(handing), "100");
    std::printf("%-46s%10.1f%10s\n", "invert a 1920 x 1080 picture and repaint", median(effect), "50");
    std::printf("RTF of the clip: %lld KB\n", static_cast<long long>(rtf.size() / 1024));
    return 0;
}
