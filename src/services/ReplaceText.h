#pragma once

#include <QString>

// Replaces every occurrence of find (case-sensitive, left to right). The search goes on right after each
// inserted replacement, so inserted text is never searched again: "aaa" with "a" -> "aa" gives "aaaaaa".
// Runs in one pass over the text. An empty find leaves the text unchanged.
QString ReplaceText(const QString& text, const QString& find, const QString& replacement);
