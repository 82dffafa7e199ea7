// SPDX-License-Identifier: GPL-3.0-or-later
// The size and date parsers and the header-click comparators: every column orders any three cells
// consistently (a cell equals itself, swapping the cells flips the sign, order is transitive), the
// date texts read back as the time that made them, the order of sizes and times survives their
// texts, and names held in two parts order as the joined names.
#include "lists/ColumnCompare.h"
#include "lists/ColumnOrder.h"
#include "lists/DisplayTexts.h"
#include "scan/CaseFold.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <tuple>

namespace {

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

pellamy::RegionalSettings PickSettings(FuzzedDataProvider& input)
{
    static constexpr const char* kDateFormats[] = {
        "dd/MM/yyyy", "d/M/yyyy", "M/d/yyyy",           "MM/dd/yyyy",    "yyyy/MM/dd",
        "yyyy-MM-dd", "d/M/yy",   "dd/MM/yy",           "yy/MM/dd",      "dd'.'MM'.'yyyy",
        "d. M. yyyy", "yyyyMMdd", "yyyy'年'M'月'd'日'", "''dd''/MM/yyyy"};
    static constexpr const char* kDateSeparators[] = {"/", ".", "-"};
    static constexpr const char* kTimeSeparators[] = {":", "."};
    static constexpr std::pair<const char*, const char*> kDesignators[] = {
        {"AM", "PM"}, {"am", "pm"}, {"a.m.", "p.m."}, {"vorm.", "nachm."}, {"午前", "午後"}, {"A", "PM"}};
    pellamy::RegionalSettings s;
    s.DecimalSeparator = input.ConsumeBool() ? "." : ",";
    s.ShortDateFormat =
        kDateFormats[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kDateFormats) - 1)];
    s.DateSeparator =
        kDateSeparators[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kDateSeparators) - 1)];
    s.TimeSeparator =
        kTimeSeparators[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kTimeSeparators) - 1)];
    s.TwelveHourClock = input.ConsumeBool();
    s.LeadingZeroInHours = input.ConsumeBool();
    const auto& [am, pm] =
        kDesignators[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kDesignators) - 1)];
    s.AmDesignator = am;
    s.PmDesignator = pm;
    s.DesignatorFirst = input.ConsumeBool();
    return s;
}

bool HasTwoDigitYear(const pellamy::RegionalSettings& s)
{
    return s.ShortDateFormat.find("yyyy") == std::string::npos;
}

pellamy::LocalDateTime PickTime(FuzzedDataProvider& input, const pellamy::RegionalSettings& s)
{
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    pellamy::LocalDateTime t;
    t.Year =
        HasTwoDigitYear(s) ? input.ConsumeIntegralInRange(1930, 2029) : input.ConsumeIntegralInRange(1, 9999);
    t.Month = input.ConsumeIntegralInRange(1, 12);
    const bool leap = (t.Year % 4 == 0 && t.Year % 100 != 0) || t.Year % 400 == 0;
    t.Day = input.ConsumeIntegralInRange(1, t.Month == 2 && !leap ? 28 : kDays[t.Month - 1]);
    if (input.ConsumeBool()) {
        t.Hour = input.ConsumeIntegralInRange(0, 23);
        t.Minute = input.ConsumeIntegralInRange(0, 59);
        t.Second = input.ConsumeIntegralInRange(0, 59);
    }
    return t;
}

int CompareTimes(const pellamy::LocalDateTime& a, const pellamy::LocalDateTime& b)
{
    const auto ka = std::tie(a.Year, a.Month, a.Day, a.Hour, a.Minute, a.Second);
    const auto kb = std::tie(b.Year, b.Month, b.Day, b.Hour, b.Minute, b.Second);
    return ka < kb ? -1 : (kb < ka ? 1 : 0);
}

// The order of one column on three cells. Sizes compare with a tolerance, under which nearly equal
// values are equal without that being transitive; their strict order must still be.
template <typename Compare>
void CheckOrder(Compare compare, const std::string& a, const std::string& b, const std::string& c,
                bool exactEquality)
{
    PELLAMY_FUZZ_CHECK(compare(a, a) == 0 && compare(b, b) == 0 && compare(c, c) == 0);
    const int ab = Sign(compare(a, b));
    const int bc = Sign(compare(b, c));
    const int ac = Sign(compare(a, c));
    PELLAMY_FUZZ_CHECK(ab == -Sign(compare(b, a)));
    PELLAMY_FUZZ_CHECK(bc == -Sign(compare(c, b)));
    PELLAMY_FUZZ_CHECK(ac == -Sign(compare(c, a)));
    if (ab < 0 && bc < 0) {
        PELLAMY_FUZZ_CHECK(ac < 0);
    }
    if (ab > 0 && bc > 0) {
        PELLAMY_FUZZ_CHECK(ac > 0);
    }
    if (exactEquality) {
        if (ab == 0) {
            PELLAMY_FUZZ_CHECK(ac == bc);
        }
        if (bc == 0) {
            PELLAMY_FUZZ_CHECK(ab == ac);
        }
    }
}

void CheckCells(FuzzedDataProvider& input, const pellamy::RegionalSettings& settings)
{
    const bool typeList = input.ConsumeBool();
    const int column = input.ConsumeIntegralInRange(0, typeList ? 3 : 5);
    const std::string a = input.ConsumeRandomLengthString(400);
    const std::string b = input.ConsumeRandomLengthString(400);
    const std::string c = input.ConsumeRandomLengthString(400);
    const bool sizeColumn = column == (typeList ? 3 : 5);
    auto compare = [&](const std::string& x, const std::string& y) {
        return typeList ? pellamy::CompareTypeCells(column, x, y, settings)
                        : pellamy::CompareFileCells(column, x, y, settings);
    };
    CheckOrder(compare, a, b, c, !sizeColumn);
}

void CheckDates(FuzzedDataProvider& input, const pellamy::RegionalSettings& settings)
{
    const pellamy::LocalDateTime t1 = PickTime(input, settings);
    const pellamy::LocalDateTime t2 = PickTime(input, settings);
    const std::string text1 = pellamy::DateTimeText(t1, settings);
    const std::string text2 = pellamy::DateTimeText(t2, settings);
    const auto read = pellamy::ParseDateTimeText(text1, settings);
    if (!read || !(*read == t1)) {
        std::fprintf(stderr, "\"%s\" (format \"%s\") does not read back\n", text1.c_str(),
                     settings.ShortDateFormat.c_str());
    }
    PELLAMY_FUZZ_CHECK(read.has_value() && *read == t1);
    PELLAMY_FUZZ_CHECK(pellamy::DateTimeSortValue(text1, settings).has_value());
    for (const int column : {2, 3}) {
        PELLAMY_FUZZ_CHECK(Sign(pellamy::CompareFileCells(column, text1, text2, settings)) ==
                           CompareTimes(t1, t2));
    }
    // A text that reads as a date reads the same once written again.
    const std::string any = input.ConsumeRemainingBytesAsString();
    if (const auto parsed = pellamy::ParseDateTimeText(any, settings)) {
        const auto again = pellamy::ParseDateTimeText(pellamy::DateTimeText(*parsed, settings), settings);
        PELLAMY_FUZZ_CHECK(again.has_value() && CompareTimes(*again, *parsed) == 0);
    }
}

void CheckSizes(FuzzedDataProvider& input, const pellamy::RegionalSettings& settings)
{
    auto pick = [&]() {
        switch (input.ConsumeIntegralInRange(0, 2)) {
        case 0:
            return input.ConsumeIntegralInRange<std::int64_t>(0, 4LL << 20);
        case 1:
            return input.ConsumeIntegralInRange<std::int64_t>(0, 4LL << 30);
        default:
            return input.ConsumeIntegralInRange<std::int64_t>(0, INT64_MAX);
        }
    };
    const std::int64_t n1 = pick();
    const std::int64_t n2 = pick();
    const bool megabytes = input.ConsumeBool();
    const std::string s1 = pellamy::SizeText(n1, megabytes, settings);
    const std::string s2 = pellamy::SizeText(n2, megabytes, settings);
    // The text's number is the size in its unit, to two decimals.
    const double value = pellamy::SizeSortValue(s1, settings);
    double unit = 1024.0;
    double scale = 1.0;
    if (s1.ends_with(" GB")) {
        unit = 1073741824.0;
        scale = 1073741824.0 * 1048576.0;
    } else if (s1.ends_with(" MB")) {
        unit = 1048576.0;
        scale = 1048576.0;
    } else {
        PELLAMY_FUZZ_CHECK(s1.ends_with(" KB") && !megabytes);
    }
    const double shown = value / scale;
    const double exact = static_cast<double>(n1) / unit;
    PELLAMY_FUZZ_CHECK(std::fabs(shown - exact) <= 0.005 + exact * 1e-12);
    // Larger sizes never sort before smaller ones.
    const int order = Sign(pellamy::CompareFileCells(5, s1, s2, settings));
    if (n1 < n2) {
        PELLAMY_FUZZ_CHECK(order <= 0);
    } else if (n1 > n2) {
        PELLAMY_FUZZ_CHECK(order >= 0);
    } else {
        PELLAMY_FUZZ_CHECK(order == 0);
    }
    PELLAMY_FUZZ_CHECK(Sign(pellamy::CompareTypeCells(3, s1, s2, settings)) == order);
    // Counts read back as the numbers they show.
    const auto count =
        input.ConsumeIntegralInRange<std::int64_t>(-99'999'999'999'999'999, 99'999'999'999'999'999);
    PELLAMY_FUZZ_CHECK(pellamy::NumberSortValue(std::to_string(count)) == count);
}

// A name sort's comparison of two names, each held as a folder's path and an own name split
// anywhere, agrees with the text comparison of the joined names.
void CheckTwoPartNames(FuzzedDataProvider& input)
{
    const std::string a = input.ConsumeRandomLengthString(48);
    const std::string b = input.ConsumeRandomLengthString(48);
    const std::size_t splitA = input.ConsumeIntegralInRange<std::size_t>(0, a.size());
    const std::size_t splitB = input.ConsumeIntegralInRange<std::size_t>(0, b.size());
    const pellamy::TwoPartText ta{std::string_view(a).substr(0, splitA), std::string_view(a).substr(splitA)};
    const pellamy::TwoPartText tb{std::string_view(b).substr(0, splitB), std::string_view(b).substr(splitB)};
    const int packed = pellamy::ComparePackedTexts(pellamy::PackTextPrefix(ta), ta, pellamy::PackTextPrefix(tb), tb);
    // Names hold no NUL bytes; the packed prefix pads with them.
    if (a.find('\0') == std::string::npos && b.find('\0') == std::string::npos) {
        PELLAMY_FUZZ_CHECK(packed == Sign(pellamy::CompareTextNoCase(a, b)));
    }
    PELLAMY_FUZZ_CHECK(pellamy::ComparePackedTexts(pellamy::PackTextPrefix(tb), tb, pellamy::PackTextPrefix(ta), ta) ==
                       -packed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int which = input.ConsumeIntegralInRange(0, 3);
    if (which == 3) {
        CheckTwoPartNames(input);
        return 0;
    }
    const pellamy::RegionalSettings settings = PickSettings(input);
    if (which == 0) {
        CheckCells(input, settings);
    } else if (which == 1) {
        CheckDates(input, settings);
    } else {
        CheckSizes(input, settings);
    }
    return 0;
}
