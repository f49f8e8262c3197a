#include "paste/PasteMethod.h"

#include "project/ClipTable.h"

namespace PasteMethod {

int effective(int clipMethod, int pasteMethodSetting) {
    return clipMethod == Default ? pasteMethodSetting : clipMethod;
}

Send forClip(int effectiveMethod, const QString& format) {
    switch (effectiveMethod) {
    case ControlV:
        return Send::ControlV;
    case ShiftInsert:
        return Send::ShiftInsert;
    case KeyByKey:
        if (format == ClipTable::TxtSimple || format == ClipTable::TxtLong)
            return Send::ClipText;
        return Send::ControlV;
    default:
        return Send::Nothing;
    }
}

Send forClipboard(int pasteMethodSetting) {
    switch (pasteMethodSetting) {
    case ControlV:
    case KeyByKey:
        return Send::ControlV;
    case ShiftInsert:
        return Send::ShiftInsert;
    default:
        return Send::Nothing;
    }
}

QString keysFor(Send send) {
    switch (send) {
    case Send::ControlV:
        return ControlVKeys;
    case Send::ShiftInsert:
        return ShiftInsertKeys;
    default:
        return {};
    }
}

} // namespace PasteMethod
