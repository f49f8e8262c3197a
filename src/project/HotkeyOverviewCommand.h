#pragma once

#include "project/ProjectPart.h"

#include <QString>

#include <functional>
#include <utility>

// Saves the hotkey overview of the open project as an HTML page and offers to open it in the browser.
class HotkeyOverviewCommand final : public ProjectPart {
public:
    using ProjectPart::ProjectPart;

    // The registered hotkey of clip 1..30 as (modifier set, key code).
    std::function<std::pair<int, int>(int)> clipHotkey;
    // What the desktop bound to a clip's hotkey, "" where the program takes its keys itself.
    std::function<QString(int clip)> clipDesktopBinding;

    void ExportHotkeyOverviewCommand();
};
