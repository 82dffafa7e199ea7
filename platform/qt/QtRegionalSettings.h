// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_QT_QTREGIONALSETTINGS_H
#define PELLAMY_PLATFORM_QT_QTREGIONALSETTINGS_H

#include "scan/RegionalSettings.h"

#include <QLocale>

namespace pellamy {

/// The regional settings of `locale`: its decimal point, its short date format with the date
/// separator drawn out of it, and the time separator, clock, hour padding and morning/afternoon
/// texts of its long time format.
RegionalSettings RegionalSettingsFromLocale(const QLocale& locale);

/// The regional settings of the user's system locale (QLocale::system()).
RegionalSettings SystemRegionalSettings();

} // namespace pellamy

#endif
