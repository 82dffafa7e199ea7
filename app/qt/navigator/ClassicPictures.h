// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_NAVIGATOR_CLASSICPICTURES_H
#define PELLAMY_APP_QT_NAVIGATOR_CLASSICPICTURES_H

#include "window/ClassicPictures.h"

#include <QPixmap>

namespace pellamy {

/// The picture `which`, drawn once and shared afterwards.
QPixmap ClassicBitmap(ClassicPicture which);

} // namespace pellamy

#endif
