#include "editor/PictureScroll.h"

#include <cmath>

namespace {

// A maximum beyond what the bar holds is not taken: the bar keeps the one it has.
void setMaximum(PictureScroll::Bar& bar, long long maximum) {
    if (maximum >= -PictureScroll::kBarLimit && maximum <= PictureScroll::kBarLimit)
        bar.maximum = int(maximum);
}

// A page is half the range, a step a twentieth of a page.
void setChanges(PictureScroll::Bar& bar, long long range) {
    const double half = double(range) / 2;
    if (half < 1)
        bar.largeChange = 1;
    else if (half > PictureScroll::kBarLimit)
        bar.largeChange = PictureScroll::kBarLimit;
    else
        bar.largeChange = int(std::floor(half));
    bar.smallChange = bar.largeChange / 20 + 1;
}

int centred(int outer, int inner) {
    return int(std::lround(double(outer) / 2 - double(inner) / 2));
}

} // namespace

void PictureScroll::RefreshPicture() {
    if (frameWidth > PictureWidth && frameHeight > PictureHeight) {
        CenterPictureHorz();
        CenterPictureVert();
    } else {
        pbSetupScrollHoriz();
        pbSetupScrollVert();
    }
}

void PictureScroll::CenterPictureHorz() {
    if (vert.visible)
        bloxVisible = false;
    horz.visible = false;
    horz.enabled = false;
    pictureLeft = centred(frameWidth, boxWidth);
}

void PictureScroll::CenterPictureVert() {
    if (horz.visible)
        bloxVisible = false;
    vert.visible = false;
    vert.enabled = false;
    pictureTop = centred(frameHeight, boxHeight);
}

void PictureScroll::pbSetupScrollHoriz() {
    horz.width = frameWidth - kCorner;
    horz.top = frameHeight - horz.height;
    if (frameWidth >= PictureWidth) {
        CenterPictureHorz();
        return;
    }
    bloxVisible = true;
    pictureLeft = 0;
    boxWidth = PictureWidth;
    boxHeight = PictureHeight;
    const long long range = (long long)PictureWidth - frameWidth;
    setMaximum(horz, -range);
    setChanges(horz, range);
    horz.enabled = true;
    horz.visible = true;
}

void PictureScroll::pbSetupScrollVert() {
    vert.height = frameHeight - kCorner;
    vert.left = frameWidth - vert.width;
    if (frameHeight >= PictureHeight) {
        CenterPictureVert();
        return;
    }
    bloxVisible = true;
    if (horz.visible)
        pictureLeft = 0;
    pictureTop = 0;
    boxHeight = PictureHeight;
    const long long range = (long long)boxHeight - frameHeight;
    setMaximum(vert, -range);
    // With both bars shown each one ends a corner's width earlier, so the picture's far edge can be reached. A
    // maximum that was kept is not lowered again, or it would creep on every refresh.
    if (horz.visible && vert.maximum == -range)
        setMaximum(vert, -range - kCorner);
    if (vert.visible)
        setMaximum(horz, (long long)horz.maximum - kCorner);
    setChanges(vert, range);
    vert.enabled = true;
    vert.visible = true;
}
