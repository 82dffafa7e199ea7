// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_WINDOW_CLASSICPICTURES_H
#define PELLAMY_WINDOW_CLASSICPICTURES_H

#include "shell/FolderSystem.h"

#include <array>
#include <cstdint>
#include <optional>

namespace pellamy {

/// The 16 x 15 pictures of the select-folder dialog, in the 16 classic colours: the folder list's
/// open, current and closed folders and the drive box's kinds of drive.
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

inline constexpr int kClassicPictureWidth = 16;
inline constexpr int kClassicPictureHeight = 15;

/// A picture as rows of characters, one a pixel: see `ClassicPixelColour`.
using ClassicPixelMap = std::array<const char*, kClassicPictureHeight>;

/// The pixels of `picture`.
const ClassicPixelMap& ClassicPixels(ClassicPicture picture);

/// The colour (0xRRGGBB) of a pixel map's character; nothing for a pixel left undrawn.
std::optional<std::uint32_t> ClassicPixelColour(char pixel);

/// The picture of a drive of `kind` in the drive box.
ClassicPicture ClassicPictureOf(DriveKind kind);

} // namespace pellamy

#endif
