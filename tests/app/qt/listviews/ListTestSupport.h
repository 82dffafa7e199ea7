// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_APP_QT_LISTVIEWS_LISTTESTSUPPORT_H
#define PELLAMY_TESTS_APP_QT_LISTVIEWS_LISTTESTSUPPORT_H

#include "app/qt/listviews/SortListViews.h"
#include "lists/DisplayTexts.h"
#include "lists/FileRows.h"
#include "scan/TypeSummary.h"

#include <QHeaderView>
#include <QStringList>
#include <QTest>

#include <cstdint>
#include <string>
#include <vector>

namespace pellamy::test {

/// A file row with a creation and a last-write time given as UTC calendar times (the tests run
/// with TZ=UTC, so these are also the local times shown).
inline FileRow File(std::string name, std::int64_t size, std::int64_t createdUnix = 0,
                    std::int64_t modifiedUnix = 0, std::uint32_t attributes = Attr::kArchive)
{
    return FileRow{std::move(name), attributes, size, FileTimeFromUnix(createdUnix, 0),
                   FileTimeFromUnix(modifiedUnix, 0)};
}

inline TypeRow Type(std::string extension, std::string description, std::int64_t count, ByteCount size)
{
    return TypeRow{std::move(extension), std::move(description), count, size};
}

/// Seconds since 1970 of a UTC calendar time.
inline std::int64_t Unix(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    y -= mo <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy =
        (153 * static_cast<unsigned>(mo + (mo > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t days = era * 146097 + static_cast<std::int64_t>(doe) - 719468;
    return days * 86400 + h * 3600 + mi * 60 + s;
}

/// Shows `view` so that its header can be clicked.
inline bool ShowForClicks(TSortListView& view)
{
    view.resize(900, 300);
    view.show();
    return QTest::qWaitForWindowExposed(&view);
}

/// Clicks the header of `column` as the user does.
inline void ClickHeader(TSortListView& view, int column)
{
    QHeaderView* header = view.header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

/// The texts of one column, top to bottom, as the view shows them.
inline QStringList ColumnTexts(const QAbstractItemModel& model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        texts << model.index(row, column).data().toString();
    }
    return texts;
}

} // namespace pellamy::test

#endif
