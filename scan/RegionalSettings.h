// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_REGIONALSETTINGS_H
#define PELLAMY_SCAN_REGIONALSETTINGS_H

#include <string>

namespace pellamy {

/// The user's number, date and time conventions, captured once so that every text of one fill is
/// made with the same settings.
///
/// `ShortDateFormat` uses the letters d, dd (day), M, MM (month), yy, yyyy (year); "/" stands for
/// `DateSeparator`; text between single quotes is copied as it stands ('' is one quote); any other
/// character is copied too.
struct RegionalSettings
{
    std::string DecimalSeparator = ".";
    std::string ShortDateFormat = "dd/MM/yyyy";
    std::string DateSeparator = "/";
    std::string TimeSeparator = ":";
    bool TwelveHourClock = false;
    bool LeadingZeroInHours = true;
    std::string AmDesignator = "AM";
    std::string PmDesignator = "PM";
    bool DesignatorFirst = false;

    bool operator==(const RegionalSettings&) const = default;
};

} // namespace pellamy

#endif
