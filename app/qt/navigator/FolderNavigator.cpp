// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/navigator/FolderNavigator.h"


#include <QVBoxLayout>

namespace pellamy {

FolderNavigator::FolderNavigator(QWidget* parent, FolderSystem& folders)
    : QWidget(parent)
    , m_driveCombo(new DriveCombo(this, folders))
    , m_dList(new DirectoryList(this, folders))
{
    m_dList->setObjectName(QStringLiteral("dList"));
    m_driveCombo->setObjectName(QStringLiteral("JvDriveCombo1"));
    m_driveCombo->setFixedHeight(kDriveBoxHeight);
    m_driveCombo->SetFolderView(this);
    m_dList->SetDriveBox(this);
    // Either side going first leaves the other on its own, as it was before the link.
    connect(m_driveCombo, &QObject::destroyed, m_dList, [this] {
        m_dList->SetDriveBox(nullptr);
        m_driveCombo = nullptr;
    });
    connect(m_dList, &QObject::destroyed, m_driveCombo, [this] {
        m_driveCombo->SetFolderView(nullptr);
        m_dList = nullptr;
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_dList, 1);
    layout->addWidget(m_driveCombo);
    // The drive box comes before the list in the tab order, as in the window's definition.
    setTabOrder(m_driveCombo, m_dList);
}

FolderNavigator::~FolderNavigator()
{
    // The two call back into the panel, so they go while it is whole rather than with the
    // widget's other children.
    delete m_dList;
    delete m_driveCombo;
}

std::vector<Drive> FolderNavigator::AllDrives() const
{
    return m_driveCombo->AllDrives();
}

bool FolderNavigator::ListsDrive(const QByteArray& root) const
{
    return m_driveCombo->ListsDrive(root);
}

void FolderNavigator::SelectDrive(const QByteArray& root)
{
    m_driveCombo->SelectDrive(root);
}

QByteArray FolderNavigator::Directory() const
{
    return m_dList->Directory();
}

bool FolderNavigator::OpenDriveRoot(const QByteArray& root)
{
    return m_dList->OpenDriveRoot(root);
}

} // namespace pellamy
