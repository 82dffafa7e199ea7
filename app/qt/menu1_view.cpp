// SPDX-License-Identifier: GPL-3.0-or-later
// The window as its core sees it: check boxes, the navigator, the totals line and status panels,
// the lists, the dialogs and message boxes, the clipboard, the opener and a file's properties.

#include "app/qt/ErrorReport.h"
#include "app/qt/MessageBoxes.h"
#include "app/qt/Skin.h"
#include "app/qt/StatusBar.h"
#include "app/qt/menu1.h"
#include "shell/qt/ClipboardData.h"
#include "shell/qt/FileOpener.h"
#include "app/qt/navigator/DirectoryList.h"
#include "app/qt/listviews/FileListModel.h"
#include "app/qt/listviews/ListViewRows.h"
#include "app/qt/navigator/FolderPaths.h"
#include "app/qt/navigator/SelectDirectoryDialog.h"
#include "app/qt/listviews/SortListViews.h"
#include "app/qt/listviews/TypeListModel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

namespace pellamy {
namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The 1-based place of the dialog's chosen filter among `filters`, 0 for none. With its details
// hidden the dialog names the chosen filter by the caption it shows ("CSV File(*.csv)") rather
// than by the whole filter ("CSV File(*.csv) (*.csv)"), so both forms are recognised.
int FilterIndex(const QStringList& filters, const QString& chosen)
{
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (filters[i] == chosen) {
            return static_cast<int>(i) + 1;
        }
    }
    const QString caption = chosen.simplified();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        const QString& filter = filters[i];
        if (filter.left(filter.lastIndexOf(u'(')).simplified() == caption) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

} // namespace

bool TForm1::ExportHtml(const TSortListView* view, const std::string& title, const std::string& fileName)
{
    return m_core.ExportHtml(view == LView2 ? WindowList::Files : WindowList::Types, title, fileName);
}

QCheckBox* TForm1::CheckBox(WindowCheckBox box) const
{
    switch (box) {
    case WindowCheckBox::ISF:
        return ISF;
    case WindowCheckBox::roFile:
        return roFile;
    case WindowCheckBox::hidFile:
        return hidFile;
    case WindowCheckBox::sysFile:
        return sysFile;
    case WindowCheckBox::arcFile:
        return arcFile;
    case WindowCheckBox::AttrChk:
        return AttrChk;
    case WindowCheckBox::SubFolders:
        return SubFolders;
    case WindowCheckBox::Useskin1:
        break;
    }
    return nullptr;
}

bool TForm1::IsChecked(WindowCheckBox box) const
{
    if (box == WindowCheckBox::Useskin1) {
        return Useskin1->isChecked();
    }
    return CheckBox(box)->isChecked();
}

void TForm1::SetChecked(WindowCheckBox box, bool checked)
{
    if (box == WindowCheckBox::Useskin1) {
        Useskin1->setChecked(checked);
        return;
    }
    CheckBox(box)->setChecked(checked);
}

std::string TForm1::NavigatorFolder() const
{
    return ToStdString(dList->Directory());
}

void TForm1::SetNavigatorFolder(const std::string& folder)
{
    dList->SetDirectory(FromStdString(folder));
}

void TForm1::SetTotalsLine(const std::string& text)
{
    Panel3Caption->setText(FromUtf8(text));
}

void TForm1::SetStatusPanel(int panel, const std::string& text, bool repaintNow)
{
    StatusBar1->SetPanelText(panel, FromUtf8(text));
    if (panel == 1) {
        // The count panel grew or shrank with its text: the hint line takes what it leaves.
        FormResize();
    }
    if (repaintNow) {
        StatusBar1->repaint();
    }
}

void TForm1::SetStatusPanelTip(int panel, const std::string& tip)
{
    StatusBar1->SetPanelTip(panel, FromUtf8(tip));
}

SortListModel* TForm1::ListModel(WindowList list) const
{
    if (list == WindowList::Types) {
        return m_typeRows;
    }
    return m_fileRows;
}

void TForm1::BeginListReset(WindowList list)
{
    ListModel(list)->BeginTableReset();
}

void TForm1::EndListReset(WindowList list)
{
    ListModel(list)->EndTableReset();
}

void TForm1::ReadSelection(WindowList list,
                           const std::function<void(std::size_t first, std::size_t last)>& range) const
{
    const TSortListView* view = list == WindowList::Types ? sLView : LView2;
    ForEachSelectedRowRange(ListModel(list), view->selectionModel(), range);
}

void TForm1::SelectAllRows(WindowList list)
{
    (list == WindowList::Types ? sLView : LView2)->selectAll();
}

void TForm1::WaitFor(BackgroundWork& work)
{
    // The window is drawn and answers while the scan runs: Esc and closing stop it, and any other
    // input waits (see HoldInput) so that no handler runs in the middle of another.
    m_waiting = &work;
    QEventLoop loop;
    QTimer poll;
    int ticks = 0;
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (work.Finished()) {
            loop.quit();
        } else if (++ticks % 10 == 0) {
            work.ShowProgress();
        }
    });
    poll.start(10);
    // Input that came before the scan's end is the scan's, however short the scan: Esc stops it,
    // anything else waits for it.
    QCoreApplication::processEvents();
    if (!work.Finished()) {
        loop.exec();
    }
    m_waiting = nullptr;
    // The input that waited is handled now, in its order.
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> held;
    held.swap(m_heldInput);
    for (auto& [receiver, event] : held) {
        if (receiver != nullptr) {
            QCoreApplication::postEvent(receiver, event.release());
        }
    }
}

void TForm1::NudgeWindowWidth()
{
    resize(width() + 1, height());
    resize(width() - 1, height());
}

void TForm1::SetBusy(bool busy)
{
    if (busy) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QApplication::restoreOverrideCursor();
    }
    repaint();
}

void TForm1::SetSkin(bool on)
{
    Skin::SetActive(on);
}

bool TForm1::AskYesNo(const std::string& question, const std::string& caption)
{
    if (QuestionAsker) {
        return QuestionAsker(question, caption);
    }
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), QString::fromStdString(question),
                    QMessageBox::Yes | QMessageBox::No, this);
    FitCaption(box);
    return box.exec() == QMessageBox::Yes;
}

bool TForm1::RunSaveDialog(const std::string& folder, std::string& fileName, int& filterIndex)
{
    if (SaveDialogRunner) {
        return SaveDialogRunner(fileName, filterIndex);
    }
    SD1->setDirectory(QFile::decodeName(QByteArray::fromStdString(folder)));
    if (SD1->exec() != QDialog::Accepted || SD1->selectedFiles().isEmpty()) {
        return false;
    }
    // The dialog keeps its filter and name for its next use in this run.
    filterIndex = FilterIndex(SD1->nameFilters(), SD1->selectedNameFilter());
    fileName = QFile::encodeName(SD1->selectedFiles().front()).toStdString();
    return true;
}

std::optional<std::string> TForm1::RunSelectFolderDialog(FolderDialogUse use,
                                                         const std::optional<std::string>& initialFolder)
{
    if (use == FolderDialogUse::Destination && FolderChooserRunner) {
        return FolderChooserRunner();
    }
    if (initialFolder) {
        Dirs->SetInitialDir(FromStdString(*initialFolder));
    }
    if (!Dirs->Execute()) {
        return std::nullopt;
    }
    return ToStdString(Dirs->Directory());
}

void TForm1::ShowMessage(const std::string& text)
{
    const QString shown = QString::fromStdString(text);
    if (MessageShower) {
        MessageShower(shown);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), shown, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("Message"));
    FitCaption(box);
    box.exec();
}

void TForm1::ShowErrorReport(const std::string& message)
{
    PellamyApplication::ShowErrorReport(QString::fromStdString(message));
}

// A report's bytes as the clipboard's plain text, unchanged: a name that is not valid UTF-8 reaches
// the receiver as the same bytes that pellamy-report writes, never with replacement characters.
void TForm1::PutTextOnClipboard(std::string bytes)
{
    PlaceTextOnClipboard(std::move(bytes));
}

void TForm1::PutTextOnClipboard(std::size_t size, const std::function<void(char* buffer)>& write)
{
    QByteArray text(static_cast<qsizetype>(size), Qt::Uninitialized);
    write(text.data());
    PlaceTextOnClipboard(std::move(text));
}

bool TForm1::PutOnClipboard(std::vector<ClipboardTarget> targets)
{
    return PlaceOnClipboard(std::move(targets));
}

void TForm1::Open(const std::string& path, std::function<void(const std::string& reason)> failed)
{
    if (Opener) {
        if (!Opener(path)) {
            failed("No application to open it could be started.");
        }
        return;
    }
    OpenWithShell(path, this, std::move(failed));
}

void TForm1::ShowProperties(const std::string& path)
{
    ShowFileProperties(path);
}

} // namespace pellamy
