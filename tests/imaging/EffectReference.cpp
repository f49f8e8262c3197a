#include "EffectReference.h"

#include "imaging/EffectRandom.h"

#include <cmath>

namespace {

struct Rgb {
    double r, g, b;
};

// The picture box: pixels read outside the picture are -1 in each channel, writes outside are dropped, and
// every channel written is limited to 0..255 and cut to a whole number.
struct Box {
    QImage image;
    Rgb get(int x, int y) const {
        if (!image.valid(x, y))
            return {-1, -1, -1};
        const QRgb p = image.pixel(x, y);
        return {double(qRed(p)), double(qGreen(p)), double(qBlue(p))};
    }
    void set(int x, int y, Rgb c) {
        auto limit = [](double v) { return v < 0 ? 0 : (v > 255 ? 255 : int(v)); };
        if (image.valid(x, y))
            image.setPixel(x, y, qRgb(limit(c.r), limit(c.g), limit(c.b)));
    }
};

Rgb each(Rgb c, double (*f)(double)) {
    return {f(c.r), f(c.g), f(c.b)};
}

} // namespace

QImage referenceEffect(const QString& name, const QImage& picture, const ReferenceInputs& in) {
    Box box{picture.convertToFormat(QImage::Format_RGB32)};
    const int W = box.image.width() - 1;
    const int H = box.image.height() - 1;
    // Column by column, each pixel computed from the box as it is at that moment.
    auto eachPixel = [&box](int x0, int x1, int y0, int y1, auto rule) {
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y)
                box.set(x, y, rule(x, y, box.get(x, y)));
        }
    };
    if (name == "invert") {
        eachPixel(0, W, 0, H, [](int, int, Rgb c) { return each(c, [](double v) { return 255 - v; }); });
    } else if (name == "grayscale") {
        eachPixel(0, W, 0, H, [](int, int, Rgb c) {
            const double m = std::floor((c.r + c.g + c.b) / 3);
            return Rgb{m, m, m};
        });
    } else if (name == "sharpen") {
        eachPixel(1, W - 2, 1, H - 2, [&](int x, int y, Rgb c) {
            const Rgb n = box.get(x - 1, y - 1);
            return Rgb{std::nearbyint(c.r + 0.5 * (c.r - n.r)), std::nearbyint(c.g + 0.5 * (c.g - n.g)),
                       std::nearbyint(c.b + 0.5 * (c.b - n.b))};
        });
    } else if (name == "diffuse") {
        eachPixel(0, W, 0, H, [&](int x, int y, Rgb) {
            const int dx = int(std::nearbyint(4 * in.random->draw() - 2));
            const int dy = int(std::nearbyint(4 * in.random->draw() - 2));
            return box.get(x + dx, y + dy);
        });
    } else if (name == "emboss") {
        eachPixel(1, W - 2, 1, H - 2, [&](int x, int y, Rgb c) {
            const Rgb n = box.get(x + 1, y + 1);
            return Rgb{std::abs(c.r - n.r + 128), std::abs(c.g - n.g + 128), std::abs(c.b - n.b + 128)};
        });
    } else if (name == "solarize") {
        eachPixel(0, W, 0, H, [](int, int, Rgb c) { return each(c, [](double v) { return v < 128 ? 255 - v : v; }); });
    } else if (name == "ligthen") {
        const double area = double(W) * H;
        const double f = area < 35000 ? 1.0 : area < 100000 ? 0.7 : area < 200000 ? 0.5 : area < 350000 ? 0.4 : 0.3;
        for (int x = 0; x <= W; ++x) {
            double a = H + 1 - x;
            double beta = 0;
            for (int y = 0; y <= H; ++y) {
                beta = beta + W / 90.0;
                a = a - std::sin(beta * 3.14 / 180);
                const Rgb c = box.get(x, y);
                box.set(x, y, {std::floor(f * a + c.r / 2), std::floor(f * a + c.g / 2), std::floor(f * a + c.b / 2)});
                a = std::max(a, 50.0);
                beta = std::min(beta, 90.0);
            }
        }
    } else if (name == "brightness") {
        const int o = in.brightnessOffset;
        eachPixel(0, W, 0, H, [o](int, int, Rgb c) { return Rgb{c.r + o, c.g + o, c.b + o}; });
    } else if (name == "colors") {
        eachPixel(0, W, 0, H, [&](int, int, Rgb c) {
            return Rgb{c.r + std::floor(in.red / 100.0 * c.r), c.g + std::floor(in.green / 100.0 * c.g),
                       c.b + std::floor(in.blue / 100.0 * c.b)};
        });
    } else if (name == "soften") {
        eachPixel(1, W, 1, H, [&](int x, int y, Rgb) {
            Rgb sum{0, 0, 0};
            for (int i = x - 1; i <= x + 1; ++i) {
                for (int j = y - 1; j <= y + 1; ++j) {
                    const Rgb c = box.get(i, j);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            }
            return each(sum, [](double v) { return std::floor(v / 9); });
        });
    }
    return box.image;
}
