// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/ClassicPictures.h"

namespace pellamy {
namespace {

using PixelMap = ClassicPixelMap;

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

} // namespace

const ClassicPixelMap& ClassicPixels(ClassicPicture picture)
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

std::optional<std::uint32_t> ClassicPixelColour(char pixel)
{
    switch (pixel) {
    case '#': return 0x000000;
    case 'y': return 0xFFFF00;
    case 'o': return 0x808000;
    case 'w': return 0xFFFFFF;
    case 's': return 0xC0C0C0;
    case 'g': return 0x808080;
    case 'n': return 0x000080;
    case 'G': return 0x00FF00;
    case 'd': return 0x008000;
    default: return std::nullopt;
    }
}

ClassicPicture ClassicPictureOf(DriveKind kind)
{
    switch (kind) {
    case DriveKind::Removable:
        return ClassicPicture::Floppy;
    case DriveKind::Remote:
        return ClassicPicture::Network;
    case DriveKind::CdRom:
        return ClassicPicture::CdRom;
    case DriveKind::RamDisk:
        return ClassicPicture::Ram;
    case DriveKind::Fixed:
    case DriveKind::Unknown:
        break;
    }
    return ClassicPicture::Hard;
}

} // namespace pellamy
