// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/navigator/ClassicPictures.h"

#include <QPainter>

#include <array>

namespace pellamy {
namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 15;

// The folders as pixel maps: "#" black, "y" yellow, "o" dark yellow, "w" white, "s" silver.
constexpr std::array<const char*, kHeight> kClosedFolder{
    "................", "................", "..#####.........", ".#yyyyy#........", "#yyyyyyy#######.",
    "#wwwwwwwwwwwwo#.", "#wyyyyyyyyyyyo#.", "#wyyyyyyyyyyyo#.", "#wyyyyyyyyyyyo#.", "#wyyyyyyyyyyyo#.",
    "#wyyyyyyyyyyyo#.", "#wyyyyyyyyyyyo#.", "#ooooooooooooo#.", "###############.", "................"};

constexpr std::array<const char*, kHeight> kOpenFolder{
    "................", "..#####.........", ".#wwwww#........", "#wyyyyyy#######.", "#wyyyyyyyyyyyo#.",
    "#wyy############", "#wy#yyyyyyyyyyy#", "#w#yyyyyyyyyyyo#", "#w#yyyyyyyyyyo#.", "##yyyyyyyyyyyo#.",
    "##yyyyyyyyyyo#..", "#yyyyyyyyyyyo#..", "#oooooooooooo#..", "##############..", "................"};

// The open folder whose front is drawn in white and silver: the folder the list stands in.
constexpr std::array<const char*, kHeight> kCurrentFolder{
    "................", "..#####.........", ".#wwwww#........", "#wyyyyyy#######.", "#wyyyyyyyyyyyo#.",
    "#wyy############", "#wy#wwwwwwwwwww#", "#w#wwwwwwwwwwws#", "#w#wwwwwwwwwws#.", "##wwwwwwwwwwws#.",
    "##wwwwwwwwwws#..", "#wwwwwwwwwwws#..", "#ssssssssssss#..", "##############..", "................"};

QColor PixelColour(char c)
{
    switch (c) {
    case '#':
        return Qt::black;
    case 'y':
        return {0xFF, 0xFF, 0x00};
    case 'o':
        return {0x80, 0x80, 0x00};
    case 'w':
        return Qt::white;
    case 's':
        return {0xC0, 0xC0, 0xC0};
    default:
        return Qt::transparent;
    }
}

QImage FromPixelMap(const std::array<const char*, kHeight>& rows)
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            image.setPixelColor(x, y, PixelColour(rows[static_cast<std::size_t>(y)][x]));
        }
    }
    return image;
}

const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kGrey(0x80, 0x80, 0x80);
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kGreen(0x00, 0xFF, 0x00);
const QColor kDarkGreen(0x00, 0x80, 0x00);
const QColor kDarkYellow(0x80, 0x80, 0x00);

// The drives are simple shapes, drawn without smoothing so they keep the look of 16-colour art.
QImage DrawDrive(ClassicPicture which)
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::black);
    switch (which) {
    case ClassicPicture::Floppy:
        p.setBrush(kNavy);
        p.drawRect(2, 0, 11, 13);
        p.setBrush(kSilver);
        p.drawRect(5, 0, 5, 4);
        p.fillRect(8, 1, 1, 3, kNavy);
        p.fillRect(4, 7, 7, 6, Qt::white);
        break;
    case ClassicPicture::Hard:
        p.setBrush(kSilver);
        p.drawRect(0, 4, 15, 6);
        p.fillRect(1, 5, 14, 1, Qt::white);
        p.fillRect(1, 9, 14, 1, kGrey);
        p.fillRect(11, 7, 2, 1, kGreen);
        break;
    case ClassicPicture::CdRom:
        p.setBrush(kSilver);
        p.drawEllipse(1, 0, 13, 13);
        p.setPen(Qt::white);
        p.drawArc(3, 2, 9, 9, 90 * 16, 90 * 16);
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawEllipse(6, 5, 3, 3);
        break;
    case ClassicPicture::Network:
        p.setBrush(kSilver);
        p.drawRect(1, 1, 13, 6);
        p.fillRect(2, 2, 12, 1, Qt::white);
        p.fillRect(10, 4, 2, 1, kGreen);
        p.drawLine(7, 8, 7, 11);
        p.drawLine(1, 12, 14, 12);
        break;
    case ClassicPicture::Ram:
        p.setBrush(kDarkGreen);
        p.drawRect(0, 4, 15, 6);
        p.fillRect(2, 5, 3, 4, Qt::black);
        p.fillRect(6, 5, 3, 4, Qt::black);
        p.fillRect(10, 5, 3, 4, Qt::black);
        for (int x = 1; x < 15; x += 2) {
            p.fillRect(x, 11, 1, 2, kDarkYellow);
        }
        break;
    case ClassicPicture::OpenFolder:
    case ClassicPicture::CurrentFolder:
    case ClassicPicture::ClosedFolder:
        break;
    }
    p.end();
    return image;
}

QImage Draw(ClassicPicture which)
{
    switch (which) {
    case ClassicPicture::OpenFolder:
        return FromPixelMap(kOpenFolder);
    case ClassicPicture::CurrentFolder:
        return FromPixelMap(kCurrentFolder);
    case ClassicPicture::ClosedFolder:
        return FromPixelMap(kClosedFolder);
    default:
        return DrawDrive(which);
    }
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
