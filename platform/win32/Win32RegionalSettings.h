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

/// The short date format of Windows (`LOCALE_SSHORTDATE`, "dd.MM.yyyy") in the program's form, with
/// its first separator between fields as the date separator; `out` gets both.
void ConvertWindowsDateFormat(const std::string& format, RegionalSettings& out);

/// The time format of Windows (`LOCALE_STIMEFORMAT`, "h:mm:ss tt") read into `out`: the time
/// separator, the clock, the leading zero and whether the designator comes first.
void ConvertWindowsTimeFormat(const std::string& format, RegionalSettings& out);

} // namespace pellamy

#endif
