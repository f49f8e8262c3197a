#pragma once

// The layout of the editor's picture area, all in twips: where the picture sits in the frame, and how the two
// scroll bars and the corner button are set up for a picture larger than the frame. Pure arithmetic: the picture
// area fills it from its widgets, runs one of the steps and applies the result.
struct PictureScroll {
    struct Bar {
        bool visible = false;
        bool enabled = false;
        // The bar's value runs from 0 down to this maximum (0 or negative); the value is the picture's offset.
        int maximum = 0;
        int largeChange = 1;
        int smallChange = 1;
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
    };

    // The frame's inner size.
    int frameWidth = 0;
    int frameHeight = 0;
    // PictureWidth and PictureHeight: the size of the picture now shown.
    int PictureWidth = 0;
    int PictureHeight = 0;

    // The picture box: its position in the frame and its size.
    int pictureLeft = 0;
    int pictureTop = 0;
    int boxWidth = 0;
    int boxHeight = 0;

    Bar horz;
    Bar vert;
    bool bloxVisible = false;

    // Centres a picture smaller than the frame in both directions, otherwise sets up the scroll bars horizontally,
    // then vertically. The frame must be strictly wider and higher for the centring.
    void RefreshPicture();
    // Centres the picture in one direction and drops that direction's scroll bar.
    void CenterPictureHorz();
    void CenterPictureVert();
    // Sets up one scroll bar for a picture larger than the frame in that direction, or centres it.
    void pbSetupScrollHoriz();
    void pbSetupScrollVert();

    // Room the bars leave each other in the corner: the other bar's thickness.
    static constexpr int kCorner = 240;
    // The largest value a scroll bar's limits and changes hold.
    static constexpr int kBarLimit = 32767;
};
