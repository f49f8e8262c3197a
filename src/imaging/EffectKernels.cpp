#include "imaging/EffectKernels.h"

#include "imaging/EffectRandom.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace EffectKernels {
namespace {

constexpr quint32 kOpaque = 0xFF000000u;

struct Surface {
    quint32* bits;
    qsizetype stride; // in pixels
    qint64 width;
    qint64 height;

    quint32* row(qint64 y) const { return bits + y * stride; }
    bool contains(qint64 x, qint64 y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// A closed range of indexes; empty when last < first.
struct Span {
    qint64 first;
    qint64 last;

    Span clippedTo(qint64 lo, qint64 hi) const { return {std::max(first, lo), std::min(last, hi)}; }
};

int red(quint32 p) {
    return int((p >> 16) & 0xFF);
}
int green(quint32 p) {
    return int((p >> 8) & 0xFF);
}
int blue(quint32 p) {
    return int(p & 0xFF);
}
int clamp255(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}
quint32 pack(int r, int g, int b) {
    return kOpaque | quint32(clamp255(r)) << 16 | quint32(clamp255(g)) << 8 | quint32(clamp255(b));
}

// Round half to even for |v| < 2^51: adding and removing 1.5 * 2^52 leaves the default rounding of the FPU.
double roundHalfEven(double v) {
    const double shifted = v + 6755399441055744.0;
    return shifted - 6755399441055744.0;
}

// floor() for values well inside the int range.
int floorToInt(double v) {
    const int i = int(v);
    return v < double(i) ? i - 1 : i;
}

// (3c - n) / 2 rounded half to even, i.e. round(c + 0.5 * (c - n)) on integers.
int sharpenChannel(int c, int n) {
    const int t = 3 * c - n;
    const int q = t >> 1; // floor(t / 2)
    return q + ((t & 1) & (q & 1));
}

// Walks the columns [first, last] in bands that end at the columns after which progress is reported, so that
// every report happens with exactly the columns up to it done.
template <typename Kernel> void inBands(Span columns, qint64 W, const Progress& progress, Kernel&& kernel) {
    const qint64 step = qint64(roundHalfEven(double(W) / 20));
    qint64 x = columns.first;
    while (x <= columns.last) {
        qint64 end = x;
        if (step > 0)
            end = std::min(columns.last, (x + step - 1) / step * step);
        kernel(Span{x, end});
        // A last column of 0 would divide by zero; that report is skipped.
        if (progress && W != 0 && (step <= 0 || end % step == 0))
            progress(double(end) / double(W) * 100);
        x = end + 1;
    }
}

// Per-channel tables: the new value of each channel, already shifted into place.
struct ChannelTables {
    std::array<quint32, 256> r;
    std::array<quint32, 256> g;
    std::array<quint32, 256> b;
};

template <typename Rule> ChannelTables makeTables(Rule&& rule) {
    ChannelTables t{};
    for (int c = 0; c < 256; ++c) {
        t.r[c] = quint32(clamp255(rule(c, 0))) << 16;
        t.g[c] = quint32(clamp255(rule(c, 1))) << 8;
        t.b[c] = quint32(clamp255(rule(c, 2)));
    }
    return t;
}

void applyTables(const Surface& s, Span xs, Span ys, const ChannelTables& t) {
    for (qint64 y = ys.first; y <= ys.last; ++y) {
        quint32* row = s.row(y);
        for (qint64 x = xs.first; x <= xs.last; ++x) {
            const quint32 p = row[x];
            row[x] = kOpaque | t.r[red(p)] | t.g[green(p)] | t.b[blue(p)];
        }
    }
}

void runPerChannel(const Surface& s, qint64 W, qint64 H, const Progress& progress, const ChannelTables& t) {
    const Span ys = Span{0, H}.clippedTo(0, s.height - 1);
    inBands(Span{0, W}, W, progress, [&](Span band) { applyTables(s, band.clippedTo(0, s.width - 1), ys, t); });
}

// 255 - c on every channel is c with its eight bits flipped.
void runInvert(const Surface& s, qint64 W, qint64 H, const Progress& progress) {
    const Span ys = Span{0, H}.clippedTo(0, s.height - 1);
    inBands(Span{0, W}, W, progress, [&](Span band) {
        const Span xs = band.clippedTo(0, s.width - 1);
        for (qint64 y = ys.first; y <= ys.last; ++y) {
            quint32* row = s.row(y);
            for (qint64 x = xs.first; x <= xs.last; ++x)
                row[x] = (row[x] ^ 0x00FFFFFFu) | kOpaque;
        }
    });
}

void runGrayscale(const Surface& s, qint64 W, qint64 H, const Progress& progress) {
    std::array<quint32, 766> grey{};
    for (int sum = 0; sum < 766; ++sum) {
        const int m = sum / 3;
        grey[sum] = pack(m, m, m);
    }
    const Span ys = Span{0, H}.clippedTo(0, s.height - 1);
    inBands(Span{0, W}, W, progress, [&](Span band) {
        const Span xs = band.clippedTo(0, s.width - 1);
        for (qint64 y = ys.first; y <= ys.last; ++y) {
            quint32* row = s.row(y);
            for (qint64 x = xs.first; x <= xs.last; ++x) {
                const quint32 p = row[x];
                row[x] = grey[red(p) + green(p) + blue(p)];
            }
        }
    });
}

// Sharpen reads the upper-left neighbour, which the column order has always changed already (when inside the
// range), and nothing reads a pixel expecting its old value except the pixel itself: row order gives the same.
void runSharpen(const Surface& s, qint64 W, qint64 H, const Progress& progress) {
    const Span ys = Span{1, H - 2}.clippedTo(0, s.height - 1);
    inBands(Span{1, W - 2}, W, progress, [&](Span band) {
        const Span xs = band.clippedTo(0, s.width - 1);
        for (qint64 y = ys.first; y <= ys.last; ++y) {
            const quint32* above = s.row(y - 1);
            quint32* row = s.row(y);
            for (qint64 x = xs.first; x <= xs.last; ++x) {
                const quint32 p = row[x];
                const quint32 n = above[x - 1];
                row[x] = pack(sharpenChannel(red(p), red(n)), sharpenChannel(green(p), green(n)),
                              sharpenChannel(blue(p), blue(n)));
            }
        }
    });
}

// Emboss reads the lower-right neighbour, which the column order has never changed yet: row order is the same.
void runEmboss(const Surface& s, qint64 W, qint64 H, const Progress& progress) {
    const Span ys = Span{1, H - 2}.clippedTo(0, s.height - 1);
    inBands(Span{1, W - 2}, W, progress, [&](Span band) {
        const Span xs = band.clippedTo(0, s.width - 1);
        for (qint64 y = ys.first; y <= ys.last; ++y) {
            quint32* row = s.row(y);
            const quint32* below = y + 1 < s.height ? s.row(y + 1) : nullptr;
            for (qint64 x = xs.first; x <= xs.last; ++x) {
                const quint32 p = row[x];
                int r2 = -1;
                int g2 = -1;
                int b2 = -1;
                if (below != nullptr && x + 1 < s.width) {
                    const quint32 n = below[x + 1];
                    r2 = red(n);
                    g2 = green(n);
                    b2 = blue(n);
                }
                row[x] = pack(std::abs(red(p) - r2 + 128), std::abs(green(p) - g2 + 128), std::abs(blue(p) - b2 + 128));
            }
        }
    });
}

double lightenFactor(qint64 W, qint64 H) {
    const qint64 area = W * H;
    if (area < 35000)
        return 1.0;
    if (area < 100000)
        return 0.7;
    if (area < 200000)
        return 0.5;
    if (area < 350000)
        return 0.4;
    return 0.3;
}

// Each column keeps its own brightening value a, decreased row by row by a sine of an angle that grows the same
// way in every column; the angle's sines are worked out once, every a keeps its exact sequence of operations.
void runLighten(const Surface& s, qint64 W, qint64 H, const Progress& progress) {
    const double f = lightenFactor(W, H);
    const Span ys = Span{0, H}.clippedTo(0, s.height - 1);
    std::vector<double> sines(size_t(std::max<qint64>(0, ys.last + 1)));
    double beta = 0;
    for (double& sine : sines) {
        beta = beta + double(W) / 90;
        sine = std::sin(beta * 3.14 / 180);
        if (beta >= 90)
            beta = 90;
    }
    std::vector<double> a;
    inBands(Span{0, W}, W, progress, [&](Span band) {
        const Span xs = band.clippedTo(0, s.width - 1);
        if (xs.last < xs.first)
            return;
        a.resize(size_t(xs.last - xs.first + 1));
        for (qint64 x = xs.first; x <= xs.last; ++x)
            a[size_t(x - xs.first)] = double(H + 1 - x);
        for (qint64 y = ys.first; y <= ys.last; ++y) {
            quint32* row = s.row(y);
            const double sine = sines[size_t(y)];
            for (qint64 x = xs.first; x <= xs.last; ++x) {
                double& ax = a[size_t(x - xs.first)];
                ax = ax - sine;
                const quint32 p = row[x];
                const double lift = f * ax;
                row[x] = pack(floorToInt(lift + red(p) / 2.0), floorToInt(lift + green(p) / 2.0),
                              floorToInt(lift + blue(p) / 2.0));
                if (ax <= 50)
                    ax = 50;
            }
        }
    });
}

int diffuseOffset(EffectRandom& random) {
    return int(roundHalfEven(4 * random.draw() - 2));
}

// The column-order effects work on strips of a few columns copied column by column, so that walking down a
// column and reaching into its neighbours stays within a small, contiguous piece of memory.
constexpr qint64 kStripColumns = 16;

template <typename Kernel> void inStrips(Span columns, Kernel&& kernel) {
    for (qint64 x = columns.first; x <= columns.last; x += kStripColumns)
        kernel(Span{x, std::min(columns.last, x + kStripColumns - 1)});
}

// Pixels of columns [first, first + count) of the picture, column after column. Columns outside the picture
// hold black: diffuse reads them as -1 per channel, which clamps to black.
struct PixelStrip {
    qint64 first = 0;
    qint64 count = 0;
    qint64 rows = 0;
    std::vector<quint32> pixels;

    quint32* column(qint64 x) { return pixels.data() + (x - first) * rows; }

    void load(const Surface& s, qint64 firstColumn, qint64 lastColumn) {
        first = firstColumn;
        count = lastColumn - firstColumn + 1;
        rows = s.height;
        pixels.assign(size_t(count * rows), kOpaque);
        const Span inside = Span{firstColumn, lastColumn}.clippedTo(0, s.width - 1);
        for (qint64 y = 0; y < rows; ++y) {
            const quint32* row = s.row(y);
            for (qint64 x = inside.first; x <= inside.last; ++x)
                column(x)[y] = row[x];
        }
    }

    void store(const Surface& s, Span columns) {
        for (qint64 y = 0; y < rows; ++y) {
            quint32* row = s.row(y);
            for (qint64 x = columns.first; x <= columns.last; ++x)
                row[x] = column(x)[y];
        }
    }
};

// Diffuse reads neighbours on both sides of the current pixel, changed or not, and its draws follow the pixels:
// it really runs column by column.
void runDiffuse(const Surface& s, qint64 W, qint64 H, const Progress& progress, EffectRandom& random) {
    const Span ys = Span{0, H}.clippedTo(0, s.height - 1);
    // Rows of the box below the picture still take their two draws each.
    const quint64 drawsBelow = H >= s.height ? quint64(H - s.height + 1) * 2 : 0;
    PixelStrip strip;
    inBands(Span{0, W}, W, progress, [&](Span band) {
        inStrips(band.clippedTo(0, s.width - 1), [&](Span xs) {
            strip.load(s, xs.first - 2, xs.last + 2);
            for (qint64 x = xs.first; x <= xs.last; ++x) {
                quint32* target = strip.column(x);
                for (qint64 y = ys.first; y <= ys.last; ++y) {
                    const int dx = diffuseOffset(random);
                    const int dy = diffuseOffset(random);
                    const qint64 sy = y + dy;
                    target[y] = sy >= 0 && sy < s.height ? strip.column(x + dx)[sy] : kOpaque;
                }
                random.skip(drawsBelow);
            }
            strip.store(s, xs);
        });
    });
}

// Channels of columns [first, first + count) of the picture, column after column, with one more entry below
// the last row; outside the picture every channel is -1.
struct ChannelStrip {
    qint64 first = 0;
    qint64 rows = 0; // picture rows + 1
    std::array<std::vector<int>, 3> planes;

    int* column(int channel, qint64 x) { return planes[size_t(channel)].data() + (x - first) * rows; }

    void load(const Surface& s, qint64 firstColumn, qint64 lastColumn) {
        first = firstColumn;
        rows = s.height + 1;
        for (auto& plane : planes)
            plane.assign(size_t((lastColumn - firstColumn + 1) * rows), -1);
        const Span inside = Span{firstColumn, lastColumn}.clippedTo(0, s.width - 1);
        for (qint64 y = 0; y < s.height; ++y) {
            const quint32* row = s.row(y);
            for (qint64 x = inside.first; x <= inside.last; ++x) {
                column(0, x)[y] = red(row[x]);
                column(1, x)[y] = green(row[x]);
                column(2, x)[y] = blue(row[x]);
            }
        }
    }

    void store(const Surface& s, Span columns, Span ys) {
        for (qint64 y = ys.first; y <= ys.last; ++y) {
            quint32* row = s.row(y);
            for (qint64 x = columns.first; x <= columns.last; ++x)
                row[x] = pack(column(0, x)[y], column(1, x)[y], column(2, x)[y]);
        }
    }
};

// The floor of a nine-sample sum over 9. The sum is negative only at the edges of a black picture, where the
// result clamps to 0 anyway.
int softened(int sum) {
    return sum < 0 ? 0 : int(unsigned(sum) / 9u);
}

// Soften's window reaches the next column (unchanged) and the previous one (changed), and within its own column
// the row above (changed): it runs column by column.
void runSoften(const Surface& s, qint64 W, qint64 H, const Progress& progress) {
    const Span ys = Span{1, H}.clippedTo(0, s.height - 1);
    if (ys.last < ys.first) {
        inBands(Span{1, W}, W, progress, [](Span) {});
        return;
    }
    ChannelStrip strip;
    std::array<std::vector<int>, 3> sides;
    for (auto& side : sides)
        side.resize(size_t(s.height) + 1);
    inBands(Span{1, W}, W, progress, [&](Span band) {
        inStrips(band.clippedTo(0, s.width - 1), [&](Span xs) {
            strip.load(s, xs.first - 1, xs.last + 1);
            for (qint64 x = xs.first; x <= xs.last; ++x) {
                // The neighbour columns do not change while this one is worked on.
                for (int channel = 0; channel < 3; ++channel) {
                    const int* left = strip.column(channel, x - 1);
                    const int* right = strip.column(channel, x + 1);
                    int* side = sides[size_t(channel)].data();
                    for (qint64 y = ys.first; y <= ys.last; ++y)
                        side[y] = left[y - 1] + left[y] + left[y + 1] + right[y - 1] + right[y] + right[y + 1];
                }
                // Each new value feeds the next row's sum: the three channels' chains run side by side.
                int* r = strip.column(0, x);
                int* g = strip.column(1, x);
                int* b = strip.column(2, x);
                int above[3] = {r[ys.first - 1], g[ys.first - 1], b[ys.first - 1]};
                for (qint64 y = ys.first; y <= ys.last; ++y) {
                    above[0] = r[y] = softened(sides[0][size_t(y)] + above[0] + r[y] + r[y + 1]);
                    above[1] = g[y] = softened(sides[1][size_t(y)] + above[1] + g[y] + g[y + 1]);
                    above[2] = b[y] = softened(sides[2][size_t(y)] + above[2] + b[y] + b[y + 1]);
                }
            }
            strip.store(s, xs, ys);
        });
    });
}

} // namespace

void run(Kind kind, QImage& picture, qint64 W, qint64 H, const Parameters& p, const Progress& progress) {
    if (picture.format() != QImage::Format_RGB32)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    const Surface s{picture.isNull() ? nullptr : reinterpret_cast<quint32*>(picture.bits()), picture.bytesPerLine() / 4,
                    picture.width(), picture.height()};
    switch (kind) {
    case Kind::Invert:
        runInvert(s, W, H, progress);
        break;
    case Kind::Grayscale:
        runGrayscale(s, W, H, progress);
        break;
    case Kind::Solarize:
        runPerChannel(s, W, H, progress, makeTables([](int c, int) { return c < 128 ? 255 - c : c; }));
        break;
    case Kind::Brightness:
        runPerChannel(s, W, H, progress, makeTables([&](int c, int) { return c + p.brightnessOffset; }));
        break;
    case Kind::Colors: {
        const std::array<int, 3> factor{p.red, p.green, p.blue};
        runPerChannel(s, W, H, progress, makeTables([&](int c, int channel) {
                          return c + int(std::floor(double(factor[size_t(channel)]) / 100 * c));
                      }));
        break;
    }
    case Kind::Sharpen:
        runSharpen(s, W, H, progress);
        break;
    case Kind::Emboss:
        runEmboss(s, W, H, progress);
        break;
    case Kind::Lighten:
        runLighten(s, W, H, progress);
        break;
    case Kind::Diffuse:
        if (p.random != nullptr)
            runDiffuse(s, W, H, progress, *p.random);
        break;
    case Kind::Soften:
        runSoften(s, W, H, progress);
        break;
    }
}

} // namespace EffectKernels
