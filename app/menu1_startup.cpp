// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and the events that choose the folder: the command line, drops, the navigator, the
// check boxes, "Select a folder" and F5.

#include "app/Skin.h"
#include "app/StartupArguments.h"
#include "app/menu1.h"
#include "platform/posix/FolderAccess.h"
#include "widgets/DirectoryList.h"
#include "widgets/FileListModel.h"
#include "widgets/SelectDirectoryDialog.h"
#include "widgets/TypeListModel.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace pellamy {
namespace {

// The first local path of a drop, whole and byte for byte; empty when the drop carries none.
// The path is taken from the URL's percent-encoded form, since decoding it to text would turn
// bytes that are not valid UTF-8 into replacement characters.
std::string FirstDroppedPath(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls()) {
        return {};
    }
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) {
        return {};
    }
    return QByteArray::fromPercentEncoding(urls.front().path(QUrl::FullyEncoded).toLatin1()).toStdString();
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

void TForm1::HandleFileDrop(const std::vector<std::string>& paths)
{
    if (paths.empty()) {
        return;
    }
    m_currentFolder = FolderOfPath(paths.front(), m_directory);
    m_typeRows->Clear();
    m_fileRows->Clear();
    BuildTypeSummary();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!FirstDroppedPath(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void TForm1::dragMoveEvent(QDragMoveEvent* event)
{
    if (!FirstDroppedPath(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event)
{
    std::string path = FirstDroppedPath(event->mimeData());
    if (path.empty()) {
        return;
    }
    event->acceptProposedAction();
    HandleFileDrop({std::move(path)});
}

void TForm1::dListClick()
{
    m_currentFolder = WithTrailingSlash(ToStdString(dList->Directory()));
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
    const QByteArray navigatorFolder = dList->Directory();
    if (IsFolder(ToStdString(navigatorFolder))) {
        Dirs->SetInitialDir(navigatorFolder);
    }
    if (!Dirs->Execute()) {
        return;
    }
    m_currentFolder = WithTrailingSlash(ToStdString(Dirs->Directory()));
    BuildTypeSummary();
}

void TForm1::FormKeyDown(int key)
{
    if (key == Qt::Key_F5) {
        sLViewClick();
    }
}

} // namespace pellamy
