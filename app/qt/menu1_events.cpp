// SPDX-License-Identifier: GPL-3.0-or-later
// What only the Qt window does for its core: files dropped on the window, and a file's properties
// from the file manager over D-Bus or, where none answers, in the window's own details box.

#include "app/qt/listviews/SortListViews.h"
#include "app/qt/menu1.h"
#include "lists/DisplayTexts.h"
#include "scan/TypeSummary.h"
#include "shell/ClipboardFiles.h"
#include "shell/FileCommands.h"
#include "shell/FileDetails.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>
#include <QVBoxLayout>

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

// A time of the details window in the same form as the lists show it.
QString TimeText(std::optional<std::int64_t> seconds, const RegionalSettings& settings)
{
    if (!seconds) {
        return QStringLiteral("unknown");
    }
    return QString::fromStdString(FileTimeText(FileTimeFromUnix(*seconds, 0), settings));
}

} // namespace

bool TForm1::HoldInput(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_waiting->Stop();
            return true;
        }
        [[fallthrough]];
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        // Held whole, to be delivered to the same receiver once the scan is over.
        m_heldInput.emplace_back(watched, std::unique_ptr<QEvent>(event->clone()));
        return true;
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        // Held keys come again as key presses; a drop during a scan is refused.
        return true;
    default:
        return false;
    }
}

bool TForm1::PopupFocusedListMenu()
{
    TSortListView* list = LView2->hasFocus() ? LView2 : sLView->hasFocus() ? sLView : nullptr;
    if (list == nullptr) {
        return false;
    }
    QMenu* menu = list == LView2 ? PopupMenu1 : PopupMenu2;
    const QModelIndex current = list->currentIndex();
    const QRect row = current.isValid() ? list->visualRect(current) : QRect();
    const QPoint at = row.isValid() && list->viewport()->rect().intersects(row)
                          ? row.bottomLeft()
                          : list->viewport()->rect().topLeft();
    menu->popup(list->viewport()->mapToGlobal(at));
    return true;
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // Closing ends a scan at once; the handler that waits for it returns as soon as it stops.
    if (m_waiting != nullptr) {
        m_waiting->Stop();
    }
    QWidget::closeEvent(event);
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
    m_core.HandleFileDrop({std::move(path)});
}

void TForm1::ShowFileProperties(const std::string& path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        ShowFileDetails(path);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItemProperties"));
    const std::string uri = FileUri(path);
    call << QStringList{QString::fromLatin1(uri.data(), static_cast<qsizetype>(uri.size()))} << QString();
    // The answer comes later; the window goes on meanwhile and shows its own details on an error
    // (no file manager owns or can start the name).
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, path](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        if (done->isError()) {
            ShowFileDetails(path);
        }
    });
}

void TForm1::ShowFileDetails(const std::string& path)
{
    std::error_code error;
    const auto details = m_platform->ReadFileDetails(path, error);
    if (!details) {
        ShowMessage(path + ": " + error.message());
        return;
    }
    // Shown with replacement characters where the name is not UTF-8; the type is described as the
    // type list describes the name's extension.
    const QString name = QString::fromStdString(path);
    const QString text =
        QStringLiteral("%1\nType: %2\nSize: %3 bytes (%4)\nCreated: %5\nModified: %6\nAccessed: %7\n"
                       "Changed: %8\nAttributes: %9\nOwner: %10\nMode: %11")
            .arg(name,
                 QString::fromStdString(GetTypeDescription(std::string(ExtensionOf(FileNamePart(path))))),
                 QString::number(details->size),
                 QString::fromStdString(SizeText(details->size, false, m_core.Settings())),
                 TimeText(details->created, m_core.Settings()), TimeText(details->modified, m_core.Settings()),
                 TimeText(details->accessed, m_core.Settings()), TimeText(details->changed, m_core.Settings()),
                 details->attributes.empty() ? QStringLiteral("-")
                                             : QString::fromStdString(details->attributes),
                 QString::fromStdString(details->owner), QString::fromStdString(ModeLetters(details->mode)));

    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("FileDetails"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QString::fromStdString(std::string(FileNamePart(path))));
    auto* layout = new QVBoxLayout(dialog);
    // Read-only but selectable, so the full path can be copied; Escape closes the dialog.
    auto* shown = new QPlainTextEdit(text, dialog);
    shown->setObjectName(QStringLiteral("Details"));
    shown->setReadOnly(true);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(shown);
    dialog->resize(460, 260);
    dialog->show();
}

} // namespace pellamy
