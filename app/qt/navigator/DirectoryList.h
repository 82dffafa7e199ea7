// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_NAVIGATOR_DIRECTORYLIST_H
#define PELLAMY_APP_QT_NAVIGATOR_DIRECTORYLIST_H

#include "app/qt/navigator/FolderPaths.h"
#include "window/FolderNavigation.h"

#include <QListView>

#include <chrono>
#include <cstdint>

namespace pellamy {

class FolderRowsModel;

/// The directory list of the folder navigator (`dList`): the open folder as a small tree, made of
/// the chain of folders from its drive root (a mount point) down to it and its visible
/// sub-folders sorted by name without regard to case.
///
/// `Directory` is the open folder as the file system's bytes, absolute, without a trailing "/"
/// except for "/" itself.
/// Entering a folder also makes it the process's working directory. When the user selects
/// another row, with the mouse or the keyboard, the list opens that row's folder and then emits
/// `Click`; Enter opens the selected row's folder without `Click`. Setting `Directory` from the
/// program emits nothing, and neither does the linked drive box while it follows the list.
class DirectoryList final : public QListView
{
    Q_OBJECT
    Q_PROPERTY(QByteArray Directory READ Directory WRITE SetDirectory)

public:
    /// What the list asks of the drive box that follows it.
    class DriveBox
    {
    public:
        /// Every drive the box knows of, the ones it shows no item for included.
        virtual std::vector<Drive> AllDrives() const = 0;
        /// Whether the box has an item for the drive at `root`.
        virtual bool ListsDrive(const QByteArray& root) const = 0;
        /// Shows the drive at `root` as selected, without a notification.
        virtual void SelectDrive(const QByteArray& root) = 0;

        virtual ~DriveBox() = default;
    };

    /// A list that opens the process's working directory; folders are read and entered through
    /// `folders`, which must outlive the list, and drives come from it until a drive box is
    /// linked, and from the drive box after that.
    DirectoryList(QWidget* parent, FolderSystem& folders);
    ~DirectoryList() override;

    /// The open folder.
    QByteArray Directory() const { return m_directory; }

    /// Opens `path` by these rules: an empty path, one that names the open folder, and one that
    /// is not absolute change nothing. A path on another drive that the linked drive box lists
    /// first moves the list to that drive's root and the drive box to that drive. Then the list
    /// enters `path` when it is a folder that can be entered, and otherwise stays in (or, when it
    /// has gone, returns to the nearest existing ancestor of) the folder it shows. The rows are
    /// read anew and the drive box follows without a change notification.
    void SetDirectory(const QByteArray& path);

    /// Links `box` (nullptr unlinks): it selects the drive of the open folder at once and follows
    /// the list from then on. The box must stay valid until it is unlinked.
    void SetDriveBox(DriveBox* box);

    /// Enters the root of the drive at `root` and reads the rows anew, for the drive box when the
    /// user picks a drive. False, with nothing changed, when the root cannot be entered.
    bool OpenDriveRoot(const QByteArray& root);

    /// The rows as shown.
    FolderRowsModel* Rows() const { return m_rows; }

    /// How long an opening waits for the sub-folders before it shows the chain and the open folder
    /// alone; the sub-folders then follow once read, so a slow folder never holds the window.
    static constexpr std::chrono::milliseconds kSubFoldersWait{250};

Q_SIGNALS:
    /// The user selected another row and its folder has been opened.
    void Click();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::vector<Drive> Drives() const;
    bool Enter(const QByteArray& folder);
    void Fill();
    void FillRows(const QByteArrayList& subFolders, bool scrollToOpenRow);
    void ShowLateSubFolders(std::uint64_t opening, const QByteArrayList& subFolders);
    void ShowOpenRow();
    void OpenPendingRow();

    FolderRowsModel* m_rows;
    FolderSystem& m_folders;
    DriveBox* m_box = nullptr;
    QByteArray m_directory;
    QByteArray m_pendingPath;
    bool m_filling = false;
    bool m_showOpenRowPending = false;
    int m_inputDepth = 0;
    // Each opening's number, and the threads that read sub-folders (each stopped once its
    // folder is left, all waited for when the list goes).
    std::uint64_t m_opening = 0;
    SubFolderReaders m_readers;
};

} // namespace pellamy

#endif
