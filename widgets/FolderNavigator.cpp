// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/FolderNavigator.h"

#include "widgets/DirectoryList.h"
#include "widgets/DriveCombo.h"

#include <QVBoxLayout>

namespace pellamy {

FolderNavigator::FolderNavigator(QWidget* parent, DriveProvider drives)
    : QWidget(parent)
    , m_driveCombo(new DriveCombo(this, drives))
    , m_dList(new DirectoryList(this, drives))
{
    m_dList->setObjectName(QStringLiteral("dList"));
    m_driveCombo->setObjectName(QStringLiteral("JvDriveCombo1"));
    m_driveCombo->setFixedHeight(kDriveBoxHeight);
    m_dList->SetDriveCombo(m_driveCombo);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_dList, 1);
    layout->addWidget(m_driveCombo);
    // The drive box comes before the list in the tab order, as in the window's definition.
    setTabOrder(m_driveCombo, m_dList);
}

} // namespace pellamy
