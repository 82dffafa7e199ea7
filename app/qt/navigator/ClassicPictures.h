// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_NAVIGATOR_CLASSICPICTURES_H
#define PELLAMY_APP_QT_NAVIGATOR_CLASSICPICTURES_H

#include <QPixmap>

namespace pellamy {

/// The small pictures of the select-folder dialog, 16 x 15 pixels in the 16 classic colours: the
/// folder list's open, current and closed folders and the drive box's kinds of drive.
enum class ClassicPicture {
    OpenFolder,
    CurrentFolder,
    ClosedFolder,
    Floppy,
    Hard,
    CdRom,
    Network,
    Ram,
};

/// The picture `which`, drawn once and shared afterwards.
QPixmap ClassicBitmap(ClassicPicture which);

} // namespace pellamy

#endif
