// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_LISTVIEWS_SORTLISTVIEWS_H
#define PELLAMY_APP_QT_LISTVIEWS_SORTLISTVIEWS_H

#include "scan/RegionalSettings.h"
#include "app/qt/listviews/SortListModel.h"

#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QTableView>

#include <cstdint>
#include <functional>
#include <vector>

namespace pellamy {

/// The list control of both lists: a report view (rows and columns under a header) over a model,
/// with whole-row selection that stays visible without focus and no editing. A click on a column
/// header sorts by that column: the same column again flips the direction, another column sorts
/// ascending; a fill or a clear of the rows changes neither. A sort keeps the same rows selected,
/// and the current row and the anchor of a shift-selection on their rows, at the cost of one bit
/// and one selection range per run of selected rows. Each comparison goes to
/// `OnCustomSort` when assigned, else to the case-insensitive text comparison. Over a
/// `SortListModel` whose standard handler is assigned, the sort converts each cell once per sort
/// (see `SortListModel::SortByKeys`); any other handler is asked once per comparison. A table view
/// without row header or grid: it keeps no per-row record of its own, so a list of a million rows
/// costs the view a few bytes a row.
class TSortListView : public QTableView
{
    Q_OBJECT

public:
    explicit TSortListView(QWidget* parent = nullptr);

    /// The owner's comparison of two cell texts; unassigned at creation.
    TSLVOnCustomSort OnCustomSort;

    /// Whether the sorted column's header shows the `SORT_UP` or `SORT_DOWN` arrow; off at creation.
    bool UseArrows() const { return m_useArrows; }
    void SetUseArrows(bool on);

    /// The column of the last header click, -1 while none has been clicked.
    int SortColumn() const { return m_sortColumn; }
    /// The direction of the last column sort; ascending at creation.
    bool SortAscending() const { return m_ascending; }

    void setModel(QAbstractItemModel* model) override;

    /// The column header.
    QHeaderView* header() const { return horizontalHeader(); }
    /// The whole text of a cell whose text the list shows cut, as its tooltip shows it; empty for a
    /// cell shown whole.
    QString CutCellText(const QModelIndex& index) const;

    /// The list's rows model, or null when the model is of another kind.
    SortListModel* ListModel() const;

    /// The settings that `sender`'s rows were made with; the defaults without such a list.
    static const RegionalSettings& SettingsOf(const TSortListView* sender);

    /// The 9 x 6 arrow bitmaps `SORT_UP` and `SORT_DOWN`: a grey triangle on fuchsia, the
    /// transparent colour.
    static QImage SortArrowBitmap(bool up);

    /// An arrow centred on a transparent image of `size`, as the header shows it.
    static QIcon SortArrowImage(bool up, QSize size = QSize(16, 16));

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ColumnClick(int column);
    /// Runs `sort` (which gives the order it applied: new position -> row before) with the
    /// selection kept on the same rows.
    void SortKeepingSelection(const std::function<std::vector<std::uint32_t>()>& sort);
    /// Selects, in one call, the rows whose `selected` bit (indexed by the row before the sort)
    /// is set, each at its new place under `order`; an empty order leaves every row in place.
    void SelectRows(const std::vector<bool>& selected, const std::vector<std::uint32_t>& order);
    void ShowArrow();

    bool m_useArrows = false;
    int m_sortColumn = -1;
    bool m_ascending = true;
    QIcon m_upArrow;
    QIcon m_downArrow;
};

} // namespace pellamy

#endif
