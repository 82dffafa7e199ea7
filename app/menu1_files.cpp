// SPDX-License-Identifier: GPL-3.0-or-later
// The file commands of both popup menus: the selected files to the clipboard for pasting in a file
// manager, opening a file or the folder with the desktop's application, the file's properties, and
// the copy, move and delete commands.

#include "app/menu1.h"
#include "platform/posix/FileDetails.h"
#include "platform/posix/PosixFileOperations.h"
#include "scan/DisplayTexts.h"
#include "scan/TypeSummary.h"
#include "shell/ClipboardFiles.h"
#include "shell/FileCommands.h"
#include "shell/SelectedFiles.h"
#include "shell/qt/ClipboardData.h"
#include "shell/qt/FileOpener.h"
#include "widgets/ListViewRows.h"
#include "widgets/SelectDirectoryDialog.h"
#include "widgets/SortListViews.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace pellamy {
namespace {

// The window's Yes/No questions, through the test seam when one is set.
class WindowQuestions final : public Questions
{
public:
    WindowQuestions(QWidget* parent, const std::function<bool(const std::string&, const std::string&)>& asker)
        : m_parent(parent)
        , m_asker(asker)
    {}

    bool AskYesNo(const std::string& question, const std::string& caption) override
    {
        if (m_asker) {
            return m_asker(question, caption);
        }
        return QMessageBox::question(m_parent, QString::fromStdString(caption),
                                     QString::fromStdString(question),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }

private:
    QWidget* m_parent;
    const std::function<bool(const std::string&, const std::string&)>& m_asker;
};

// A time of the details window in the same form as the lists show it.
QString TimeText(std::optional<std::int64_t> seconds, const RegionalSettings& settings)
{
    if (!seconds) {
        return QStringLiteral("unknown");
    }
    return QString::fromStdString(FileTimeText(FileTimeFromUnix(*seconds, 0), settings));
}

} // namespace

void TForm1::ConnectFileCommands()
{
    connect(Copyfiles1, &QAction::triggered, this, &TForm1::Copyfiles1Click);
    connect(Copyto1, &QAction::triggered, this, &TForm1::Copyto1Click);
    connect(Movefileto1, &QAction::triggered, this, &TForm1::Movefileto1Click);
    connect(Deletefiles1, &QAction::triggered, this, &TForm1::Deletefiles1Click);
    connect(OpenfolderinExplorer1, &QAction::triggered, this, &TForm1::OpenfolderinExplorer1Click);
    connect(OpenfolderinExplorer2, &QAction::triggered, this, &TForm1::OpenfolderinExplorer2Click);
    connect(Properties1, &QAction::triggered, this, &TForm1::Properties1Click);
    connect(LView2, &TSortListView::doubleClicked, this, [this](const QModelIndex&) { LView2DblClick(); });
}

bool TForm1::PutFilesOnClipboard()
{
    return PlaceOnClipboard(
        FileClipboardTargets(SelectedFilePaths(ListViewRows(*LView2), m_currentFolder), m_currentFolder));
}

void TForm1::Copyfiles1Click()
{
    PutFilesOnClipboard();
}

bool TForm1::OpenWithShell(const std::string& path)
{
    if (Opener) {
        return Opener(path);
    }
    return pellamy::OpenWithShell(path);
}

void TForm1::LView2DblClick()
{
    if (const auto path = FirstSelectedFilePath(ListViewRows(*LView2), m_currentFolder)) {
        OpenWithShell(*path);
    }
}

void TForm1::OpenfolderinExplorer1Click()
{
    if (!m_currentFolder.empty()) {
        OpenWithShell(m_currentFolder);
    }
}

void TForm1::OpenfolderinExplorer2Click()
{
    OpenfolderinExplorer1Click();
}

void TForm1::Properties1Click()
{
    const ListViewRows rows(*LView2);
    if (SelectedRowCount(rows) != 1) {
        ShowMessage(QStringLiteral("Select one file only!"));
        return;
    }
    if (const auto path = FirstSelectedFilePath(rows, m_currentFolder)) {
        ShowFileProperties(*path);
    }
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
    const auto details = ReadFileDetails(path, error);
    if (!details) {
        ShowMessage(QString::fromStdString(path + ": " + error.message()));
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
                 QString::fromStdString(SizeText(details->size, false, m_settings)),
                 TimeText(details->created, m_settings), TimeText(details->modified, m_settings),
                 TimeText(details->accessed, m_settings), TimeText(details->changed, m_settings),
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

FileCommands TForm1::MakeFileCommands(FileOperations& operations, Questions& questions)
{
    FolderChooser chooseFolder = [this]() -> std::optional<std::string> {
        if (FolderChooserRunner) {
            return FolderChooserRunner();
        }
        Dirs->SetInitialDir(QByteArray::fromStdString(m_currentFolder));
        if (!Dirs->Execute()) {
            return std::nullopt;
        }
        return Dirs->Directory().toStdString();
    };
    FailureReport reportFailure = [this](const std::string& message) {
        ShowMessage(QString::fromStdString(message));
    };
    return FileCommands(operations, questions, std::move(chooseFolder), std::move(reportFailure));
}

void TForm1::RefreshAfter(ListsAfter after)
{
    if (after == ListsAfter::Rebuild) {
        BuildTypeSummary();
        BuildFileList(m_currentPattern);
    }
}

void TForm1::Copyto1Click()
{
    PosixFileOperations operations;
    WindowQuestions questions(this, QuestionAsker);
    MakeFileCommands(operations, questions).CopyTo(ListViewRows(*LView2), m_currentFolder);
}

void TForm1::Movefileto1Click()
{
    PosixFileOperations operations;
    WindowQuestions questions(this, QuestionAsker);
    RefreshAfter(MakeFileCommands(operations, questions).MoveTo(ListViewRows(*LView2), m_currentFolder));
}

void TForm1::Deletefiles1Click()
{
    PosixFileOperations operations;
    WindowQuestions questions(this, QuestionAsker);
    RefreshAfter(MakeFileCommands(operations, questions).Delete(ListViewRows(*LView2), m_currentFolder));
}

} // namespace pellamy
