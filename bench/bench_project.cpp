// Times saving and loading two projects of 30 clips and prints the figures: one with three 1920 x 1080
// pictures among texts, one of texts only. Each figure is the best and the median of several rounds.
#include "project/ClipTable.h"
#include "project/ProjectContainer.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "services/Messages.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Rounds = 7;

QImage photo(int seed) {
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x + seed) & 255, (y * 3 + seed) & 255, ((x ^ y) + seed) & 255);
    }
    return image;
}

QString prose(int clip, int characters) {
    const QString unit = QStringLiteral("Clip %1: the quick brown fox jumps over the lazy dog.\r\n").arg(clip);
    return unit.repeated(characters / unit.size() + 1).left(characters);
}

void fill(ClipTable& table, bool pictures) {
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        ClipTable::Clip clip;
        clip.locked = true;
        clip.text = QStringLiteral("clip %1").arg(i);
        if (pictures && i % 10 == 0) {
            clip.format = ClipTable::Img;
            clip.picture = photo(i);
        } else if (i % 3 == 0) {
            clip.format = ClipTable::Rtf;
            clip.data = "{\\rtf1\\ansi " + prose(i, 8000).replace("\r\n", "\\par\r\n") + "}";
        } else if (i % 3 == 1) {
            clip.format = ClipTable::TxtLong;
            clip.data = prose(i, 20000);
        } else {
            clip.format = ClipTable::TxtSimple;
            clip.text = QStringLiteral("a simple clip number %1").arg(i);
            clip.locked = false;
        }
        table.setClip(i, clip);
    }
}

// Best and median of the rounds, in milliseconds.
std::pair<double, double> time(const std::function<void()>& work) {
    std::vector<double> ms;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

void report(const char* what, std::pair<double, double> ms, qint64 bytes) {
    std::printf("%-34s %9.1f %9.1f %10.1f\n", what, ms.first, ms.second, double(bytes) / (1 << 20) / (ms.second / 1e3));
}

void run(const char* name, bool pictures, const QString& folder) {
    ClipTable table;
    fill(table, pictures);
    const QString path = folder + QStringLiteral("/%1.zp").arg(QLatin1String(name));
    const QString temp = folder + QStringLiteral("/temp/");
    const auto saveTime = time([&] { ProjectWriter::save(table, path, temp); });
    const qint64 size = QFileInfo(path).size();
    const auto loadTime = time([&] {
        ClipTable loaded;
        ProjectReader::load(path, temp, loaded);
    });
    const auto readTime = time([&] {
        QList<ProjectContainer::Member> members;
        ProjectContainer::ReadMembers(path, &members);
    });
    std::printf("\n%s: %.2f MB\n", name, double(size) / (1 << 20));
    std::printf("%-34s %9s %9s %10s\n", "", "best ms", "median ms", "MB/s");
    report("save (write, pack, delete)", saveTime, size);
    report("load (unpack, read, delete)", loadTime, size);
    report("  of which reading members alone", readTime, size);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Messages::setUnattended(true);
    QTemporaryDir folder;
    std::printf("%d rounds each; files in %s\n", Rounds, qPrintable(folder.path()));
    run("30 clips, three 1920x1080 pictures", true, folder.path());
    run("30 clips, texts only", false, folder.path());
    if (!Messages::takeShown().isEmpty())
        std::printf("\nA save failed: the figures above are not valid.\n");
    return 0;
}
