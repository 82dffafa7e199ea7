// SPDX-License-Identifier: GPL-3.0-or-later
// The window's construction from its definition, and the behaviour that belongs to the window
// itself: the hint line, the status-bar rule, the width nudge, "Select all" and the skin switch.

#include "app/qt/menu1.h"

#include "app/qt/ElidedLabel.h"
#include "app/qt/ErrorReport.h"
#include "app/qt/Skin.h"
#include "app/qt/StatusBar.h"
#include "platform/Platform.h"
#include "app/qt/navigator/DirectoryList.h"
#include "app/qt/navigator/DriveCombo.h"
#include "app/qt/listviews/FileListModel.h"
#include "app/qt/navigator/FolderNavigator.h"
#include "app/qt/navigator/SelectDirectoryDialog.h"
#include "app/qt/listviews/SortListViews.h"
#include "app/qt/listviews/TypeListModel.h"
#include "window/WindowControls.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QVBoxLayout>

namespace pellamy {
namespace {

constexpr int kBandHeight = 29;
constexpr int kSplitterWidth = 8;

QString FromView(std::string_view text);

/// The check box `name` of the window's controls, with its caption, place, size and hint.
QCheckBox* PlacedCheckBox(QWidget* parent, const char* name, bool checked)
{
    const WindowControl& control = ControlNamed(name);
    auto* box = new QCheckBox(FromView(control.Caption), parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(control.Left, control.Top, control.Width, control.Height);
    box->setChecked(checked);
    box->setStatusTip(FromView(control.Hint));
    return box;
}

QFrame* Band(QWidget* parent, const char* name)
{
    auto* band = new QFrame(parent);
    band->setObjectName(QLatin1String(name));
    band->setFixedHeight(kBandHeight);
    band->setFrameShape(QFrame::Panel);
    band->setFrameShadow(QFrame::Raised);
    band->setLineWidth(1);
    return band;
}

QSplitter* Splitter(Qt::Orientation orientation, QWidget* parent, const char* name)
{
    auto* splitter = new QSplitter(orientation, parent);
    splitter->setObjectName(QLatin1String(name));
    splitter->setHandleWidth(kSplitterWidth);
    splitter->setOpaqueResize(true);
    splitter->setChildrenCollapsible(false);
    splitter->setStyleSheet(QStringLiteral("QSplitter#%1::handle { background-color: rgb(216, 216, 216); "
                                           "border: 1px outset rgb(236, 236, 236); }")
                                .arg(QLatin1String(name)));
    return splitter;
}

// Column widths of a list, with the auto column taking what the others leave.
void SetColumns(TSortListView* list, const std::vector<int>& widths, int autoColumn)
{
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    for (int column = 0; column < static_cast<int>(widths.size()); ++column) {
        if (column == autoColumn) {
            header->setSectionResizeMode(column, QHeaderView::Stretch);
        } else {
            header->setSectionResizeMode(column, QHeaderView::Interactive);
            header->resizeSection(column, widths[static_cast<std::size_t>(column)]);
        }
    }
}

QString FromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent)
    , ScanProgressAfterMs(m_core.ScanProgressAfterMs)
    , m_platform(MakePlatform())
    , m_core(*this, *m_platform)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Pellamy"));
    setAttribute(Qt::WA_AlwaysShowToolTips, false);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    setMinimumWidth(780);
    setAcceptDrops(true);

    auto* layout = new QVBoxLayout(this);
    // The bands' and lists' minimum sizes must not become the window's: its height can be reduced
    // freely, its width down to 780.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    BuildBanner();
    layout->addWidget(Panel1);

    JvSplitter2 = Splitter(Qt::Vertical, this, "JvSplitter2");
    BuildFolderArea();
    JvSplitter2->addWidget(Panel4);
    auto* lower = new QWidget(JvSplitter2);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);
    BuildFilterBar();
    lowerLayout->addWidget(Panel3);
    BuildFileList();
    lowerLayout->addWidget(LView2, 1);
    JvSplitter2->addWidget(lower);
    JvSplitter2->setStretchFactor(0, 0);
    JvSplitter2->setStretchFactor(1, 1);
    layout->addWidget(JvSplitter2, 1);

    StatusBar1 = new StatusBar(this);
    layout->addWidget(StatusBar1);

    BuildMenus();
    BuildDialogs();
    SetTabOrder();

    NameControls();
    PlaceOnScreen();
    qApp->installEventFilter(this);
}

void TForm1::NameControls()
{
    // Each control by its caption, or by what it is where it has none; a check box of one letter
    // by the attribute the letter stands for.
    const auto name = [](QWidget* control) {
        control->setAccessibleName(FromView(ControlNamed(control->objectName().toStdString()).AccessibleName));
        control->setAccessibleDescription(control->statusTip());
    };
    for (QWidget* control : {static_cast<QWidget*>(ISF), static_cast<QWidget*>(dList),
                             static_cast<QWidget*>(JvDriveCombo1), static_cast<QWidget*>(sLView),
                             static_cast<QWidget*>(LView2), static_cast<QWidget*>(roFile),
                             static_cast<QWidget*>(hidFile), static_cast<QWidget*>(sysFile),
                             static_cast<QWidget*>(arcFile), static_cast<QWidget*>(AttrChk),
                             static_cast<QWidget*>(SubFolders),
                             static_cast<QWidget*>(Panel3Caption), static_cast<QWidget*>(JvSplitter1),
                             static_cast<QWidget*>(JvSplitter2), static_cast<QWidget*>(StatusBar1)}) {
        name(control);
    }
    for (int handle = 1; handle < 2; ++handle) {
        JvSplitter1->handle(handle)->setAccessibleName(JvSplitter1->accessibleName());
        JvSplitter2->handle(handle)->setAccessibleName(JvSplitter2->accessibleName());
    }
}

void TForm1::PlaceOnScreen()
{
    // Client area 973 x 625 (outer 989 x 661 with the frame), centred on the screen; on a screen
    // whose available area is smaller, at the scale factor in use, as much as it holds.
    constexpr QSize kFrame(16, 36);
    QSize client(973, 625);
    QRect available;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        available = screen->availableGeometry();
        client = client.boundedTo(available.size() - kFrame);
        setMinimumWidth(std::min(minimumWidth(), client.width()));
    }
    resize(client);
    const int filesHeight = client.height() - kBandHeight - kSplitterWidth - 23;
    JvSplitter2->setSizes({std::min(249, filesHeight / 2), filesHeight - std::min(249, filesHeight / 2)});
    if (available.isValid()) {
        const QSize outer = client + kFrame;
        move(available.left() + (available.width() - outer.width()) / 2,
             available.top() + (available.height() - outer.height()) / 2);
    }
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
}

void TForm1::BuildBanner()
{
    Panel1 = Band(this, "Panel1");
    auto* caption = new QLabel(QStringLiteral("Pellamy (Previously Corvanta)"), Panel1);
    caption->setObjectName(QStringLiteral("Panel1Caption"));
    QFont bold = font();
    bold.setBold(true);
    caption->setFont(bold);
    caption->setAlignment(Qt::AlignCenter);
    auto* bannerLayout = new QHBoxLayout(Panel1);
    bannerLayout->setContentsMargins(2, 2, 2, 2);
    bannerLayout->addWidget(caption);
    ISF = PlacedCheckBox(Panel1, "ISF", false);
    // The caption must fit whatever font stands in for the window's.
    ISF->resize(std::max(281, ISF->sizeHint().width()), 17);
    ISF->raise();
    connect(ISF, &QCheckBox::clicked, this, [this] { m_core.ISFClick(); });
}

void TForm1::BuildFolderArea()
{
    Panel4 = new QWidget(JvSplitter2);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    auto* areaLayout = new QHBoxLayout(Panel4);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    JvSplitter1 = Splitter(Qt::Horizontal, Panel4, "JvSplitter1");
    areaLayout->addWidget(JvSplitter1);

    Panel2 = new FolderNavigator(JvSplitter1, m_platform->Folders());
    Panel2->setObjectName(QStringLiteral("Panel2"));
    dList = Panel2->dList();
    dList->setObjectName(QStringLiteral("dList"));
    JvDriveCombo1 = Panel2->JvDriveCombo1();
    JvDriveCombo1->setObjectName(QStringLiteral("JvDriveCombo1"));
    // The navigator's first folder, where programs live. Entering it moves the working directory,
    // which is put back so that relative paths on the command line mean what the user meant.
    FolderSystem& folders = m_platform->Folders();
    const std::string workingDirectory = folders.WorkingFolder();
    dList->SetDirectory("/usr");
    folders.SetWorkingFolder(workingDirectory);
    connect(dList, &DirectoryList::Click, this, [this] { m_core.dListClick(); });
    connect(JvDriveCombo1, &DriveCombo::Change, this, [this] { m_core.JvDriveCombo1Change(); });

    sLView = new TSortListView(JvSplitter1);
    sLView->setObjectName(QStringLiteral("sLView"));
    m_typeRows = new TypeListModel(m_core.TypeRows(), sLView);
    m_typeRows->SetImages(&ImageList1);
    sLView->setModel(m_typeRows);
    sLView->setSelectionMode(QAbstractItemView::SingleSelection);
    sLView->OnCustomSort = &sLViewCustomSort;
    sLView->setStatusTip(FromView(ControlNamed("sLView").Hint));
    sLView->setFrameShape(QFrame::Box);
    sLView->SetUseArrows(true);
    sLView->setLineWidth(1);
    SetColumns(sLView, {80, 0, 58, 90}, 1);
    sLView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sLView, &TSortListView::clicked, this, [this](const QModelIndex&) { m_core.sLViewClick(); });
    connect(sLView, &TSortListView::doubleClicked, this, [this](const QModelIndex&) { m_core.sLViewDblClick(); });

    JvSplitter1->addWidget(Panel2);
    JvSplitter1->addWidget(sLView);
    JvSplitter1->setStretchFactor(0, 0);
    JvSplitter1->setStretchFactor(1, 1);
    JvSplitter1->setSizes({209, 973 - 209 - kSplitterWidth});
}

void TForm1::BuildFilterBar()
{
    Panel3 = Band(this, "Panel3");
    Panel3Caption = new ElidedLabel(QStringLiteral("?"), Panel3);
    Panel3Caption->setObjectName(QStringLiteral("Panel3Caption"));
    Panel3Caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Panel3Caption->setTextFormat(Qt::PlainText);
    auto* barLayout = new QHBoxLayout(Panel3);
    // The totals line takes the band right of the check boxes.
    const WindowControl& lastBox = ControlNamed("SubFolders");
    barLayout->setContentsMargins(lastBox.Left + lastBox.Width + 4, 2, 6, 2);
    barLayout->addWidget(Panel3Caption);
    roFile = PlacedCheckBox(Panel3, "roFile", false);
    hidFile = PlacedCheckBox(Panel3, "hidFile", false);
    sysFile = PlacedCheckBox(Panel3, "sysFile", false);
    arcFile = PlacedCheckBox(Panel3, "arcFile", true);
    AttrChk = PlacedCheckBox(Panel3, "AttrChk", false);
    for (QCheckBox* box : {roFile, hidFile, sysFile, arcFile, AttrChk}) {
        connect(box, &QCheckBox::clicked, this, [this] { m_core.roFileClick(); });
    }
    SubFolders = PlacedCheckBox(Panel3, "SubFolders", false);
    connect(SubFolders, &QCheckBox::clicked, this, [this] { m_core.SubFoldersClick(); });
}

void TForm1::BuildFileList()
{
    LView2 = new TSortListView(this);
    LView2->setObjectName(QStringLiteral("LView2"));
    m_fileRows = new FileListModel(m_core.FileRows(), LView2);
    m_fileRows->SetImages(&ImageList1);
    LView2->setModel(m_fileRows);
    LView2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LView2->OnCustomSort = &LView2CustomSort;
    LView2->setFrameShape(QFrame::NoFrame);
    LView2->SetUseArrows(true);
    LView2->setStatusTip(FromView(ControlNamed("LView2").Hint));
    SetColumns(LView2, {60, 0, 140, 140, 60, 80}, 1);
    LView2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(LView2, &TSortListView::doubleClicked, this, [this](const QModelIndex&) { m_core.LView2DblClick(); });
}

QMenu* TForm1::BuildMenu(const char* name, std::span<const MenuEntry> entries)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QLatin1String(name));
    for (const MenuEntry& entry : entries) {
        QAction* action = entry.IsSeparator() ? menu->addSeparator() : menu->addAction(FromView(entry.Caption));
        action->setObjectName(FromView(entry.Name));
        if (entry.IsSeparator()) {
            continue;
        }
        action->setStatusTip(FromView(entry.Hint));
        action->setVisible(entry.Shown);
        action->setCheckable(entry.Checkable);
        action->setChecked(entry.Checked);
        const MenuHandler handler = entry.Handler;
        connect(action, &QAction::triggered, this, [this, handler] { (m_core.*handler)(); });
    }
    // A highlighted menu entry's hint shows in the status bar like a control's.
    connect(menu, &QMenu::hovered, this, [this](QAction* action) { DisplayHint(action->statusTip()); });
    connect(menu, &QMenu::aboutToHide, this, [this] { DisplayHint(QString()); });
    return menu;
}

void TForm1::BuildMenus()
{
    PopupMenu1 = BuildMenu("PopupMenu1", pellamy::PopupMenu1());
    PopupMenu2 = BuildMenu("PopupMenu2", pellamy::PopupMenu2());
    // The entries by their definition names, for the front-end and its tests.
    const auto find = [this](QMenu* menu, const char* name) {
        return menu->findChild<QAction*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    };
    Copyfilelist1 = find(PopupMenu1, "Copyfilelist1");
    Copyalldetails1 = find(PopupMenu1, "Copyalldetails1");
    XML1 = find(PopupMenu1, "XML1");
    CopyselectedfiledetailsasHTML1 = find(PopupMenu1, "CopyselectedfiledetailsasHTML1");
    Copyfiles1 = find(PopupMenu1, "Copyfiles1");
    Copyto1 = find(PopupMenu1, "Copyto1");
    Saveselectedfiledetailsttofile1 = find(PopupMenu1, "Saveselectedfiledetailsttofile1");
    OpenfolderinExplorer2 = find(PopupMenu1, "OpenfolderinExplorer2");
    Movefileto1 = find(PopupMenu1, "Movefileto1");
    Deletefiles1 = find(PopupMenu1, "Deletefiles1");
    N1 = find(PopupMenu1, "N1");
    Selectall1 = find(PopupMenu1, "Selectall1");
    Properties1 = find(PopupMenu1, "Properties1");
    CopyfolderdetailsasCSV1 = find(PopupMenu2, "CopyfolderdetailsasCSV1");
    CopyfolderdetailsasXML1 = find(PopupMenu2, "CopyfolderdetailsasXML1");
    Print1 = find(PopupMenu2, "Print1");
    Savefolderdetails1 = find(PopupMenu2, "Savefolderdetails1");
    Copyfoldername1 = find(PopupMenu2, "Copyfoldername1");
    SElectafolder1 = find(PopupMenu2, "SElectafolder1");
    OpenfolderinExplorer1 = find(PopupMenu2, "OpenfolderinExplorer1");
    N2 = find(PopupMenu2, "N2");
    Registerunregisterincontextmenu1 = find(PopupMenu2, "Registerunregisterincontextmenu1");
    Useskin1 = find(PopupMenu2, "Useskin1");

    connect(LView2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(LView2->viewport()->mapToGlobal(pos)); });
    connect(sLView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu2->popup(sLView->viewport()->mapToGlobal(pos)); });
}

void TForm1::BuildDialogs()
{
    SD1 = new QFileDialog(this);
    SD1->setObjectName(QStringLiteral("SD1"));
    SD1->setAcceptMode(QFileDialog::AcceptSave);
    SD1->setOption(QFileDialog::DontConfirmOverwrite, true);
    SD1->setOption(QFileDialog::HideNameFilterDetails, true);
    // Each choice shows its caption; the pattern in the second brackets is the one that filters.
    SD1->setNameFilters({QStringLiteral("CSV File(*.csv) (*.csv)"), QStringLiteral("XML File(*,xml) (*.xml)"),
                         QStringLiteral("HTML File(*.html) (*.html)")});
    Dirs = new SelectDirectoryDialog(this, m_platform->Folders());
    Dirs->setObjectName(QStringLiteral("Dirs"));
}

void TForm1::SetTabOrder()
{
    const QList<QWidget*> order = {ISF,     LView2,  roFile,     hidFile, sysFile,       arcFile,
                                   AttrChk, SubFolders, sLView, JvDriveCombo1, dList};
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }
}

bool TForm1::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        DisplayHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        // Hints show in the status bar only, never as pop-ups.
        return true;
    }
    return QWidget::event(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (m_waiting != nullptr && HoldInput(watched, event)) {
        return true;
    }
    // Key preview: the window sees every key before the focused control and consumes none. One
    // key press reaches the filter once per widget it propagates through; it is acted on once.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        const bool propagating = event == m_lastKeyEvent && key->timestamp() == m_lastKeyTime &&
                                 m_lastKeyReceiver != nullptr && m_lastKeyReceiver != watched &&
                                 widget->isAncestorOf(static_cast<const QWidget*>(m_lastKeyReceiver));
        if (!propagating) {
            m_lastKeyEvent = event;
            m_lastKeyReceiver = watched;
            m_lastKeyTime = key->timestamp();
            if (key->key() == Qt::Key_F5) {
                m_core.FormKeyDown(WindowCore::kKeyF5);
            }
        }
        // Keys of the controls themselves, handled where the window's logic is.
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && watched == sLView) {
            m_core.sLViewKeyDown(WindowCore::kKeyReturn);
            return true;
        }
        if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
            return PopupFocusedListMenu();
        }
    }
    return false;
}

QSize TForm1::minimumSizeHint() const
{
    return {minimumWidth(), 0};
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TForm1::FormResize()
{
    // The banner's caption is centred, or starts after the check box where centring would put
    // it over the check box's caption.
    if (auto* caption = Panel1->findChild<QLabel*>(QStringLiteral("Panel1Caption"))) {
        const int free = (Panel1->width() - caption->fontMetrics().horizontalAdvance(caption->text())) / 2;
        const int afterCheckBox = ISF->geometry().right() + 8;
        Panel1->layout()->setContentsMargins(free < afterCheckBox ? afterCheckBox : 2, 2, 2, 2);
    }
    // The hint line takes the width the count panel leaves (100 less than the window's with the
    // count panel's usual width).
    StatusBar1->SetPanelWidth(0, std::max(0, width() - 20 - StatusBar1->PanelWidth(1)));
}

void TForm1::DisplayHint(const QString& hint)
{
    m_core.DisplayHint(hint.toStdString());
}

void TForm1::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LocaleChange) {
        // Rows already shown keep the texts they were made with until the next fill.
        }
    QWidget::changeEvent(event);
}

} // namespace pellamy
