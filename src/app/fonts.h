#pragma once

class QFont;

namespace vellumax {

// The window asks for "宋体"; map it to the Song/Ming face installed here so
// that every Chinese text renders.
void installChineseFonts();

// "宋体" at a pixel size, drawn in solid strokes. The Ming face installed for
// it carries hand-tuned one-bit bitmaps for 11 to 16 pixels, which the font
// engine uses only when it does not smooth the glyphs; smoothed, the face's
// thin outlines come out grey and faint at these sizes.
QFont songFont(int pixelSize, bool bold = false);

} // namespace vellumax
