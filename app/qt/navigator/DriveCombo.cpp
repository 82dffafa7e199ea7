// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/navigator/DriveCombo.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QSocketNotifier>
#include <QStyle>
#include <QStyledItemDelegate>

namespace pellamy {
namespace {

constexpr int kIconSize = 16;
// Mount and unmount come in bursts (a stick with several partitions, a desktop automounter);
// one rebuild after the burst is enough.
constexpr int kRebuildDelayMs = 200;

// Draws an item of the drop-down list: the icon `kOffset` pixels from the left and one from the
// top, the name `kOffset` + 3 pixels after it on one line, vertically centred, ampersands shown as
// they are; a selected item is highlighted over the width of its name plus 6 pixels.
class DriveItemDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        const QPalette& palette = option.palette;
        painter->fillRect(option.rect, palette.base());
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        icon.paint(painter, QRect(option.rect.left() + DriveCombo::kOffset, option.rect.top() + 1, kIconSize,
                                  kIconSize));
        const QString name = index.data(Qt::DisplayRole).toString();
        const QFontMetrics metrics(option.font);
        const int textLeft = option.rect.left() + DriveCombo::kOffset + kIconSize + DriveCombo::kOffset + 3;
        const QRect textRect(textLeft, option.rect.top(), metrics.horizontalAdvance(name),
                             option.rect.height());
        const bool selected = (option.state & (QStyle::State_Selected | QStyle::State_MouseOver)) != 0;
        if (selected) {
            painter->fillRect(textRect.adjusted(-3, 0, 3, 0), palette.highlight());
        }
        painter->setFont(option.font);
        painter->setPen(selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text));
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QFontMetrics metrics(option.font);
        const int width =
            2 * DriveCombo::kOffset + kIconSize + 3 + metrics.horizontalAdvance(index.data().toString()) + 6;
        return {width, std::max(metrics.height(), kIconSize + 2)};
    }
};

QIcon DriveIcon(DriveKind kind)
{
    const QStyle* style = QApplication::style();
    switch (kind) {
    case DriveKind::Removable:
        return QIcon::fromTheme(QStringLiteral("drive-removable-media"),
                                style->standardIcon(QStyle::SP_DriveFDIcon));
    case DriveKind::Remote:
        return QIcon::fromTheme(QStringLiteral("folder-remote"),
                                style->standardIcon(QStyle::SP_DriveNetIcon));
    case DriveKind::CdRom:
        return QIcon::fromTheme(QStringLiteral("drive-optical"), style->standardIcon(QStyle::SP_DriveCDIcon));
    case DriveKind::Fixed:
    case DriveKind::RamDisk:
    case DriveKind::Unknown:
        break;
    }
    return QIcon::fromTheme(QStringLiteral("drive-harddisk"), style->standardIcon(QStyle::SP_DriveHDIcon));
}

} // namespace

namespace {

// The drive box as screen readers see it: named by its accessible name, its value the drive shown.
// Qt's own combo box on Linux gives its current text as its name, which read the box as "/".
class DriveComboAccessible final : public QAccessibleWidget
{
public:
    explicit DriveComboAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::ComboBox)
    {}

    QString text(QAccessible::Text t) const override
    {
        const auto* box = static_cast<const QComboBox*>(widget());
        switch (t) {
        case QAccessible::Name:
            return box->accessibleName();
        case QAccessible::Value:
            return box->currentText();
        default:
            return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface* DriveComboFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("pellamy::DriveCombo") && object != nullptr && object->isWidgetType()) {
        return new DriveComboAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

} // namespace

DriveCombo::DriveCombo(QWidget* parent, FolderSystem& folders)
    : QComboBox(parent)
    , m_folders(folders)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&DriveComboFactory);
        return true;
    }();
    (void)factoryInstalled;
    setEditable(false);
    setItemDelegate(new DriveItemDelegate(this));
    setIconSize(QSize(kIconSize, kIconSize));
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_rebuildDelay.setSingleShot(true);
    m_rebuildDelay.setInterval(kRebuildDelayMs);
    connect(&m_rebuildDelay, &QTimer::timeout, this, &DriveCombo::RefreshDrives);
    connect(this, &QComboBox::activated, this, &DriveCombo::UserPicked);
    RefreshDrives();
    WatchMountTable();
}

DriveCombo::~DriveCombo()
{
    // The watch goes before the mount table's descriptor closes.
    delete m_mountWatch;
}

bool DriveCombo::IsListedKind(DriveKind kind)
{
    return kind == DriveKind::Removable || kind == DriveKind::Fixed || kind == DriveKind::Remote ||
           kind == DriveKind::CdRom;
}

QString DriveCombo::DisplayName(const Drive& drive)
{
    const QString root = ShownName(RootText(drive));
    const QString label = QString::fromUtf8(drive.Label).trimmed();
    return label.isEmpty() ? root.trimmed() : QStringLiteral("%1 (%2)").arg(label, root).trimmed();
}

QByteArray DriveCombo::CurrentDrive() const
{
    return currentIndex() >= 0 ? itemData(currentIndex()).toByteArray() : QByteArray();
}

bool DriveCombo::ListsDrive(const QByteArray& root) const
{
    return findData(root) >= 0;
}

bool DriveCombo::SelectDrive(const QByteArray& root)
{
    const int index = findData(root);
    if (index < 0) {
        return false;
    }
    setCurrentIndex(index);
    m_selectedRoot = root;
    return true;
}

void DriveCombo::SetFolderView(FolderView* view)
{
    m_view = view;
}

void DriveCombo::RefreshDrives()
{
    m_allDrives = m_folders.MountedDrives();
    const QByteArray keep =
        m_view != nullptr ? DriveRootOf(m_allDrives, m_view->Directory()) : m_selectedRoot;
    clear();
    for (const Drive& drive : m_allDrives) {
        if (IsListedKind(drive.Kind)) {
            addItem(DriveIcon(drive.Kind), DisplayName(drive), RootText(drive));
        }
    }
    if (!SelectDrive(keep) && !SelectDrive(m_selectedRoot)) {
        SelectDrive("/");
    }
}

void DriveCombo::UserPicked(int index)
{
    const QByteArray root = itemData(index).toByteArray();
    const QByteArray previous = m_selectedRoot;
    if (root == previous) {
        return;
    }
    bool entered = false;
    if (m_view != nullptr) {
        entered = m_view->OpenDriveRoot(root);
    } else {
        entered = EnterFolder(m_folders, root);
    }
    if (entered) {
        m_selectedRoot = root;
    } else {
        SelectDrive(m_view != nullptr ? DriveRootOf(m_allDrives, m_view->Directory()) : previous);
    }
    Q_EMIT Change();
}

void DriveCombo::WatchMountTable()
{
    // The kernel marks the mount table with an exceptional condition whenever a file system is
    // mounted or unmounted.
    m_mountTable = std::make_unique<QFile>(QStringLiteral("/proc/self/mountinfo"));
    if (!m_mountTable->open(QIODevice::ReadOnly)) {
        m_mountTable.reset();
        return;
    }
    m_mountWatch = new QSocketNotifier(m_mountTable->handle(), QSocketNotifier::Exception, this);
    connect(m_mountWatch, &QSocketNotifier::activated, this, [this] { m_rebuildDelay.start(); });
}

} // namespace pellamy
