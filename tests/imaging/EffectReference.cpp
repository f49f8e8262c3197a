#include "EffectReference.h"

#include "imaging/EffectRandom.h"

#include <cmath>

namespace {

struct Rgb {
    double r, g, b;
    Rgb map(auto f) const { return {f(r), f(g), f(b)}; }
};

// The picture box: pixels read outside the picture are -1 in each channel, writes outside are dropped, and
// every channel written is limited to 0..255 and cut to a whole number.
struct Box {
    QImage image;
    Rgb get(int x, int y) const {
        const QRgb p = image.valid(x, y) ? image.pixel(x, y) : 0;
        return image.valid(x, y) ? Rgb{double(qRed(p)), double(qGreen(p)), double(qBlue(p))} : Rgb{-1, -1, -1};
    }
    void set(int x, int y, Rgb c) {
        const auto limit = [](double v) { return v < 0 ? 0 : (v > 255 ? 255 : int(v)); };
        if (image.valid(x, y))
            image.setPixel(x, y, qRgb(limit(c.r), limit(c.g), limit(c.b)));
    }
};

} // namespace

QImage referenceEffect(const QString& name, const QImage& picture, const ReferenceInputs& in) {
    Box box{picture.convertToFormat(QImage::Format_RGB32)};
    const int W = box.image.width() - 1, H = box.image.height() - 1;
    // Columns from..W - trim, rows from..H - trim, each pixel computed from the box as it is at that moment.
    const auto eachPixel = [&box, W, H](int from, int trim, auto rule) {
        for (int x = from; x <= W - trim; ++x)
            for (int y = from; y <= H - trim; ++y)
                box.set(x, y, rule(x, y, box.get(x, y)));
    };
    const double f = W * H < 35000 ? 1.0 : W * H < 100000 ? 0.7 : W * H < 200000 ? 0.5 : W * H < 350000 ? 0.4 : 0.3;
    if (name == "invert")
        eachPixel(0, 0, [](int, int, Rgb c) { return c.map([](double v) { return 255 - v; }); });
    else if (name == "solarize")
        eachPixel(0, 0, [](int, int, Rgb c) { return c.map([](double v) { return v < 128 ? 255 - v : v; }); });
    else if (name == "brightness")
        eachPixel(0, 0, [&](int, int, Rgb c) { return c.map([&](double v) { return v + in.brightnessOffset; }); });
    else if (name == "grayscale")
        eachPixel(0, 0, [](int, int, Rgb c) {
            const double m = std::floor((c.r + c.g + c.b) / 3);
            return Rgb{m, m, m};
        });
    else if (name == "colors")
        eachPixel(0, 0, [&](int, int, Rgb c) {
            return Rgb{c.r + std::floor(in.red / 100.0 * c.r), c.g + std::floor(in.green / 100.0 * c.g),
                       c.b + std::floor(in.blue / 100.0 * c.b)};
        });
    else if (name == "sharpen")
        eachPixel(1, 2, [&](int x, int y, Rgb c) {
            const Rgb n = box.get(x - 1, y - 1);
            return Rgb{c.r + 0.5 * (c.r - n.r), c.g + 0.5 * (c.g - n.g), c.b + 0.5 * (c.b - n.b)}.map(
                [](double v) { return std::nearbyint(v); });
        });
    else if (name == "emboss")
        eachPixel(1, 2, [&](int x, int y, Rgb c) {
            const Rgb n = box.get(x + 1, y + 1);
            return Rgb{c.r - n.r + 128, c.g - n.g + 128, c.b - n.b + 128}.map([](double v) { return std::abs(v); });
        });
    else if (name == "diffuse")
        eachPixel(0, 0, [&](int x, int y, Rgb) {
            const int dx = int(std::nearbyint(4 * in.random->draw() - 2));
            return box.get(x + dx, y + int(std::nearbyint(4 * in.random->draw() - 2)));
        });
    else if (name == "soften")
        eachPixel(1, 0, [&](int x, int y, Rgb) {
            Rgb sum{0, 0, 0};
            for (int i = x - 1; i <= x + 1; ++i)
                for (int j = y - 1; j <= y + 1; ++j)
                    sum = {sum.r + box.get(i, j).r, sum.g + box.get(i, j).g, sum.b + box.get(i, j).b};
            return sum.map([](double v) { return std::floor(v / 9); });
        });
    else if (name == "ligthen")
        for (int x = 0; x <= W; ++x) {
            double a = H + 1 - x, beta = 0;
            for (int y = 0; y <= H; ++y) {
                beta = beta + W / 90.0;
                a = a - std::sin(beta * 3.14 / 180);
                box.set(x, y, box.get(x, y).map([&](double v) { return std::floor(f * a + v / 2); }));
                a = std::max(a, 50.0);
                beta = std::min(beta, 90.0);
            }
        }
    return box.image;
}
