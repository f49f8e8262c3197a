#include "project/EditorHandOver.h"

#include "project/ClipTable.h"

bool EditorHandOver::handOut(ClipTable& table, int i) {
    if (EditorOpen)
        return false;
    if (table.clip(i).text == ClipTable::EmptyClipText)
        table.setText(i, QString());
    const ClipTable::Clip& clip = table.clip(i);
    EditIsRtf = clip.format == ClipTable::Rtf;
    if (EditIsRtf)
        EditData = clip.data;
    EditIsImage = false;
    if (clip.format == ClipTable::TxtSimple) {
        EditData = clip.text;
    } else if (clip.format == ClipTable::TxtLong) {
        EditData = clip.data;
    } else if (clip.format == ClipTable::Img) {
        Clearpicture();
        picTemp = clip.picture;
        EditIsImage = true;
    }
    EditClipNumber = i;
    return true;
}

void EditorHandOver::takeBack(ClipTable& table, int i) {
    table.setText(i, EditCaption);
    const bool empty = (EditIsImage && picTemp.isNull()) || (!EditIsImage && EditData.isEmpty());
    if (empty) {
        table.SwitchLock(i, false);
        table.setFormat(i, ClipTable::TxtSimple);
        table.setText(i, QString());
        table.setData(i, QString());
    } else if (EditIsRtf) {
        table.setFormat(i, ClipTable::Rtf);
        EditIsRtf = false;
        table.SwitchLock(i, true);
        table.setData(i, EditData);
    } else if (EditIsSimple && !EditIsImage) {
        table.setFormat(i, ClipTable::TxtSimple);
        table.SwitchLock(i, false);
        table.setData(i, table.clip(i).text);
    } else if (!EditIsSimple && !EditIsImage) {
        table.setFormat(i, ClipTable::TxtLong);
        table.SwitchLock(i, true);
        table.setData(i, EditData);
    } else if (EditIsImage) {
        table.setFormat(i, ClipTable::Img);
        table.SwitchLock(i, true);
        table.setData(i, QString());
        table.setPicture(i, picTemp);
        Clearpicture();
    }
    table.PlaceEmptyStrings();
    EditIsRtf = false;
    EditIsImage = false;
}
