// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BusyCursor.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

namespace pellamy {

BusyCursor::BusyCursor(QWidget* window)
    : m_window(window)
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    if (m_window != nullptr) {
        m_window->repaint();
    }
}

BusyCursor::~BusyCursor()
{
    QApplication::restoreOverrideCursor();
    if (m_window != nullptr) {
        m_window->repaint();
    }
}

} // namespace pellamy
