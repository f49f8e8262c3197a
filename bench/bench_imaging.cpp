// Times every picture effect and PNG saving and loading on a 1920 x 1080 picture, and, where ImageMagick's
// convert is installed, the same operation done by convert in the same run.

#include "imaging/ImageEffects.h"
#include "imaging/PngPicture.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kRuns = 7;

// Smooth gradients, a few shapes and some noise: compresses like a screenshot with a photo in it.
QImage makePicture() {
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    quint32 noise = 12345;
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int n = int(noise >> 28) - 8;
            const bool disc = (x - 600) * (x - 600) + (y - 500) * (y - 500) < 300 * 300;
            const int r = disc ? 220 : (x * 255 / kWidth);
            const int g = (y * 255 / kHeight + n) & 0xFF;
            const int b = ((x / 64 + y / 64) % 2 ? 180 : 60) + n;
            row[x] = qRgb(r, g, std::clamp(b, 0, 255));
        }
    }
    return picture;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// CPU time rather than wall time: the figures stay comparable on a machine busy with other work.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double childrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double timeMs(const std::function<void()>& prepare, const std::function<void()>& work) {
    std::vector<double> runs;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        const double start = threadCpuMs();
        work();
        runs.push_back(threadCpuMs() - start);
    }
    // The fastest run is the one least disturbed by other work on the machine.
    return *std::min_element(runs.begin(), runs.end());
}

class Convert {
public:
    explicit Convert(QString program) : m_program(std::move(program)) {}

    bool available() const { return !m_program.isEmpty(); }

    // Median CPU time of one convert run (with every process it starts), in milliseconds.
    double run(const QStringList& arguments) const {
        std::vector<double> runs;
        for (int i = 0; i < 5; ++i) {
            QProcess process;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            // The effects run on one thread; so does convert here.
            environment.insert(QStringLiteral("MAGICK_THREAD_LIMIT"), QStringLiteral("1"));
            process.setProcessEnvironment(environment);
            const double start = childrenCpuMs();
            process.start(m_program, arguments);
            if (!process.waitForFinished(120000) || process.exitCode() != 0)
                return NAN;
            runs.push_back(childrenCpuMs() - start);
        }
        return median(runs);
    }

private:
    QString m_program;
};

void printRow(const char* operation, double ours, double theirs) {
    if (std::isnan(theirs))
        std::printf("| %-24s | %9.1f | %11s | %9s |\n", operation, ours, "-", "-");
    else
        std::printf("| %-24s | %9.1f | %11.1f | %8.1fx |\n", operation, ours, theirs, theirs / ours);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Arguments, if any, pick the operations to time by name ("soften", "PNG save", ...).
    const QStringList only = app.arguments().mid(1);
    auto wanted = [&](const char* name) { return only.isEmpty() || only.contains(QLatin1String(name)); };
    QTemporaryDir dir;
    const QImage picture = makePicture();
    const QString ppm = dir.filePath(QStringLiteral("picture.ppm"));
    const QString png = dir.filePath(QStringLiteral("picture.png"));
    picture.save(ppm, "PPM");

    const Convert convert(QStandardPaths::findExecutable(QStringLiteral("convert")));
    // Starting convert and reading the picture cost the same for every operation; only the rest is compared.
    double readBaseline = NAN;
    if (convert.available())
        readBaseline = convert.run({ppm, QStringLiteral("null:")});
    // A quick operation is repeated in one convert run so that it stands out of the start-up's variation; not one
    // that convert skips when repeated (a grey picture is not made grey again).
    auto convertOperation = [&](const QStringList& operation, int repeats) {
        if (!convert.available() || operation.isEmpty()) {
            return double(NAN);
        }
        QStringList arguments{ppm};
        for (int i = 0; i < repeats; ++i) {
            arguments += operation;
        }
        const double perOperation = (convert.run(arguments + QStringList{"null:"}) - readBaseline) / repeats;
        return perOperation > 0 ? perOperation : double(NAN);
    };

    std::printf("Picture %d x %d, CPU time, best of %d runs. convert: ImageMagick on one thread, median of 5 runs, "
                "start-up and reading subtracted, quick operations repeated within a run.\n\n",
                kWidth, kHeight, kRuns);
    std::printf("| %-24s | %9s | %11s | %9s |\n", "operation", "Zolpane ms", "convert ms", "ratio");
    std::printf("|%s|%s|%s|%s|\n", "--------------------------", "-----------", "-------------", "-----------");

    ImageEffects effects;
    effects.seedRandom(42);
    effects.BrightnessOffset = 40;
    struct Effect {
        const char* command;
        QStringList convertOperation;
        int repeats;
    };
    const Effect list[] = {
        {"invert", {"-negate"}, 50},
        {"grayscale", {"-colorspace", "Gray"}, 1},
        {"emboss", {"-emboss", "1"}, 10},
        {"solarize", {"-solarize", "50%"}, 20},
        {"brightness", {"-brightness-contrast", "16x0"}, 10},
        {"colorbalance", {}, 0},
        {"sharpen", {}, 0},
        {"soften", {}, 0},
        {"diffuse", {}, 0},
        {"lighten", {}, 0},
    };
    QImage work;
    for (const Effect& effect : list) {
        if (!wanted(effect.command))
            continue;
        const double ours = timeMs([&] { work = picture.copy(); },
                                   [&] { effects.runEditorEffect(QString::fromLatin1(effect.command), work); });
        printRow(effect.command, ours, convertOperation(effect.convertOperation, effect.repeats));
    }

    if (!wanted("PNG"))
        return 0;
    const double save = timeMs([] {}, [&] {
        QFile file(png);
        file.open(QIODevice::WriteOnly) && file.write(encodePngPicture(picture));
    });
    double convertSave = NAN;
    if (convert.available())
        convertSave = std::max(0.0, convert.run({ppm, dir.filePath(QStringLiteral("convert.png"))}) - readBaseline);
    printRow("PNG save", save, convertSave);

    QImage loaded;
    const double load = timeMs([] {}, [&] { LoadPngPicture(png, loaded); });
    double convertLoad = NAN;
    if (convert.available()) {
        const double start = convert.run({QStringLiteral("xc:black"), QStringLiteral("null:")});
        convertLoad = std::max(0.0, convert.run({png, QStringLiteral("null:")}) - start);
    }
    printRow("PNG load", load, convertLoad);

    std::printf("\nPNG file: Zolpane %lld bytes", QFileInfo(png).size());
    if (convert.available())
        std::printf(", convert %lld bytes", QFileInfo(dir.filePath(QStringLiteral("convert.png"))).size());
    else
        std::printf(" (convert not found: no comparison)");
    std::printf("\nratio = convert time / Zolpane time (above 1: Zolpane is faster).\n");
    return loaded.size() == picture.size() ? 0 : 1;
}
