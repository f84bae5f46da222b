#pragma once

#include <QImage>
#include <cstddef>

namespace vellumax {

// The largest picture decodeJpeg accepts, in pixels; a damaged header must
// not make it ask for gigabytes.
inline constexpr long long kMaxJpegPixels = 16LL * 1024 * 1024;

// Decodes a JPEG picture held in memory into an RGB image with libjpeg.
// A damaged, truncated or unsupported picture throws Error with a message
// that starts "JPEG picture: " and gives libjpeg's reason; even a defect that
// libjpeg would only warn about counts as damage.
QImage decodeJpeg(const unsigned char* data, std::size_t size);

} // namespace vellumax
