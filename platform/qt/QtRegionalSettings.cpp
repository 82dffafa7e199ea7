// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/QtRegionalSettings.h"

#include <QRegularExpression>

namespace pellamy {
namespace {

bool IsFormatLetter(QChar c)
{
    return c.isLetter();
}

// Turns a Qt short date format into the program's form: day, month and year fields kept, the
// first separator between fields becomes "/", names of days and months fall back to numbers.
void ConvertDateFormat(const QString& qtFormat, RegionalSettings& out)
{
    QString result;
    QString separator;
    bool sawField = false;
    for (qsizetype i = 0; i < qtFormat.size();) {
        const QChar c = qtFormat[i];
        if (c == u'\'') {
            qsizetype j = i + 1;
            QString literal;
            while (j < qtFormat.size() && qtFormat[j] != u'\'') {
                literal += qtFormat[j++];
            }
            result += u'\'' + literal + u'\'';
            i = j + 1;
            continue;
        }
        if (c == u'd' || c == u'M' || c == u'y') {
            qsizetype j = i;
            while (j < qtFormat.size() && qtFormat[j] == c) {
                ++j;
            }
            qsizetype run = j - i;
            if (c != u'y' && run > 2) {
                run = 2; // day and month names: shown as two-digit numbers
            }
            if (c == u'y') {
                run = run >= 3 ? 4 : 2;
            }
            result += QString(run, c);
            sawField = true;
            i = j;
            continue;
        }
        if (IsFormatLetter(c)) {
            // Letters of other fields (weekday names and the like) are dropped with what follows
            // them up to the next field.
            ++i;
            continue;
        }
        if (sawField && separator.isEmpty()) {
            qsizetype j = i;
            while (j < qtFormat.size() && !IsFormatLetter(qtFormat[j]) && qtFormat[j] != u'\'') {
                ++j;
            }
            separator = qtFormat.mid(i, j - i);
        }
        if (!separator.isEmpty() && qtFormat.mid(i, separator.size()) == separator) {
            result += u'/';
            i += separator.size();
            continue;
        }
        if (c == u'/') {
            result += QStringLiteral("'/'");
        } else {
            result += c;
        }
        ++i;
    }
    out.ShortDateFormat = result.toStdString();
    out.DateSeparator = separator.isEmpty() ? std::string("/") : separator.toStdString();
}

void ConvertTimeFormat(const QString& qtFormat, const QLocale& locale, RegionalSettings& out)
{
    const qsizetype hourAt = qtFormat.indexOf(QRegularExpression(QStringLiteral("[hH]")));
    qsizetype apAt = qtFormat.indexOf(QRegularExpression(QStringLiteral("[aA][pP]?")));
    out.TwelveHourClock = apAt >= 0;
    if (hourAt >= 0) {
        qsizetype run = 1;
        while (hourAt + run < qtFormat.size() && qtFormat[hourAt + run].toLower() == u'h') {
            ++run;
        }
        out.LeadingZeroInHours = run >= 2;
        qsizetype j = hourAt + run;
        QString separator;
        while (j < qtFormat.size() && !IsFormatLetter(qtFormat[j])) {
            separator += qtFormat[j++];
        }
        out.TimeSeparator = separator.isEmpty() ? std::string(":") : separator.toStdString();
    }
    out.DesignatorFirst = out.TwelveHourClock && hourAt >= 0 && apAt < hourAt;
    out.AmDesignator = locale.amText().toStdString();
    out.PmDesignator = locale.pmText().toStdString();
    if (out.AmDesignator.empty()) {
        out.AmDesignator = "AM";
    }
    if (out.PmDesignator.empty()) {
        out.PmDesignator = "PM";
    }
}

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
    ConvertDateFormat(timeLocale.dateFormat(QLocale::ShortFormat), out);
    ConvertTimeFormat(timeLocale.timeFormat(QLocale::LongFormat), timeLocale, out);
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
