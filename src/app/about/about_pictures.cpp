#include "app/about/about_pictures.h"

#include "app/about/jpeg_decoder.h"

namespace vellumax {

QImage logoPicture() { return decodeJpeg(kLogoJpeg, kLogoJpegSize); }

QImage creditBannerPicture() { return decodeJpeg(kCreditBannerJpeg, kCreditBannerJpegSize); }

} // namespace vellumax
