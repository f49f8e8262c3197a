#pragma once

#include <QString>

// The editor's pure rules: the caption a clip gets in its row when it is handed back, and the texts of the
// status bar counters.
namespace EditorCaption {

constexpr int SimpleTextLimit = 100; // a one-line plain text up to this length stays a simple clip
constexpr int ShortCaption = 16;     // otherwise the caption is the text's first characters
constexpr int PrefixedLimit = 94;    // captions of rich text and picture clips, prefix included

struct Caption {
    QString text;
    bool simple = false; // the clip stays a simple one-line text
};

// The caption for the editor's content. mode is the mode's name (EditorModes::name); text is the plain text (CR LF line
// ends) of the text box in use; with a custom name chosen, the name is the caption. A caption of blanks only
// becomes "Clip " + number; rich text and picture captions get their "(RTF) " / "(IMG) " prefix (unless they
// start with it already) and are cut to 94 characters.
Caption caption(const QString& mode, bool customName, const QString& name, const QString& text, int clipNumber);

// A count in the "###,###" number format: digits grouped by the user's thousands separator, "" for 0.
QString formatCount(qint64 count);

// Panel 2 after a change of the plain or the rich box.
QString plainCounter(qint64 count);
QString richCounter(qint64 count);
// Panel 2 while the editor opens: the plain box's counter, or the rich box's (written without the blank after
// the slash).
QString openingCounter(const QString& mode, qint64 count);

} // namespace EditorCaption
