#pragma once

// The code pages RTF names: a font's \fcharset, a document's \ansicpg and a font's \cpg.
namespace richtext::RtfCodePages {

// The code page of a font character set (\fcharsetN); 0 for the default and unknown sets, which take the
// document's code page.
int forCharset(int charset);

// The font character set that says "this code page" (\fcharset of the fonts the writer lists); 0 when none does.
int charsetFor(int codePage);

// Whether a code page number from the input is one the reader decodes with; others fall back to the document's.
bool isKnown(int codePage);

} // namespace richtext::RtfCodePages
