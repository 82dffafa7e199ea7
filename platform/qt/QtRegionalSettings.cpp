// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/QtRegionalSettings.h"

#include "scan/RegionalFormats.h"

namespace pellamy {
namespace {

// Qt's formats treat every character that Qt calls a letter as part of a field, whatever its script.
bool IsQtLetter(char32_t c)
{
    return QChar::isLetter(c);
}

// Qt writes the 12-hour clock with an AM/PM marker ("AP", "ap"); "t" is the time zone.
constexpr FormatPatternRules kQtPatterns{IsQtLetter, ClockLetters::AmPmMarker};

} // namespace

RegionalSettings RegionalSettingsFromLocales(const QLocale& timeLocale, const QLocale& numericLocale)
{
    RegionalSettings out;
    out.DecimalSeparator = numericLocale.decimalPoint().toStdString();
    if (timeLocale.language() == QLocale::C) {
        // The C locale's short date spells the month as a name; a user who runs without a
        // locale gets the unambiguous numeric ISO order instead, on a 24-hour clock.
        out.ShortDateFormat = "yyyy/MM/dd";
        out.DateSeparator = "-";
        return out;
    }
    ConvertShortDateFormat(timeLocale.dateFormat(QLocale::ShortFormat).toStdString(), kQtPatterns, out);
    ConvertTimeFormat(timeLocale.timeFormat(QLocale::LongFormat).toStdString(), kQtPatterns, out);
    out.AmDesignator = timeLocale.amText().toStdString();
    out.PmDesignator = timeLocale.pmText().toStdString();
    if (out.AmDesignator.empty()) {
        out.AmDesignator = "AM";
    }
    if (out.PmDesignator.empty()) {
        out.PmDesignator = "PM";
    }
    return out;
}

RegionalSettings RegionalSettingsFromLocale(const QLocale& locale)
{
    return RegionalSettingsFromLocales(locale, locale);
}

QLocale CategoryLocale(const char* categoryVariable)
{
#ifdef Q_OS_UNIX
    // The order of the C library and of Qt's system locale on Unix: LC_ALL, then the category's
    // own variable, then LANG, else the C locale. LANGUAGE names message languages only.
    for (const char* variable : {"LC_ALL", categoryVariable, "LANG"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty()) {
            return QLocale(name);
        }
    }
    return QLocale::c();
#else
    (void)categoryVariable;
    return QLocale::system();
#endif
}

RegionalSettings SystemRegionalSettings()
{
    // QLocale::system() answers each question from the locale of its category, but its
    // language() follows the message languages (LANGUAGE, LC_MESSAGES), so it cannot tell
    // whether the dates are those of the C locale; the category locales are built here by the
    // same rule instead.
    return RegionalSettingsFromLocales(CategoryLocale("LC_TIME"), CategoryLocale("LC_NUMERIC"));
}

} // namespace pellamy
