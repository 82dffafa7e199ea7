// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/navigator/FolderRowsModel.h"

#include "app/qt/navigator/FolderPaths.h"

namespace pellamy {

FolderRowsModel::FolderRowsModel(QObject* parent)
    : QAbstractListModel(parent)
{}

void FolderRowsModel::SetIcons(const QIcon& ancestor, const QIcon& open, const QIcon& sub)
{
    m_ancestorIcon = ancestor;
    m_openIcon = open;
    m_subIcon = sub;
    if (!m_rows.empty()) {
        Q_EMIT dataChanged(index(0), index(rowCount() - 1), {Qt::DecorationRole});
    }
}

void FolderRowsModel::Fill(const QByteArray& root, const QByteArray& folder, const QByteArrayList& subFolders)
{
    beginResetModel();
    m_rows.clear();
    const QByteArrayList chain = FolderChain(root, folder);
    m_rows.reserve(static_cast<std::size_t>(chain.size() + subFolders.size()));
    for (qsizetype i = 0; i < chain.size(); ++i) {
        const QByteArray& path = chain[i];
        const QString name = ShownName(i == 0 ? path : path.mid(path.lastIndexOf('/') + 1));
        m_rows.push_back(Row{path, name, static_cast<int>(i),
                             i + 1 == chain.size() ? FolderRowKind::Open : FolderRowKind::Ancestor});
    }
    m_openRow = static_cast<int>(chain.size()) - 1;
    const int subDepth = static_cast<int>(chain.size());
    for (const QByteArray& name : subFolders) {
        m_rows.push_back(Row{JoinFolder(folder, name), ShownName(name), subDepth, FolderRowKind::Sub});
    }
    endResetModel();
}

QByteArray FolderRowsModel::PathAt(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[static_cast<std::size_t>(row)].Path : QByteArray();
}

int FolderRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant FolderRowsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return row.Name;
    case Qt::ToolTipRole:
        return ShownName(row.Path);
    case PathRole:
        return row.Path;
    case Qt::DecorationRole:
        switch (row.Kind) {
        case FolderRowKind::Ancestor:
            return m_ancestorIcon;
        case FolderRowKind::Open:
            return m_openIcon;
        case FolderRowKind::Sub:
            return m_subIcon;
        }
        return {};
    case DepthRole:
        return row.Depth;
    case KindRole:
        return static_cast<int>(row.Kind);
    default:
        return {};
    }
}

} // namespace pellamy
