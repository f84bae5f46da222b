#pragma once

namespace vellumax {

// The window asks for "宋体"; map it to the Song/Ming face installed here so
// that every Chinese text renders.
void installChineseFonts();

} // namespace vellumax
