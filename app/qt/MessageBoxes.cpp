// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/MessageBoxes.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace pellamy {
namespace {

// What a title bar takes besides its caption: the window's icon and its three buttons, with the
// margins between them, at the common themes' sizes.
constexpr int kTitleBarExtras = 160;

} // namespace

void FitCaption(QMessageBox& box)
{
    auto* layout = qobject_cast<QGridLayout*>(box.layout());
    if (layout == nullptr) {
        return;
    }
    // The title bar is drawn by the window manager in its own font, taken here as the
    // application's window title font, a bold system font at most.
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int needed = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarExtras;
    layout->addItem(new QSpacerItem(needed, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), layout->rowCount(), 0,
                    1, layout->columnCount());
}

} // namespace pellamy
