// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_WIN32_NAVIGATOR_CLASSICPICTURES_H
#define PELLAMY_APP_WIN32_NAVIGATOR_CLASSICPICTURES_H

#include "window/ClassicPictures.h"

#include <windows.h>

namespace pellamy::win32 {

/// Draws `picture` with its top left corner at (`x`, `y`), each of its pixels `scale` pixels wide
/// and high; what is not part of the picture is left as it was.
void DrawClassicPicture(HDC dc, ClassicPicture picture, int x, int y, int scale);

} // namespace pellamy::win32

#endif
