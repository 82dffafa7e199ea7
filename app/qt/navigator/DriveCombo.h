// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_NAVIGATOR_DRIVECOMBO_H
#define PELLAMY_APP_QT_NAVIGATOR_DRIVECOMBO_H

#include "app/qt/navigator/FolderPaths.h"

#include <QComboBox>
#include <QTimer>

#include <memory>

class QFile;
class QSocketNotifier;

namespace pellamy {

/// The drive box of the folder navigator (`JvDriveCombo1`): a drop-down list of the mounted file
/// systems that play drives, the removable, fixed, remote and CD-ROM ones, by root, each shown
/// with its kind's icon and its name (label and root, or the root alone).
///
/// It follows the linked directory list without a notification. When the user picks another
/// drive it moves the list to that drive's root and then emits `Change`; when the root cannot be
/// entered the list stays and the box returns to the list's drive, and `Change` still follows.
/// Mounts and unmounts rebuild the items (a watch on the mount table, debounced) without a
/// notification.
class DriveCombo final : public QComboBox
{
    Q_OBJECT

public:
    /// What the box asks of the folder list it follows.
    class FolderView
    {
    public:
        /// The folder the list shows.
        virtual QByteArray Directory() const = 0;
        /// Moves the list to the root of the drive at `root`; false, with nothing changed, when the
        /// root cannot be entered.
        virtual bool OpenDriveRoot(const QByteArray& root) = 0;

        virtual ~FolderView() = default;
    };

    /// Gap in pixels left and right of each item's icon.
    static constexpr int kOffset = 4;

    /// A box of the drives of `folders`, which must outlive it.
    DriveCombo(QWidget* parent, FolderSystem& folders);
    ~DriveCombo() override;

    /// Whether drives of `kind` get an item.
    static bool IsListedKind(DriveKind kind);

    /// The name an item shows for `drive`, trimmed.
    static QString DisplayName(const Drive& drive);

    /// Every drive of the last build, the unlisted kinds included.
    const std::vector<Drive>& AllDrives() const { return m_allDrives; }

    /// The root of the selected drive; empty when nothing is selected.
    QByteArray CurrentDrive() const;

    /// Whether an item has the root `root`.
    bool ListsDrive(const QByteArray& root) const;

    /// Selects the item of `root` without a notification; false, with the selection kept, when
    /// no item has that root.
    bool SelectDrive(const QByteArray& root);

    /// Builds the items anew from the drives mounted now and selects the drive of the linked list's
    /// folder (or the drive selected before) again, without a notification.
    void RefreshDrives();

    /// Follows `view` (nullptr stops following): a rebuild keeps the drive of its folder selected,
    /// and a picked drive moves it to that drive's root. The view must stay valid until it is
    /// replaced.
    void SetFolderView(FolderView* view);

Q_SIGNALS:
    /// The user picked a drive, and the list has reached its root or stayed where it was.
    void Change();

private:
    void UserPicked(int index);
    void WatchMountTable();

    FolderSystem& m_folders;
    std::vector<Drive> m_allDrives;
    FolderView* m_view = nullptr;
    QByteArray m_selectedRoot;
    std::unique_ptr<QFile> m_mountTable;
    QSocketNotifier* m_mountWatch = nullptr;
    QTimer m_rebuildDelay;
};

} // namespace pellamy

#endif
