// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and the events that choose the folder: the command line, drops, the navigator, the
// check boxes, "Select a folder" and F5.

#include "app/Skin.h"
#include "app/StartupArguments.h"
#include "app/menu1.h"
#include "widgets/DirectoryList.h"
#include "widgets/FileListModel.h"
#include "widgets/SelectDirectoryDialog.h"
#include "widgets/TypeListModel.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

namespace pellamy {
namespace {

// The first local path of a drop, whole; empty when the drop carries none.
QString FirstDroppedPath(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls()) {
        return {};
    }
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) {
        return {};
    }
    return urls.front().toLocalFile();
}

} // namespace

void TForm1::FormCreate(const std::vector<std::string>& args)
{
    AttachSystemImageList(ImageList1, true);
    m_currentFolder = FirstFolder(args, m_directory);
    BuildTypeSummary();
    NudgeWindowWidth();
    m_hintsAttached = true;
    Skin::SetActive(SkinRequested(args));
    Useskin1->setChecked(Skin::IsActive());
}

void TForm1::HandleFileDrop(const QStringList& paths)
{
    if (paths.isEmpty()) {
        return;
    }
    m_currentFolder = FolderOfPath(QFile::encodeName(paths.front()).toStdString(), m_directory);
    m_typeRows->Clear();
    m_fileRows->Clear();
    BuildTypeSummary();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!FirstDroppedPath(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TForm1::dragMoveEvent(QDragMoveEvent* event)
{
    if (!FirstDroppedPath(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QString path = FirstDroppedPath(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    HandleFileDrop({path});
}

void TForm1::dListClick()
{
    m_currentFolder = WithTrailingSlash(QFile::encodeName(dList->Directory()).toStdString());
    BuildTypeSummary();
    NudgeWindowWidth();
}

void TForm1::roFileClick()
{
    dListClick();
}

void TForm1::ISFClick()
{
    dListClick();
}

void TForm1::JvDriveCombo1Change()
{
    dListClick();
}

void TForm1::SElectafolder1Click()
{
    const QString navigatorFolder = dList->Directory();
    if (!navigatorFolder.isEmpty() && QDir(navigatorFolder).exists()) {
        Dirs->SetInitialDir(navigatorFolder);
    }
    if (!Dirs->Execute()) {
        return;
    }
    m_currentFolder = WithTrailingSlash(QFile::encodeName(Dirs->Directory()).toStdString());
    BuildTypeSummary();
}

void TForm1::FormKeyDown(int key)
{
    if (key == Qt::Key_F5) {
        sLViewClick();
    }
}

} // namespace pellamy
