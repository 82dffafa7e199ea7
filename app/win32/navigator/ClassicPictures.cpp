// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/win32/navigator/ClassicPictures.h"

#include <array>

namespace pellamy::win32 {
namespace {

using PixelMap = std::array<const char*, kClassicPictureHeight>;

// The pictures as pixel maps: "#" black, "y" yellow, "o" dark yellow, "w" white, "s" silver,
// "g" grey, "n" navy, "G" green, "d" dark green; "." is left undrawn.
constexpr PixelMap kClosedFolder{
    "................", "................", "..#####.........", ".#yyyyy#........", "#yyyyyyy#######.",
    "#wwwwwwwwwwwwo#.", "#wyyyyyyyyyyyo#.", "#wyyyyyyyyyyyo#.", "#wyyyyyyyyyyyo#.", "#wyyyyyyyyyyyo#.",
    "#wyyyyyyyyyyyo#.", "#wyyyyyyyyyyyo#.", "#ooooooooooooo#.", "###############.", "................"};

constexpr PixelMap kOpenFolder{
    "................", "..#####.........", ".#wwwww#........", "#wyyyyyy#######.", "#wyyyyyyyyyyyo#.",
    "#wyy############", "#wy#yyyyyyyyyyy#", "#w#yyyyyyyyyyyo#", "#w#yyyyyyyyyyo#.", "##yyyyyyyyyyyo#.",
    "##yyyyyyyyyyo#..", "#yyyyyyyyyyyo#..", "#oooooooooooo#..", "##############..", "................"};

// The open folder whose front is white and silver: the folder the list stands in.
constexpr PixelMap kCurrentFolder{
    "................", "..#####.........", ".#wwwww#........", "#wyyyyyy#######.", "#wyyyyyyyyyyyo#.",
    "#wyy############", "#wy#wwwwwwwwwww#", "#w#wwwwwwwwwwws#", "#w#wwwwwwwwwws#.", "##wwwwwwwwwwws#.",
    "##wwwwwwwwwws#..", "#wwwwwwwwwwws#..", "#ssssssssssss#..", "##############..", "................"};

constexpr PixelMap kFloppy{
    "..############..", "..#nn#sss#nnn#..", "..#nn#sns#nnn#..", "..#nn#sns#nnn#..", "..#nn#####nnn#..",
    "..#nnnnnnnnnnn#.", "..#nnnnnnnnnnn#.", "..#nwwwwwwwwn#..", "..#nwwwwwwwwn#..", "..#nwwwwwwwwn#..",
    "..#nwwwwwwwwn#..", "..#nwwwwwwwwn#..", "..############..", "................", "................"};

constexpr PixelMap kHard{
    "................", "................", "................", "................", "################",
    "#wwwwwwwwwwwwww#", "#ssssssssssssss#", "#sssssssssssGGs#", "#ssssssssssssss#", "#gggggggggggggg#",
    "################", "................", "................", "................", "................"};

constexpr PixelMap kCdRom{
    ".....######.....", "...##ssssss##...", "..#sswwsssssss#.", ".#sswsssssssss#.", ".#swssssssssss#.",
    "#sswsss###sssss#", "#sssss#www#ssss#", "#sssss#www#ssss#", "#sssss#www#ssss#", "#ssssss###sssss#",
    ".#ssssssssssss#.", ".#ssssssssssss#.", "..#ssssssssss#..", "...##ssssss##...", ".....######....."};

constexpr PixelMap kNetwork{
    "................", ".##############.", ".#wwwwwwwwwwww#.", ".#ssssssssGGss#.", ".#ssssssssssss#.",
    ".#ssssssssssss#.", ".##############.", ".......#........", ".......#........", ".......#........",
    ".......#........", ".##############.", "................", "................", "................"};

constexpr PixelMap kRam{
    "................", "................", "................", "................", "###############.",
    "#d###d###d###d#.", "#d###d###d###d#.", "#d###d###d###d#.", "#d###d###d###d#.", "#ddddddddddddd#.",
    "###############.", ".o.o.o.o.o.o.o..", ".o.o.o.o.o.o.o..", "................", "................"};

const PixelMap& MapOf(ClassicPicture picture)
{
    switch (picture) {
    case ClassicPicture::OpenFolder:
        return kOpenFolder;
    case ClassicPicture::CurrentFolder:
        return kCurrentFolder;
    case ClassicPicture::ClosedFolder:
        return kClosedFolder;
    case ClassicPicture::Floppy:
        return kFloppy;
    case ClassicPicture::Hard:
        return kHard;
    case ClassicPicture::CdRom:
        return kCdRom;
    case ClassicPicture::Network:
        return kNetwork;
    case ClassicPicture::Ram:
        return kRam;
    }
    return kClosedFolder;
}

// The 16-colour palette's colour of a pixel map's character; false for an undrawn pixel.
bool ColourOf(char c, COLORREF& colour)
{
    switch (c) {
    case '#': colour = RGB(0, 0, 0); return true;
    case 'y': colour = RGB(0xFF, 0xFF, 0x00); return true;
    case 'o': colour = RGB(0x80, 0x80, 0x00); return true;
    case 'w': colour = RGB(0xFF, 0xFF, 0xFF); return true;
    case 's': colour = RGB(0xC0, 0xC0, 0xC0); return true;
    case 'g': colour = RGB(0x80, 0x80, 0x80); return true;
    case 'n': colour = RGB(0x00, 0x00, 0x80); return true;
    case 'G': colour = RGB(0x00, 0xFF, 0x00); return true;
    case 'd': colour = RGB(0x00, 0x80, 0x00); return true;
    default: return false;
    }
}

} // namespace

void DrawClassicPicture(HDC dc, ClassicPicture picture, int x, int y, int scale)
{
    const PixelMap& rows = MapOf(picture);
    for (int row = 0; row < kClassicPictureHeight; ++row) {
        for (int column = 0; column < kClassicPictureWidth; ++column) {
            COLORREF colour = 0;
            if (!ColourOf(rows[static_cast<std::size_t>(row)][column], colour)) {
                continue;
            }
            // ExtTextOut with an opaque rectangle fills with the background colour without a brush.
            SetBkColor(dc, colour);
            const RECT pixel{x + column * scale, y + row * scale, x + (column + 1) * scale, y + (row + 1) * scale};
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &pixel, nullptr, 0, nullptr);
        }
    }
}

} // namespace pellamy::win32
