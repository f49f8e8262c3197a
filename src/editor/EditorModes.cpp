#include "editor/EditorModes.h"

#include <iterator>

namespace EditorModes {

namespace {

const char* const Names[] = {"txt", "rtf", "img"};

const char* const LoseFormatting = "You will lose all your formatting. Do you want to continue?";
const char* const LoseCurrentData = "You will lose all your current data! Do you really want to continue?";

const Switch Switches[] = {
    {Mode::Rtf, Mode::Txt, LoseFormatting, TextMove::RichToPlain},
    {Mode::Img, Mode::Txt, "You will lose all your picture data. Do you want to continue?", TextMove::None},
    {Mode::Txt, Mode::Rtf, "", TextMove::PlainToRich},
    {Mode::Img, Mode::Rtf, "You will lose your picture data. Do you want to continue?", TextMove::None},
    {Mode::Txt, Mode::Img, LoseCurrentData, TextMove::None},
    {Mode::Rtf, Mode::Img, LoseCurrentData, TextMove::None},
};

} // namespace

QString name(Mode mode) {
    return QString::fromLatin1(Names[int(mode)]);
}

Mode fromName(const QString& name) {
    for (int i = 0; i < int(std::size(Names)); ++i)
        if (name == QLatin1String(Names[i]))
            return Mode(i);
    return Mode::Txt;
}

const Switch* switchBetween(Mode from, Mode to) {
    for (const Switch& candidate : Switches)
        if (candidate.from == from && candidate.to == to)
            return &candidate;
    return nullptr;
}

} // namespace EditorModes
