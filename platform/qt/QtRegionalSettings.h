// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_QT_QTREGIONALSETTINGS_H
#define PELLAMY_PLATFORM_QT_QTREGIONALSETTINGS_H

#include "scan/RegionalSettings.h"

#include <QLocale>

namespace pellamy {

/// The regional settings of two locales: the decimal point of `numericLocale`; the short date
/// format of `timeLocale` with the date separator drawn out of it, and the time separator,
/// clock, hour padding and morning/afternoon texts of its long time format. A `timeLocale` of the
/// C locale gives numeric ISO dates ("2024-03-07") on a 24-hour clock.
RegionalSettings RegionalSettingsFromLocales(const QLocale& timeLocale, const QLocale& numericLocale);

/// The regional settings of one locale for both numbers and times.
RegionalSettings RegionalSettingsFromLocale(const QLocale& locale);

/// The locale a category of the user's settings follows on Unix: the one named by LC_ALL, else by
/// `categoryVariable` ("LC_TIME", "LC_NUMERIC"), else by LANG, else the C locale; LANGUAGE plays
/// no part. Elsewhere the system locale.
QLocale CategoryLocale(const char* categoryVariable);

/// The user's regional settings: dates and times from the locale of LC_TIME, the decimal
/// separator from that of LC_NUMERIC (CategoryLocale). Read again when the system announces a
/// change of locale.
RegionalSettings SystemRegionalSettings();

} // namespace pellamy

#endif
