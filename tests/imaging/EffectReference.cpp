#include "EffectReference.h"

#include "imaging/EffectRandom.h"

#include <cmath>
#include <cstdlib>

namespace {

struct Rgb {
    double r;
    double g;
    double b;
};

class Box {
public:
    explicit Box(const QImage& picture) : m_image(picture.convertToFormat(QImage::Format_RGB32)) {}

    int W() const { return m_image.width() - 1; }
    int H() const { return m_image.height() - 1; }

    // Outside the picture: the invalid colour, -1 in each channel.
    Rgb get(int x, int y) const {
        if (!m_image.valid(x, y)) {
            return {-1, -1, -1};
        }
        const QRgb p = m_image.pixel(x, y);
        return {double(qRed(p)), double(qGreen(p)), double(qBlue(p))};
    }

    void set(int x, int y, Rgb c) {
        if (m_image.valid(x, y)) {
            m_image.setPixel(x, y, qRgb(clamp(c.r), clamp(c.g), clamp(c.b)));
        }
    }

    const QImage& image() const { return m_image; }

private:
    static int clamp(double v) { return v < 0 ? 0 : (v > 255 ? 255 : int(v)); }

    QImage m_image;
};

template <typename Rule> void eachPixel(Box& box, int x0, int x1, int y0, int y1, Rule&& rule) {
    for (int x = x0; x <= x1; ++x) {
        for (int y = y0; y <= y1; ++y) {
            box.set(x, y, rule(x, y, box.get(x, y)));
        }
    }
}

double lightenFactor(double area) {
    return area < 35000 ? 1.0 : area < 100000 ? 0.7 : area < 200000 ? 0.5 : area < 350000 ? 0.4 : 0.3;
}

} // namespace

QImage referenceEffect(const QString& name, const QImage& picture, const ReferenceInputs& in) {
    Box box(picture);
    const int W = box.W();
    const int H = box.H();
    if (name == "invert") {
        eachPixel(box, 0, W, 0, H, [](int, int, Rgb c) { return Rgb{255 - c.r, 255 - c.g, 255 - c.b}; });
    } else if (name == "grayscale") {
        eachPixel(box, 0, W, 0, H, [](int, int, Rgb c) {
            const double m = std::floor((c.r + c.g + c.b) / 3);
            return Rgb{m, m, m};
        });
    } else if (name == "sharpen") {
        eachPixel(box, 1, W - 2, 1, H - 2, [&](int x, int y, Rgb c) {
            const Rgb n = box.get(x - 1, y - 1);
            return Rgb{std::nearbyint(c.r + 0.5 * (c.r - n.r)), std::nearbyint(c.g + 0.5 * (c.g - n.g)),
                       std::nearbyint(c.b + 0.5 * (c.b - n.b))};
        });
    } else if (name == "diffuse") {
        eachPixel(box, 0, W, 0, H, [&](int x, int y, Rgb) {
            const int dx = int(std::nearbyint(4 * in.random->draw() - 2));
            const int dy = int(std::nearbyint(4 * in.random->draw() - 2));
            return box.get(x + dx, y + dy);
        });
    } else if (name == "emboss") {
        eachPixel(box, 1, W - 2, 1, H - 2, [&](int x, int y, Rgb c) {
            const Rgb n = box.get(x + 1, y + 1);
            return Rgb{std::abs(c.r - n.r + 128), std::abs(c.g - n.g + 128), std::abs(c.b - n.b + 128)};
        });
    } else if (name == "solarize") {
        eachPixel(box, 0, W, 0, H, [](int, int, Rgb c) {
            return Rgb{c.r < 128 ? 255 - c.r : c.r, c.g < 128 ? 255 - c.g : c.g, c.b < 128 ? 255 - c.b : c.b};
        });
    } else if (name == "ligthen") {
        const double f = lightenFactor(double(W) * H);
        for (int x = 0; x <= W; ++x) {
            double a = H + 1 - x;
            double beta = 0;
            for (int y = 0; y <= H; ++y) {
                beta = beta + W / 90.0;
                a = a - std::sin(beta * 3.14 / 180);
                const Rgb c = box.get(x, y);
                box.set(x, y, {std::floor(f * a + c.r / 2), std::floor(f * a + c.g / 2), std::floor(f * a + c.b / 2)});
                if (a <= 50) {
                    a = 50;
                }
                if (beta >= 90) {
                    beta = 90;
                }
            }
        }
    } else if (name == "brightness") {
        const int o = in.brightnessOffset;
        eachPixel(box, 0, W, 0, H, [o](int, int, Rgb c) { return Rgb{c.r + o, c.g + o, c.b + o}; });
    } else if (name == "colors") {
        eachPixel(box, 0, W, 0, H, [&](int, int, Rgb c) {
            return Rgb{c.r + std::floor(in.red / 100.0 * c.r), c.g + std::floor(in.green / 100.0 * c.g),
                       c.b + std::floor(in.blue / 100.0 * c.b)};
        });
    } else if (name == "soften") {
        eachPixel(box, 1, W, 1, H, [&](int x, int y, Rgb) {
            Rgb sum{0, 0, 0};
            for (int i = x - 1; i <= x + 1; ++i) {
                for (int j = y - 1; j <= y + 1; ++j) {
                    const Rgb c = box.get(i, j);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            }
            return Rgb{std::floor(sum.r / 9), std::floor(sum.g / 9), std::floor(sum.b / 9)};
        });
    }
    return box.image();
}
