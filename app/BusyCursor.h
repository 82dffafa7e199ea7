// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_BUSYCURSOR_H
#define PELLAMY_APP_BUSYCURSOR_H

class QWidget;

namespace pellamy {

/// Shows the hourglass for the whole application while it lives and repaints `window` at once
/// when it starts and ends, so the cursor is restored on every way out of a handler.
class BusyCursor
{
public:
    explicit BusyCursor(QWidget* window);
    ~BusyCursor();

    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    QWidget* m_window;
};

} // namespace pellamy

#endif
