// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/listviews/SortListModel.h"

#include "platform/qt/QtCaptionCollator.h"
#include "shell/qt/TypeIcons.h"

#include <climits>
#include <unordered_map>

namespace pellamy {
namespace {

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

SortListModel::SortListModel(QObject* parent)
    : QAbstractTableModel(parent)
    , m_collator(std::make_shared<QtCaptionCollator>())
{}

int SortListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) {
        return 0;
    }
    return static_cast<int>(std::min<std::size_t>(RowCount(), INT_MAX));
}

int SortListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant SortListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return ToQString(CellText(row, index.column()));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(static_cast<int>(ColumnAlignment(index.column())));
    case Qt::DecorationRole:
        if (index.column() == 0 && m_images != nullptr) {
            return m_images->Icon(TypeIcons::Shared().IconIndex(Caption(row)));
        }
        return {};
    case kSizeShareRole:
        if (const auto share = SizeShare(row, index.column())) {
            return *share;
        }
        return {};
    default:
        return {};
    }
}

QVariant SortListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return ToQString(ColumnCaption(section));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(static_cast<int>(ColumnAlignment(section)));
    case Qt::DecorationRole: {
        const auto column = static_cast<std::size_t>(section);
        if (column < m_columnImages.size() && !m_columnImages[column].isNull()) {
            return m_columnImages[column];
        }
        return {};
    }
    default:
        return {};
    }
}

Qt::ItemFlags SortListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void SortListModel::SetCollator(std::shared_ptr<const TextCollator> collator)
{
    if (collator != nullptr) {
        m_collator = std::move(collator);
    }
}

void SortListModel::SetImages(const ImageList* images)
{
    m_images = images;
    if (RowCount() > 0) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
    }
}

void SortListModel::SetColumnImage(int column, const QIcon& image)
{
    if (column < 0 || column >= ColumnCount()) {
        return;
    }
    const auto at = static_cast<std::size_t>(column);
    if (m_columnImages.size() <= at) {
        m_columnImages.resize(at + 1);
    }
    m_columnImages[at] = image;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

std::vector<std::uint32_t> SortListModel::SortByComparison(int column, bool ascending,
                                                           const CellComparison& compare)
{
    std::vector<std::uint32_t> order(RowCount());
    std::iota(order.begin(), order.end(), std::uint32_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int c = compare(column, CellText(a, column), CellText(b, column));
        return ascending ? c < 0 : c > 0;
    });
    ApplyOrder(order);
    return order;
}

std::vector<std::uint32_t> SortListModel::SortByKeys(int column, bool ascending)
{
    std::vector<std::uint32_t> order = KeyedOrder(column, ascending);
    ApplyOrder(order);
    return order;
}

void SortListModel::ApplyOrder(const std::vector<std::uint32_t>& order)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    PermuteRows(order);
    const QModelIndexList from = persistentIndexList();
    if (!from.isEmpty()) {
        std::vector<std::uint32_t> position(order.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            position[order[i]] = static_cast<std::uint32_t>(i);
        }
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& old : from) {
            to.append(index(static_cast<int>(position[static_cast<std::size_t>(old.row())]), old.column()));
        }
        changePersistentIndexList(from, to);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace pellamy
