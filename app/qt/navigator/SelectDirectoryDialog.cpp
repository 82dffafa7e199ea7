// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/navigator/SelectDirectoryDialog.h"

#include "app/qt/navigator/ClassicPictures.h"
#include "app/qt/navigator/FolderRowsModel.h"

#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStringListModel>
#include <QStyledItemDelegate>

namespace pellamy {
namespace {

constexpr int kStep = 4;
const QSize kPictureSize(16, 15);

// A folder row: its picture 4 pixels further right per step below the drive root, the name 4
// pixels after it.
class ClassicFolderDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        const QPalette& palette = option.palette;
        painter->fillRect(option.rect, palette.base());
        const int left = option.rect.left() + 2 + kStep * index.data(FolderRowsModel::DepthRole).toInt();
        const QPixmap picture = index.data(Qt::DecorationRole).value<QIcon>().pixmap(kPictureSize);
        painter->drawPixmap(left, option.rect.top() + (option.rect.height() - kPictureSize.height()) / 2,
                            picture);
        const QString name = index.data(Qt::DisplayRole).toString();
        const QFontMetrics metrics(option.font);
        const QRect textRect(left + kPictureSize.width() + 4, option.rect.top(),
                             metrics.horizontalAdvance(name) + 4, option.rect.height());
        if (selected) {
            painter->fillRect(textRect, palette.highlight());
        }
        painter->setFont(option.font);
        painter->setPen(selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text));
        painter->drawText(textRect.adjusted(2, 0, 0, 0),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QFontMetrics metrics(option.font);
        const int width = 2 + kStep * index.data(FolderRowsModel::DepthRole).toInt() + kPictureSize.width() +
                          8 + metrics.horizontalAdvance(index.data().toString());
        return {width, std::max(kPictureSize.height() + 1, metrics.height() + 1)};
    }
};


// The root, then the volume label in square brackets for fixed, CD-ROM and RAM drives that have
// one, or the share for a remote drive.
QString ClassicDriveText(const Drive& drive)
{
    QString text = ShownName(RootText(drive));
    const QString label = QString::fromUtf8(drive.Label);
    switch (drive.Kind) {
    case DriveKind::Fixed:
    case DriveKind::CdRom:
    case DriveKind::RamDisk:
        if (!label.isEmpty()) {
            text += QStringLiteral(" [%1]").arg(label);
        }
        break;
    case DriveKind::Remote:
        text += QLatin1Char(' ') + QString::fromUtf8(drive.Source);
        break;
    case DriveKind::Removable:
    case DriveKind::Unknown:
        break;
    }
    return text;
}

bool CanOpen(FolderSystem& folders, const QByteArray& folder)
{
    return folders.CanEnterFolder(ToStdString(folder));
}

// `path` taken within `folder` when it is relative.
QByteArray WithinFolder(const QByteArray& folder, const QByteArray& path)
{
    return path.startsWith('/') ? path : JoinFolder(folder, path);
}

bool AskWithMessageBox(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes;
}

QLabel* MakeLabel(const QString& text, QWidget* buddy, const QRect& geometry, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    label->setGeometry(geometry);
    return label;
}

} // namespace

DirectoryCreateError::DirectoryCreateError()
    : std::runtime_error("Unable to create directory")
{}

SelectDirectoryDialog::SelectDirectoryDialog(QWidget* parent, FolderSystem& folders)
    : QDialog(parent)
    , m_folders(folders)
    , m_confirm(AskWithMessageBox)
    , m_nameEdit(new QLineEdit(this))
    , m_folderView(new QListView(this))
    , m_folderRows(new FolderRowsModel(this))
    , m_driveBox(new QComboBox(this))
    , m_fileView(new QListView(this))
    , m_files(new QStringListModel(this))
    , m_okButton(new QPushButton(QStringLiteral("OK"), this))
    , m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Select Directory"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(kClientWidth, kClientHeight);

    m_nameEdit->setObjectName(QStringLiteral("DirName"));
    m_nameEdit->setGeometry(8, 24, 316, 22);
    MakeLabel(QStringLiteral("Directory &Name:"), m_nameEdit, QRect(8, 6, 316, 16), this);

    m_folderView->setObjectName(QStringLiteral("DirList"));
    m_folderRows->SetIcons(ClassicBitmap(ClassicPicture::OpenFolder),
                           ClassicBitmap(ClassicPicture::CurrentFolder),
                           ClassicBitmap(ClassicPicture::ClosedFolder));
    m_folderView->setModel(m_folderRows);
    m_folderView->setItemDelegate(new ClassicFolderDelegate(m_folderView));
    m_folderView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_folderView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_folderView->setUniformItemSizes(true);
    m_folderView->setGeometry(8, 72, 152, 120);
    m_folderView->installEventFilter(this);
    MakeLabel(QStringLiteral("&Directories:"), m_folderView, QRect(8, 54, 152, 16), this);
    connect(m_folderView, &QListView::doubleClicked, this, [this] { OpenSelectedRow(); });

    m_driveBox->setObjectName(QStringLiteral("DriveList"));
    m_driveBox->setEditable(false);
    m_driveBox->setIconSize(kPictureSize);
    m_driveBox->setGeometry(8, 218, 152, 24);
    MakeLabel(QStringLiteral("D&rives:"), m_driveBox, QRect(8, 200, 152, 16), this);
    connect(m_driveBox, &QComboBox::activated, this, &SelectDirectoryDialog::DrivePicked);

    m_fileView->setObjectName(QStringLiteral("FileList"));
    m_fileView->setModel(m_files);
    m_fileView->setSelectionMode(QAbstractItemView::NoSelection);
    m_fileView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fileView->setUniformItemSizes(true);
    QPalette grey = m_fileView->palette();
    grey.setColor(QPalette::Text, grey.color(QPalette::Disabled, QPalette::Text));
    m_fileView->setPalette(grey);
    m_fileView->setGeometry(172, 72, 152, 170);
    MakeLabel(QStringLiteral("&Files: (*.*)"), m_fileView, QRect(172, 54, 152, 16), this);

    m_okButton->setObjectName(QStringLiteral("OKButton"));
    m_okButton->setDefault(true);
    m_okButton->setGeometry(336, 24, 80, 26);
    connect(m_okButton, &QPushButton::clicked, this, &SelectDirectoryDialog::OkClicked);
    m_cancelButton->setObjectName(QStringLiteral("CancelButton"));
    m_cancelButton->setGeometry(336, 56, 80, 26);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // No "Network..." button: this system offers no dialog of its own for connecting drives.
}

SelectDirectoryDialog::~SelectDirectoryDialog() = default;

void SelectDirectoryDialog::SetConfirmQuestion(ConfirmQuestion question)
{
    m_confirm = question ? std::move(question) : ConfirmQuestion(AskWithMessageBox);
}

bool SelectDirectoryDialog::Execute()
{
    m_directory = m_initialDir;
    m_createFailed = false;
    FillDrives();
    QByteArray start = m_initialDir.isEmpty()
                           ? QByteArray()
                           : CleanFolderPath(WithinFolder(WorkingFolderPath(m_folders), m_initialDir));
    if (!CanOpen(m_folders, start)) {
        start = WorkingFolderPath(m_folders);
    }
    m_openFolder.clear();
    m_shownFolder.clear();
    Open(start);
    m_nameEdit->setFocus();

    if (const QScreen* display = parentWidget() != nullptr ? parentWidget()->screen() : screen()) {
        // Centred by the frame's outer size, so the client area sits where the user expects.
        const QRect area = display->availableGeometry();
        adjustSize();
        move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    }
    const bool confirmed = exec() == QDialog::Accepted;
    if (m_createFailed) {
        throw DirectoryCreateError();
    }
    if (!confirmed) {
        m_directory = m_initialDir;
    }
    return confirmed;
}

void SelectDirectoryDialog::FillDrives()
{
    m_allDrives = m_folders.MountedDrives();
    m_driveBox->clear();
    for (const Drive& drive : m_allDrives) {
        m_driveBox->addItem(QIcon(ClassicBitmap(ClassicPictureOf(drive.Kind))), ClassicDriveText(drive),
                            RootText(drive));
    }
}

void SelectDirectoryDialog::Open(const QByteArray& folder)
{
    if (!CanOpen(m_folders, folder)) {
        return;
    }
    m_openFolder = folder;
    m_shownFolder = ShownName(folder);
    const QByteArray root = DriveRootOf(m_allDrives, folder);
    m_folderRows->Fill(root, folder, SortedSubFolders(m_folders, folder));
    const QModelIndex open = m_folderRows->index(m_folderRows->OpenRow());
    m_folderView->selectionModel()->setCurrentIndex(open, QItemSelectionModel::ClearAndSelect);
    m_folderView->scrollTo(open);
    m_files->setStringList(SortedFiles(m_folders, folder));
    const int drive = m_driveBox->findData(root);
    if (drive >= 0) {
        m_driveBox->setCurrentIndex(drive);
    }
    m_nameEdit->setText(m_shownFolder);
    m_nameEdit->selectAll();
}

QByteArray SelectDirectoryDialog::TypedFolder() const
{
    // The shown path may have lost bytes that are not valid UTF-8; where the text still begins
    // with it, as a whole folder step, the open folder's bytes take its place.
    const QString text = m_nameEdit->text();
    const qsizetype shown = m_shownFolder.size();
    if (shown > 0 && text.startsWith(m_shownFolder) &&
        (text.size() == shown || m_shownFolder.endsWith(u'/') || text[shown] == u'/')) {
        return m_openFolder + QFile::encodeName(text.mid(shown));
    }
    return QFile::encodeName(text);
}

void SelectDirectoryDialog::OpenSelectedRow()
{
    const QModelIndex current = m_folderView->currentIndex();
    if (current.isValid()) {
        Open(m_folderRows->PathAt(current.row()));
    }
}

void SelectDirectoryDialog::DrivePicked(int index)
{
    const QByteArray root = m_driveBox->itemData(index).toByteArray();
    if (root == DriveRootOf(m_allDrives, m_openFolder)) {
        return;
    }
    if (CanOpen(m_folders, root)) {
        Open(root);
        return;
    }
    // A drive without a medium or without access: stay, and show the open folder's drive again.
    const int previous = m_driveBox->findData(DriveRootOf(m_allDrives, m_openFolder));
    if (previous >= 0) {
        m_driveBox->setCurrentIndex(previous);
    }
}

void SelectDirectoryDialog::OkClicked()
{
    const QByteArray typed = TypedFolder();
    const QByteArray folder = typed.isEmpty() ? QByteArray() : WithinFolder(m_openFolder, typed);
    if (!m_folders.IsFolder(ToStdString(folder))) {
        if (!m_confirm(this, QStringLiteral("Confirm"),
                       QStringLiteral("The specified directory does not exist. Create it?"))) {
            return;
        }
        m_directory = typed;
        if (typed.isEmpty()) {
            m_createFailed = true;
            reject();
            return;
        }
        // A failure to create the folder goes unreported; the name is returned all the same.
        m_folders.MakeFolders(ToStdString(CleanFolderPath(folder)));
    }
    m_directory = typed;
    EnterFolder(m_folders, m_openFolder);
    accept();
}

bool SelectDirectoryDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_folderView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter in the folder list opens the selected folder rather than pressing "OK".
            OpenSelectedRow();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pellamy
