// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_NAVIGATOR_FOLDERNAVIGATOR_H
#define PELLAMY_APP_QT_NAVIGATOR_FOLDERNAVIGATOR_H

#include "app/qt/navigator/DirectoryList.h"
#include "app/qt/navigator/DriveCombo.h"

#include <QWidget>

#include <memory>

namespace pellamy {

/// The folder navigator panel: the directory list filling it and the linked drive box, 22 pixels
/// high, along its bottom edge. Both read the drives and folders through one folder system. The
/// panel links the two: the box shows the drive of the list's folder, and a drive picked in the
/// box opens its root in the list.
class FolderNavigator final : public QWidget, private DirectoryList::DriveBox, private DriveCombo::FolderView
{
    Q_OBJECT

public:
    /// The drive box's height in pixels.
    static constexpr int kDriveBoxHeight = 22;

    /// A panel over the drives and folders of `folders`, which must outlive it.
    FolderNavigator(QWidget* parent, FolderSystem& folders);
    ~FolderNavigator() override;

    /// The directory list (`dList`).
    DirectoryList* dList() const { return m_dList; }

    /// The drive box (`JvDriveCombo1`).
    DriveCombo* JvDriveCombo1() const { return m_driveCombo; }

private:
    std::vector<Drive> AllDrives() const override;
    bool ListsDrive(const QByteArray& root) const override;
    void SelectDrive(const QByteArray& root) override;
    QByteArray Directory() const override;
    bool OpenDriveRoot(const QByteArray& root) override;

    DriveCombo* m_driveCombo;
    DirectoryList* m_dList;
};

} // namespace pellamy

#endif
