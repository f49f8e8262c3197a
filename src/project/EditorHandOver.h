#pragma once

#include <QImage>
#include <QString>

class ClipTable;

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

    // Clip i of the table into the hand-over (an empty row's placeholder is cleared first). Nothing while the
    // editor is open: it holds the clip it was opened for, and hands that one back. False then.
    bool handOut(ClipTable& table, int i);
    // The editor's result back into clip i: an empty result clears the clip, otherwise the format follows
    // what the editor made of it. Every empty row shows its placeholder afterwards.
    void takeBack(ClipTable& table, int i);
};
