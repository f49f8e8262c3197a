#pragma once

#include "editor/EditorModes.h"

class PictureArea;
class PlainTextBox;
class QWidget;
class RichTextBox;

// The editor's file commands: the clip's content loaded from a file and saved to one, in the window's mode.
namespace EditorFiles {

struct Boxes {
    PlainTextBox& plain;
    RichTextBox& rich;
    PictureArea& picture;
};

// Asks for a file and loads it into the mode's box. A missing file is reported; a text longer than the box
// holds is cut there, with a word.
void LoadFromFile(QWidget& window, EditorModes::Mode mode, const Boxes& boxes);
// Asks for a name and writes the mode's content there; a failed write leaves any old file as it was and says so.
void SaveToFile(QWidget& window, EditorModes::Mode mode, const Boxes& boxes);

} // namespace EditorFiles
