#pragma once

#include <QString>

// The user guide, ZolpaneHelp.html with its pictures in images/ beside it. A portable copy keeps it in the
// folder help/ beside the executable (the build tree gets a copy there); an installed program finds it in the
// data folder ../share/zolpane/ from its executable's folder.
class UserGuide final {
public:
    static const QString FileName;

    // The guide's path for an executable in executableFolder (help/ first), or "" when neither place has it.
    static QString locate(const QString& executableFolder);
    // Shows the guide with the desktop's default handler; says so in a message when there is no guide or no
    // program took it.
    static void open(const QString& executableFolder);
};
