// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WIN32_WIN32REGIONALSETTINGS_H
#define PELLAMY_PLATFORM_WIN32_WIN32REGIONALSETTINGS_H

#include "scan/RegionalSettings.h"

#include <string>

namespace pellamy {

/// The regional settings of the locale named `localeName` ("de-DE"; empty for the user's own), read
/// with `GetLocaleInfoEx`: the decimal separator, the short date format with its date separator
/// drawn out of it, and from the time format the time separator, the 12- or 24-hour clock, the
/// leading zero in hours and the place of the morning/afternoon designators, which come from the
/// locale's own texts. Day and month names in the format fall back to numbers. A value the system
/// does not give keeps the default of `RegionalSettings`.
RegionalSettings Win32RegionalSettings(const std::string& localeName = {});

} // namespace pellamy

#endif
