// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/win32/navigator/ClassicPictures.h"


namespace pellamy::win32 {

void DrawClassicPicture(HDC dc, ClassicPicture picture, int x, int y, int scale)
{
    const ClassicPixelMap& rows = ClassicPixels(picture);
    for (int row = 0; row < kClassicPictureHeight; ++row) {
        for (int column = 0; column < kClassicPictureWidth; ++column) {
            const std::optional<std::uint32_t> rgb = ClassicPixelColour(rows[static_cast<std::size_t>(row)][column]);
            if (!rgb) {
                continue;
            }
            const COLORREF colour = RGB((*rgb >> 16) & 0xFF, (*rgb >> 8) & 0xFF, *rgb & 0xFF);
            // ExtTextOut with an opaque rectangle fills with the background colour without a brush.
            SetBkColor(dc, colour);
            const RECT pixel{x + column * scale, y + row * scale, x + (column + 1) * scale, y + (row + 1) * scale};
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &pixel, nullptr, 0, nullptr);
        }
    }
}

} // namespace pellamy::win32
