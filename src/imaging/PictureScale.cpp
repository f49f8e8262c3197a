#include "imaging/PictureScale.h"

#include <algorithm>
#include <cmath>

qint64 PictureScale::lastIndex(double scale) const {
    double last = 0;
    switch (mode) {
    case Mode::Twips:
        last = scale / twipsPerPixel - 1;
        break;
    case Mode::Pixels:
        last = scale - 1;
        break;
    case Mode::Other:
        return 0;
    }
    // A box cannot be larger than 32-bit coordinates reach; a NaN scale counts as empty.
    if (!(last > -1))
        return -1;
    return qint64(std::nearbyint(std::min(last, 2147483647.0)));
}
