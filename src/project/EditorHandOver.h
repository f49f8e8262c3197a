#pragma once

#include <QImage>
#include <QString>

// What the main window hands to the clip editor and takes back from it.
struct EditorHandOver {
    int EditClipNumber = 0;
    QString EditData;    // simple text, long text or RTF source
    QString EditCaption; // the row text handed back (the clip's name)
    bool EditIsSimple = false;
    bool EditIsRtf = false;
    bool EditIsImage = false;
    QImage picTemp; // carries a picture to and from the editor
    bool EditorOpen = false;

    void Clearpicture() { picTemp = QImage(); }
};
