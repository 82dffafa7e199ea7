// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_NAVIGATOR_SELECTDIRECTORYDIALOG_H
#define PELLAMY_APP_QT_NAVIGATOR_SELECTDIRECTORYDIALOG_H

#include "app/qt/navigator/FolderPaths.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <stdexcept>

class QComboBox;
class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;

namespace pellamy {

class FolderRowsModel;

/// Raised by `SelectDirectoryDialog::Execute` when the user accepts an empty folder name: the
/// folder cannot be created, and the command that opened the dialog goes no further.
class DirectoryCreateError : public std::runtime_error
{
public:
    DirectoryCreateError();
};

/// A modal yes/no question: the parent, the caption and the text. True for "&Yes".
using ConfirmQuestion = std::function<bool(QWidget* parent, const QString& caption, const QString& text)>;

/// The select-folder dialog (`Dirs`): "Select Directory", a 424 x 255 client area centred on the
/// screen, with the "Directory &Name:" edit, the "&Directories:" folder list, the "D&rives:"
/// drive box, the "&Files: (*.*)" list shown in grey, and "OK" (default) and "Cancel".
///
/// `Execute` opens the dialog on `InitialDir` (on the working directory when that is empty or
/// names no folder). "OK" with a name of no existing folder asks the "Confirm" question; "&Yes"
/// accepts the name exactly as typed and creates the folder with its missing parents, a failure
/// to create it going unreported. A relative name is taken within the folder open in the dialog,
/// which becomes the working directory on acceptance so that the name keeps that meaning.
/// Both properties keep their values between uses.
///
/// Folders are the file system's bytes. The edit field shows the open folder's path as painted
/// text; while the typed text still begins with that shown path, the open folder's own bytes
/// stand for it in `Directory`, so a folder whose name is not valid UTF-8 comes back exactly.
class SelectDirectoryDialog final : public QDialog
{
    Q_OBJECT

public:
    /// The client area's size.
    static constexpr int kClientWidth = 424;
    static constexpr int kClientHeight = 255;

    /// A dialog over the drives and folders of `folders`, which must outlive it.
    SelectDirectoryDialog(QWidget* parent, FolderSystem& folders);
    ~SelectDirectoryDialog() override;

    QByteArray InitialDir() const { return m_initialDir; }
    void SetInitialDir(const QByteArray& folder) { m_initialDir = folder; }

    /// The folder chosen by the last confirmed use; `InitialDir` after a cancelled one.
    QByteArray Directory() const { return m_directory; }

    /// Replaces the "Confirm" question, for callers that answer it without a window.
    void SetConfirmQuestion(ConfirmQuestion question);

    /// Shows the dialog modally. True when the user confirmed a folder, now in `Directory`.
    /// Throws `DirectoryCreateError` when an empty name was accepted.
    bool Execute();

    /// The folder open in the dialog's folder list.
    QByteArray OpenFolder() const { return m_openFolder; }

private:
    void Open(const QByteArray& folder);
    QByteArray TypedFolder() const;
    void OpenSelectedRow();
    void DrivePicked(int index);
    void FillDrives();
    void OkClicked();
    bool eventFilter(QObject* watched, QEvent* event) override;

    FolderSystem& m_folders;
    std::vector<Drive> m_allDrives;
    ConfirmQuestion m_confirm;
    QByteArray m_initialDir;
    QByteArray m_directory;
    QByteArray m_openFolder;
    QString m_shownFolder;
    bool m_createFailed = false;

    QLineEdit* m_nameEdit;
    QListView* m_folderView;
    FolderRowsModel* m_folderRows;
    QComboBox* m_driveBox;
    QListView* m_fileView;
    QStringListModel* m_files;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

} // namespace pellamy

#endif
