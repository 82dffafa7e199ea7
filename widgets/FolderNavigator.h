// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_WIDGETS_FOLDERNAVIGATOR_H
#define PELLAMY_WIDGETS_FOLDERNAVIGATOR_H

#include "widgets/FolderPaths.h"

#include <QWidget>

namespace pellamy {

class DirectoryList;
class DriveCombo;

/// The folder navigator panel: the directory list filling it and the linked drive box, 22 pixels
/// high, along its bottom edge. Both read the drives from one provider.
class FolderNavigator final : public QWidget
{
    Q_OBJECT

public:
    /// The drive box's height in pixels.
    static constexpr int kDriveBoxHeight = 22;

    explicit FolderNavigator(QWidget* parent = nullptr, DriveProvider drives = SystemDrives());

    /// The directory list (`dList`).
    DirectoryList* dList() const { return m_dList; }

    /// The drive box (`JvDriveCombo1`).
    DriveCombo* JvDriveCombo1() const { return m_driveCombo; }

private:
    DriveCombo* m_driveCombo;
    DirectoryList* m_dList;
};

} // namespace pellamy

#endif
