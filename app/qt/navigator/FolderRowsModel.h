// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_NAVIGATOR_FOLDERROWSMODEL_H
#define PELLAMY_APP_QT_NAVIGATOR_FOLDERROWSMODEL_H

#include <QAbstractListModel>
#include <QByteArrayList>
#include <QIcon>

#include <vector>

namespace pellamy {

/// The part a row plays in a folder list.
enum class FolderRowKind {
    Ancestor, ///< a folder between the drive root and the open folder, the root included
    Open,     ///< the open folder
    Sub,      ///< a sub-folder of the open folder
};

/// The rows of a folder list: the chain from the drive root down to the open folder, then the
/// open folder's sub-folders. Each row holds the folder's full path as the file system's bytes
/// (`PathRole`, a QByteArray), its name as shown (the root shows its whole path; bytes that are
/// not valid UTF-8 show as the replacement character, and the tooltip shows the path the same
/// way), its depth below the root (`DepthRole`) and its `FolderRowKind` (`KindRole`); its picture
/// is the icon set for its kind.
class FolderRowsModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        PathRole = Qt::UserRole + 1,
        DepthRole,
        KindRole,
    };

    explicit FolderRowsModel(QObject* parent = nullptr);

    /// The pictures of the three kinds of row.
    void SetIcons(const QIcon& ancestor, const QIcon& open, const QIcon& sub);

    /// Fills the rows anew for `folder` on the drive whose root is `root`, with the already
    /// ordered `subFolders` names. Both paths are clean.
    void Fill(const QByteArray& root, const QByteArray& folder, const QByteArrayList& subFolders);

    /// The row of the open folder, or -1 before the first fill.
    int OpenRow() const { return m_openRow; }

    /// The full path of `row`; empty for a row that does not exist.
    QByteArray PathAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Row
    {
        QByteArray Path;
        QString Name;
        int Depth = 0;
        FolderRowKind Kind = FolderRowKind::Sub;
    };

    std::vector<Row> m_rows;
    int m_openRow = -1;
    QIcon m_ancestorIcon;
    QIcon m_openIcon;
    QIcon m_subIcon;
};

} // namespace pellamy

#endif
