#pragma once

#include <QImage>
#include <cstddef>

namespace vellumax {

// The about box's pictures as JPEG data (built in from logo.jpg and
// credit_banner.jpg beside this file).
extern const unsigned char kLogoJpeg[];
extern const std::size_t kLogoJpegSize;
extern const unsigned char kCreditBannerJpeg[];
extern const std::size_t kCreditBannerJpegSize;

// The maker's logo, 66 x 46, and the one-line credit banner, 188 x 18,
// decoded for display.
QImage logoPicture();
QImage creditBannerPicture();

} // namespace vellumax
