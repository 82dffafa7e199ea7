// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/navigator/DirectoryList.h"

#include "app/qt/navigator/FolderRowsModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>

#include <condition_variable>
#include <mutex>

namespace pellamy {
namespace {

constexpr int kRowHeight = 17;
constexpr int kIconSize = 16;

// Counts the input handlers running, so that a selection change made by one of them is opened
// when the handler returns rather than in the middle of the view's own bookkeeping.
class InputScope
{
public:
    explicit InputScope(int& depth)
        : m_depth(depth)
    {
        ++m_depth;
    }
    InputScope(const InputScope&) = delete;
    InputScope& operator=(const InputScope&) = delete;
    ~InputScope() { --m_depth; }

private:
    int& m_depth;
};

// Draws a row: the icon 2 pixels from the left in the first row and 4 pixels per folder step
// plus 6 in the others, the name 4 pixels to its right and 2 pixels below the row's top.
class DirectoryRowDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        const QPalette& palette = option.palette;
        painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
        const int depth = index.data(FolderRowsModel::DepthRole).toInt();
        const int iconLeft = option.rect.left() + (index.row() == 0 ? 2 : 4 * depth + 6);
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        icon.paint(painter, QRect(iconLeft, option.rect.top() + (option.rect.height() - kIconSize) / 2,
                                  kIconSize, kIconSize));
        const QString name = index.data(Qt::DisplayRole).toString();
        const QFontMetrics metrics(option.font);
        const QRect textRect(iconLeft + kIconSize + 4, option.rect.top() + 2,
                             metrics.horizontalAdvance(name) + 2, metrics.height());
        painter->setFont(option.font);
        painter->setPen(selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text));
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, name);
        if ((option.state & QStyle::State_HasFocus) != 0) {
            QStyleOptionFocusRect focus;
            focus.rect = textRect.adjusted(-1, 0, 1, 0);
            focus.palette = palette;
            focus.state = option.state;
            focus.backgroundColor =
                selected ? palette.color(QPalette::Highlight) : palette.color(QPalette::Base);
            const QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QFontMetrics metrics(option.font);
        const int depth = index.data(FolderRowsModel::DepthRole).toInt();
        const int width =
            4 * depth + 6 + kIconSize + 4 + metrics.horizontalAdvance(index.data().toString()) + 4;
        return {width, std::max(kRowHeight, metrics.height() + 2)};
    }
};

QIcon ThemedIcon(const char* name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QLatin1String(name), QApplication::style()->standardIcon(fallback));
}

} // namespace

DirectoryList::DirectoryList(QWidget* parent, FolderSystem& folders)
    : QListView(parent)
    , m_rows(new FolderRowsModel(this))
    , m_folders(folders)
{
    m_rows->SetIcons(ThemedIcon("folder-open", QStyle::SP_DirOpenIcon),
                     ThemedIcon("folder-open", QStyle::SP_DirOpenIcon),
                     ThemedIcon("folder", QStyle::SP_DirClosedIcon));
    setModel(m_rows);
    setItemDelegate(new DirectoryRowDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setUniformItemSizes(true);
    setIconSize(QSize(kIconSize, kIconSize));

    m_directory = WorkingFolderPath(m_folders);
    Fill();
}

DirectoryList::~DirectoryList()
{
    // Readings still at work give up at their next check; each is waited for, since it reads
    // through this list's folder system.
    m_readers.StopAll();
}

void DirectoryList::SetDriveBox(DriveBox* box)
{
    m_box = box;
    if (box != nullptr) {
        box->SelectDrive(DriveRootOf(Drives(), m_directory));
    }
}

std::vector<Drive> DirectoryList::Drives() const
{
    if (m_box != nullptr) {
        return m_box->AllDrives();
    }
    return m_folders.MountedDrives();
}

bool DirectoryList::Enter(const QByteArray& folder)
{
    if (!EnterFolder(m_folders, folder)) {
        return false;
    }
    m_directory = folder;
    return true;
}

void DirectoryList::SetDirectory(const QByteArray& path)
{
    const QByteArray target = CleanFolderPath(path);
    if (target.isEmpty() || target == m_directory) {
        return;
    }
    const std::vector<Drive> drives = Drives();
    const QByteArray targetRoot = DriveRootOf(drives, target);
    if (targetRoot != DriveRootOf(drives, m_directory) && m_box != nullptr && m_box->ListsDrive(targetRoot)) {
        if (Enter(targetRoot)) {
            m_box->SelectDrive(targetRoot);
        }
    }
    if (!Enter(target) && !Enter(m_directory)) {
        // The folder shown has gone: fall back to the nearest ancestor that can be entered.
        QByteArray up = m_directory;
        while (up != "/" && !Enter(up)) {
            up = CleanFolderPath(up + "/..");
        }
        if (up == "/") {
            Enter(up);
            m_directory = up;
        }
    }
    Fill();
}

bool DirectoryList::OpenDriveRoot(const QByteArray& root)
{
    const QByteArray clean = CleanFolderPath(root);
    if (!Enter(clean)) {
        return false;
    }
    Fill();
    return true;
}

namespace {

// One reading of a folder's sub-folders on a thread of its own, and whether the list still waits
// for it or has gone on without it (and so takes it as a queued call).
struct SubFolderReading
{
    std::mutex Mutex;
    std::condition_variable Done;
    bool Finished = false;
    bool Late = false;
    QByteArrayList SubFolders;
};

} // namespace

void DirectoryList::Fill()
{
    const std::uint64_t opening = ++m_opening;
    // A reading for a folder left before it ended is no longer wanted.
    auto reading = std::make_shared<SubFolderReading>();
    m_readers.Start([this, reading, opening, folder = m_directory](std::stop_token stop) {
        QByteArrayList subFolders = SortedSubFolders(m_folders, folder, stop);
        {
            const std::lock_guard lock(reading->Mutex);
            reading->SubFolders = std::move(subFolders);
            reading->Finished = true;
            if (reading->Late && !stop.stop_requested()) {
                // The list is alive: it waits for this thread before it goes, and drops a call
                // still queued when it does.
                QMetaObject::invokeMethod(
                    this, [this, opening, reading] { ShowLateSubFolders(opening, reading->SubFolders); },
                    Qt::QueuedConnection);
            }
        }
        reading->Done.notify_all();
    });

    // A folder read quickly shows with its sub-folders at once; a slow one shows its chain first.
    QByteArrayList subFolders;
    {
        std::unique_lock lock(reading->Mutex);
        if (reading->Done.wait_for(lock, kSubFoldersWait, [&reading] { return reading->Finished; })) {
            subFolders = std::move(reading->SubFolders);
        } else {
            reading->Late = true;
        }
    }
    FillRows(subFolders, true);
}

void DirectoryList::ShowLateSubFolders(std::uint64_t opening, const QByteArrayList& subFolders)
{
    if (opening != m_opening) {
        return; // another folder has been opened since
    }
    const int scrolled = verticalScrollBar()->value();
    FillRows(subFolders, false);
    // The rows above the sub-folders are the ones shown before: the view stays where it was.
    verticalScrollBar()->setValue(scrolled);
}

void DirectoryList::FillRows(const QByteArrayList& subFolders, bool scrollToOpenRow)
{
    m_filling = true;
    const QByteArray root = DriveRootOf(Drives(), m_directory);
    m_rows->Fill(root, m_directory, subFolders);
    const QModelIndex open = m_rows->index(m_rows->OpenRow());
    selectionModel()->setCurrentIndex(open, QItemSelectionModel::ClearAndSelect);
    // Before the list is shown its viewport has no real size yet, and scrolling to the open row
    // then would hide the chain above it for good; it is done once the list is shown.
    if (scrollToOpenRow) {
        if (isVisible()) {
            ShowOpenRow();
        } else {
            m_showOpenRowPending = true;
        }
    }
    m_pendingPath.clear();
    m_filling = false;
    if (m_box != nullptr) {
        m_box->SelectDrive(root);
    }
}

void DirectoryList::ShowOpenRow()
{
    // From the top, so that the chain from the root stays in view as far as the open row allows.
    verticalScrollBar()->setValue(verticalScrollBar()->minimum());
    scrollTo(m_rows->index(m_rows->OpenRow()));
}

void DirectoryList::showEvent(QShowEvent* event)
{
    QListView::showEvent(event);
    if (std::exchange(m_showOpenRowPending, false)) {
        ShowOpenRow();
    }
}

void DirectoryList::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QListView::currentChanged(current, previous);
    if (m_filling || !current.isValid()) {
        return;
    }
    m_pendingPath = m_rows->PathAt(current.row());
    if (m_inputDepth == 0) {
        // A change from outside the input handlers (accessibility, say) opens once it is over.
        QMetaObject::invokeMethod(this, &DirectoryList::OpenPendingRow, Qt::QueuedConnection);
    }
}

void DirectoryList::OpenPendingRow()
{
    if (m_pendingPath.isEmpty()) {
        return;
    }
    const QByteArray path = std::exchange(m_pendingPath, QByteArray());
    SetDirectory(path);
    Q_EMIT Click();
}

void DirectoryList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        const QModelIndex current = currentIndex();
        if (current.isValid()) {
            SetDirectory(m_rows->PathAt(current.row()));
        }
        event->accept();
        return;
    }
    {
        const InputScope scope(m_inputDepth);
        QListView::keyPressEvent(event);
    }
    OpenPendingRow();
}

void DirectoryList::mousePressEvent(QMouseEvent* event)
{
    {
        const InputScope scope(m_inputDepth);
        QListView::mousePressEvent(event);
    }
    OpenPendingRow();
}

void DirectoryList::mouseMoveEvent(QMouseEvent* event)
{
    {
        const InputScope scope(m_inputDepth);
        QListView::mouseMoveEvent(event);
    }
    OpenPendingRow();
}

void DirectoryList::mouseDoubleClickEvent(QMouseEvent* event)
{
    {
        const InputScope scope(m_inputDepth);
        QListView::mouseDoubleClickEvent(event);
    }
    OpenPendingRow();
}

} // namespace pellamy
