// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/navigator/ClassicPictures.h"

#include <QColor>
#include <QImage>

#include <array>

namespace pellamy {
namespace {

QImage Draw(ClassicPicture which)
{
    const ClassicPixelMap& rows = ClassicPixels(which);
    QImage image(kClassicPictureWidth, kClassicPictureHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < kClassicPictureHeight; ++y) {
        for (int x = 0; x < kClassicPictureWidth; ++x) {
            if (const std::optional<std::uint32_t> rgb = ClassicPixelColour(rows[static_cast<std::size_t>(y)][x])) {
                image.setPixelColor(x, y, QColor::fromRgb(static_cast<QRgb>(*rgb)));
            }
        }
    }
    return image;
}

} // namespace

QPixmap ClassicBitmap(ClassicPicture which)
{
    // Images, not pixmaps, are kept: they hold no resources of the window system and so may
    // outlive the application object.
    static std::array<QImage, 8> cache;
    QImage& slot = cache[static_cast<std::size_t>(which)];
    if (slot.isNull()) {
        slot = Draw(which);
    }
    return QPixmap::fromImage(slot);
}

} // namespace pellamy
