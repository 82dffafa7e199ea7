// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_LISTVIEWS_SORTLISTMODEL_H
#define PELLAMY_APP_QT_LISTVIEWS_SORTLISTMODEL_H

#include "lists/ColumnOrder.h"
#include "lists/TextCollator.h"
#include "scan/FileEntry.h"
#include "scan/RegionalSettings.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pellamy {

class ImageList;
class TSortListView;

/// The owner's comparison of two cell texts during a column sort (`OnCustomSort`): `Sender` is the
/// list that sorts, `ColIndex` the sort column, `Str1` and `Str2` the cells of the two rows. On
/// entry `Res` is 0 and `Handled` false; a handler that decides sets `Res` (negative: the first row
/// comes first in ascending order) and `Handled`. It answers for ascending order.
using TSLVOnCustomSort = std::function<void(TSortListView* Sender, int ColIndex, std::string_view Str1,
                                            std::string_view Str2, int& Res, bool& Handled)>;

/// A plain function with the signature of `TSLVOnCustomSort`, such as `sLViewCustomSort`.
using TSLVOnCustomSortProc = void (*)(TSortListView* Sender, int ColIndex, std::string_view Str1,
                                      std::string_view Str2, int& Res, bool& Handled);

/// What both list models share: a table whose cells are texts made on demand from compact rows
/// with the regional settings captured at the last fill, the column captions and header images,
/// the caption order that ends every fill, and the two ways of sorting a column. A sort computes
/// the new order first and then applies it as one layout change that keeps persistent indexes on
/// their rows, so a comparison that throws leaves the rows as they were.
class SortListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    /// The role under which a cell gives the share (0 to 1) its row has of the list's total size,
    /// drawn as a bar behind the cell; cells without one give nothing.
    static constexpr int kSizeShareRole = Qt::UserRole + 1;

    /// A header click's comparison of two cells of `column` for ascending order: negative, zero or
    /// positive.
    using CellComparison = std::function<int(int column, std::string_view a, std::string_view b)>;

    explicit SortListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// Number of rows, in display order.
    virtual std::size_t RowCount() const = 0;
    /// Number of columns.
    virtual int ColumnCount() const = 0;
    /// The text of a cell as shown; empty outside the table.
    virtual std::string CellText(std::size_t row, int column) const = 0;
    /// The caption (column 0) of a row, valid until the rows change.
    virtual std::string_view Caption(std::size_t row) const = 0;
    /// The share of the total size the cell's bar shows; nothing for a cell without a bar.
    virtual std::optional<double> SizeShare(std::size_t row, int column) const
    {
        (void)row;
        (void)column;
        return std::nullopt;
    }
    /// What the row showed of its file, for a list of files; nothing for other lists.
    virtual std::optional<ListedFile> Listed(std::size_t row) const
    {
        (void)row;
        return std::nullopt;
    }

    /// The list's standard `OnCustomSort` handler: when a view's `OnCustomSort` holds exactly this
    /// function, it sorts with `SortByKeys` instead, which orders the columns that the handler reads
    /// back from their texts (sizes, times, counts) by the values behind those texts.
    virtual TSLVOnCustomSortProc StandardCustomSort() const = 0;

    /// The regional settings the cell texts are made with, captured at the last fill.
    virtual const RegionalSettings& Settings() const = 0;

    /// Brackets a change of every row made to the model's table by its owner: the views forget
    /// their rows, selection and current row before, and read the table again after.
    void BeginTableReset() { beginResetModel(); }
    void EndTableReset() { endResetModel(); }
    /// The order of the caption sort after each fill; the user's collation by default.
    void SetCollator(std::shared_ptr<const TextCollator> collator);

    /// The image list whose icons column 0 shows (the type icon of each row's caption); none
    /// without one.
    void SetImages(const ImageList* images);

    /// The image shown in the header of `column`; a null icon removes it.
    void SetColumnImage(int column, const QIcon& image);

    /// Sorts all rows by `column`, comparing the two cells' texts with `compare` once per
    /// comparison. Rows that compare equal keep their relative order. Gives the order applied
    /// (new position -> row before the sort). When `compare` throws, the rows stay as they were.
    std::vector<std::uint32_t> SortByComparison(int column, bool ascending, const CellComparison& compare);

    /// Sorts all rows by `column` as the standard handler means it: sizes, times and counts by the
    /// values their texts show (so no text form can misorder them), every other column by its text,
    /// each row's key computed once per sort. Rows with equal keys keep their relative order.
    /// Nothing computed is kept afterwards. Gives the order applied (new position -> row before
    /// the sort).
    std::vector<std::uint32_t> SortByKeys(int column, bool ascending);

protected:
    /// The caption of a column and its alignment.
    virtual std::string_view ColumnCaption(int column) const = 0;
    virtual Qt::Alignment ColumnAlignment(int column) const = 0;

    /// The new order (position -> old row) of a keyed sort.
    virtual std::vector<std::uint32_t> KeyedOrder(int column, bool ascending) const = 0;

    /// Puts the rows in `order` (position -> old row), without notifications.
    virtual void PermuteRows(const std::vector<std::uint32_t>& order) = 0;


    /// The collator the rows are put in caption order with at each fill.
    const TextCollator& Collator() const { return *m_collator; }

private:
    void ApplyOrder(const std::vector<std::uint32_t>& order);

    std::shared_ptr<const TextCollator> m_collator;
    const ImageList* m_images = nullptr;
    std::vector<QIcon> m_columnImages;
};

} // namespace pellamy

#endif
