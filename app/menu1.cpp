// SPDX-License-Identifier: GPL-3.0-or-later
// The window's construction from its definition, and the behaviour that belongs to the window
// itself: the hint line, the status-bar rule, the width nudge, "Select all" and the skin switch.

#include "app/menu1.h"

#include "app/ErrorReport.h"
#include "app/Skin.h"
#include "app/StatusBar.h"
#include "platform/WorkingFolder.h"
#include "platform/posix/FolderAccess.h"
#include "platform/posix/XdgContextMenuStore.h"
#include "platform/qt/QtRegionalSettings.h"
#include "shell/ContextMenuRegistration.h"
#include "widgets/DirectoryList.h"
#include "widgets/DriveCombo.h"
#include "widgets/FileListModel.h"
#include "widgets/FolderNavigator.h"
#include "widgets/SelectDirectoryDialog.h"
#include "widgets/SortListViews.h"
#include "widgets/TypeListModel.h"

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

QCheckBox* PlacedCheckBox(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                          bool checked, const QString& hint)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    box->setChecked(checked);
    box->setStatusTip(hint);
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

QAction* Entry(QMenu* menu, const char* name, const QString& caption, const QString& hint = QString(),
               bool shown = true)
{
    auto* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setStatusTip(hint);
    action->setVisible(shown);
    return action;
}

QAction* Separator(QMenu* menu, const char* name)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent)
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
    m_settings = SystemRegionalSettings();

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
    ConnectReportCommands();
    ConnectFileCommands();
    SetTabOrder();

    // Client area 973 x 625 (outer 989 x 661 with the frame), centred on the screen.
    resize(973, 625);
    JvSplitter2->setSizes({249, 625 - kBandHeight - 249 - kSplitterWidth - 23});
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(989 / 2, 661 / 2));
    }
    qApp->installEventFilter(this);
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
    ISF = PlacedCheckBox(
        Panel1, "ISF", QStringLiteral("Include System Files (not recommended)"), QRect(9, 6, 281, 17), false,
        QStringLiteral("Playing with  system files can be dangerous - don't do it unless you know what "
                       "you are doing!"));
    // The caption must fit whatever font stands in for the window's.
    ISF->resize(std::max(281, ISF->sizeHint().width()), 17);
    ISF->raise();
    connect(ISF, &QCheckBox::clicked, this, &TForm1::ISFClick);
}

void TForm1::BuildFolderArea()
{
    Panel4 = new QWidget(JvSplitter2);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    auto* areaLayout = new QHBoxLayout(Panel4);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    JvSplitter1 = Splitter(Qt::Horizontal, Panel4, "JvSplitter1");
    areaLayout->addWidget(JvSplitter1);

    Panel2 = new FolderNavigator(JvSplitter1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    dList = Panel2->dList();
    dList->setObjectName(QStringLiteral("dList"));
    JvDriveCombo1 = Panel2->JvDriveCombo1();
    JvDriveCombo1->setObjectName(QStringLiteral("JvDriveCombo1"));
    // The navigator's first folder, where programs live. Entering it moves the working directory,
    // which is put back so that relative paths on the command line mean what the user meant.
    const std::string workingDirectory = WorkingFolder();
    dList->SetDirectory("/usr");
    SetWorkingFolder(workingDirectory);
    connect(dList, &DirectoryList::Click, this, &TForm1::dListClick);
    connect(JvDriveCombo1, &DriveCombo::Change, this, &TForm1::JvDriveCombo1Change);

    sLView = new TSortListView(JvSplitter1);
    sLView->setObjectName(QStringLiteral("sLView"));
    m_typeRows = new TypeListModel(sLView);
    m_typeRows->SetImages(&ImageList1);
    sLView->setModel(m_typeRows);
    sLView->setSelectionMode(QAbstractItemView::SingleSelection);
    sLView->OnCustomSort = &sLViewCustomSort;
    sLView->setStatusTip(
        QStringLiteral("Click on file type to list files - double click any type to show all file types"));
    sLView->setFrameShape(QFrame::Box);
    sLView->setLineWidth(1);
    SetColumns(sLView, {80, 0, 58, 90}, 1);
    sLView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sLView, &TSortListView::clicked, this, [this](const QModelIndex&) { sLViewClick(); });
    connect(sLView, &TSortListView::doubleClicked, this, [this](const QModelIndex&) { sLViewDblClick(); });

    JvSplitter1->addWidget(Panel2);
    JvSplitter1->addWidget(sLView);
    JvSplitter1->setStretchFactor(0, 0);
    JvSplitter1->setStretchFactor(1, 1);
    JvSplitter1->setSizes({209, 973 - 209 - kSplitterWidth});
}

void TForm1::BuildFilterBar()
{
    Panel3 = Band(this, "Panel3");
    Panel3Caption = new QLabel(QStringLiteral("?"), Panel3);
    Panel3Caption->setObjectName(QStringLiteral("Panel3Caption"));
    Panel3Caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Panel3Caption->setTextFormat(Qt::PlainText);
    auto* barLayout = new QHBoxLayout(Panel3);
    barLayout->setContentsMargins(270, 2, 6, 2);
    barLayout->addWidget(Panel3Caption);
    const QString filterHint =
        QStringLiteral("Attributes  - filter files with one or more of selected attributes");
    roFile = PlacedCheckBox(Panel3, "roFile", QStringLiteral("R"), QRect(27, 7, 38, 17), false, filterHint);
    hidFile = PlacedCheckBox(Panel3, "hidFile", QStringLiteral("H"), QRect(69, 7, 38, 17), false, filterHint);
    sysFile =
        PlacedCheckBox(Panel3, "sysFile", QStringLiteral("S"), QRect(111, 7, 38, 17), false, filterHint);
    arcFile = PlacedCheckBox(Panel3, "arcFile", QStringLiteral("A"), QRect(153, 7, 38, 17), true,
                             QStringLiteral("Attributes  - select attributes to use in filter"));
    AttrChk = PlacedCheckBox(Panel3, "AttrChk", QStringLiteral("Filter"), QRect(200, 8, 57, 16), false,
                             QStringLiteral("Filter files by selected attributes when checked"));
    for (QCheckBox* box : {roFile, hidFile, sysFile, arcFile, AttrChk}) {
        connect(box, &QCheckBox::clicked, this, &TForm1::roFileClick);
    }
}

void TForm1::BuildFileList()
{
    LView2 = new TSortListView(this);
    LView2->setObjectName(QStringLiteral("LView2"));
    m_fileRows = new FileListModel(LView2);
    m_fileRows->SetImages(&ImageList1);
    LView2->setModel(m_fileRows);
    LView2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LView2->OnCustomSort = &LView2CustomSort;
    LView2->setFrameShape(QFrame::NoFrame);
    LView2->setStatusTip(QStringLiteral("Double click a file to open it.  Popup menu on right button"));
    SetColumns(LView2, {60, 0, 140, 140, 60, 80}, 1);
    LView2->setContextMenuPolicy(Qt::CustomContextMenu);
}

void TForm1::BuildMenus()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Copyfilelist1 = Entry(PopupMenu1, "Copyfilelist1", QStringLiteral("Copy selected file names"),
                          QStringLiteral("Copy all file names to clipboard"));
    Copyalldetails1 =
        Entry(PopupMenu1, "Copyalldetails1", QStringLiteral("Copy selected file details as CSV"),
              QStringLiteral("Copy all file details to clipboard in csv format"));
    XML1 = Entry(PopupMenu1, "XML1", QStringLiteral("Copy selected file details as XML"));
    CopyselectedfiledetailsasHTML1 = Entry(PopupMenu1, "CopyselectedfiledetailsasHTML1",
                                           QStringLiteral("Copy selected file details as HTML"));
    Copyfiles1 = Entry(PopupMenu1, "Copyfiles1", QStringLiteral("Copy files to clipboard"),
                       QStringLiteral("Copy selected files to clipboard  for pasting elsewhere"));
    Copyto1 = Entry(PopupMenu1, "Copyto1", QStringLiteral("Copy files to folder"), QString(), false);
    Saveselectedfiledetailsttofile1 =
        Entry(PopupMenu1, "Saveselectedfiledetailsttofile1", QStringLiteral("Save selected file details"));
    OpenfolderinExplorer2 =
        Entry(PopupMenu1, "OpenfolderinExplorer2", QStringLiteral("Open folder in  Explorer"));
    Movefileto1 = Entry(PopupMenu1, "Movefileto1", QStringLiteral("Move files to folder"), QString(), false);
    Deletefiles1 = Entry(PopupMenu1, "Deletefiles1", QStringLiteral("Delete files.."), QString(), false);
    N1 = Separator(PopupMenu1, "N1");
    Selectall1 = Entry(PopupMenu1, "Selectall1", QStringLiteral("Select all"));
    Properties1 = Entry(PopupMenu1, "Properties1", QStringLiteral("Properties"));
    connect(Selectall1, &QAction::triggered, this, &TForm1::Selectall1Click);

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    CopyfolderdetailsasCSV1 =
        Entry(PopupMenu2, "CopyfolderdetailsasCSV1", QStringLiteral("Copy folder details as CSV"));
    CopyfolderdetailsasXML1 =
        Entry(PopupMenu2, "CopyfolderdetailsasXML1", QStringLiteral("Copy folder details as XML"));
    Print1 = Entry(PopupMenu2, "Print1", QStringLiteral("Copy folder details as HTML"));
    Savefolderdetails1 = Entry(PopupMenu2, "Savefolderdetails1", QStringLiteral("Save folder details"));
    Copyfoldername1 = Entry(PopupMenu2, "Copyfoldername1", QStringLiteral("Copy folder name"));
    SElectafolder1 = Entry(PopupMenu2, "SElectafolder1", QStringLiteral("Select a folder"));
    OpenfolderinExplorer1 =
        Entry(PopupMenu2, "OpenfolderinExplorer1", QStringLiteral("Open folder in Explorer"));
    N2 = Separator(PopupMenu2, "N2");
    Registerunregisterincontextmenu1 = Entry(PopupMenu2, "Registerunregisterincontextmenu1",
                                             QStringLiteral("Register/unregister in context menu"));
    Useskin1 = Entry(PopupMenu2, "Useskin1", QStringLiteral("Use skin"));
    Useskin1->setCheckable(true);
    Useskin1->setChecked(true);
    connect(SElectafolder1, &QAction::triggered, this, &TForm1::SElectafolder1Click);
    connect(Useskin1, &QAction::triggered, this, &TForm1::Useskin1Click);
    connect(Registerunregisterincontextmenu1, &QAction::triggered, this,
            &TForm1::Registerunregisterincontextmenu1Click);

    // A highlighted menu entry's hint shows in the status bar like a control's.
    for (QMenu* menu : {PopupMenu1, PopupMenu2}) {
        connect(menu, &QMenu::hovered, this, [this](QAction* action) { DisplayHint(action->statusTip()); });
        connect(menu, &QMenu::aboutToHide, this, [this] { DisplayHint(QString()); });
    }
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
    SD1->setDefaultSuffix(QStringLiteral("csv"));
    SD1->setOption(QFileDialog::DontConfirmOverwrite, true);
    SD1->setOption(QFileDialog::HideNameFilterDetails, true);
    // Each choice shows its caption; the pattern in the second brackets is the one that filters.
    SD1->setNameFilters({QStringLiteral("CSV File(*.csv) (*.csv)"), QStringLiteral("XML File(*,xml) (*.xml)"),
                         QStringLiteral("HTML File(*.html) (*.html)")});
    Dirs = new SelectDirectoryDialog(this);
    Dirs->setObjectName(QStringLiteral("Dirs"));
}

void TForm1::SetTabOrder()
{
    const QList<QWidget*> order = {ISF,     LView2,  roFile, hidFile,       sysFile,
                                   arcFile, AttrChk, sLView, JvDriveCombo1, dList};
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
            FormKeyDown(key->key());
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
    StatusBar1->SetPanelWidth(0, std::max(0, width() - 100));
}

void TForm1::DisplayHint(const QString& hint)
{
    if (!m_hintsAttached) {
        return;
    }
    const qsizetype bar = hint.indexOf(u'|');
    m_currentHint = bar < 0 ? hint : hint.mid(bar + 1);
    StatusBar1->SetPanelText(0, m_currentHint);
}

void TForm1::NudgeWindowWidth()
{
    resize(width() + 1, height());
    resize(width() - 1, height());
}

void TForm1::Selectall1Click()
{
    LView2->selectAll();
}

void TForm1::Useskin1Click()
{
    Skin::SetActive(Useskin1->isChecked());
}

void TForm1::Registerunregisterincontextmenu1Click()
{
    XdgContextMenuStore store(UserDataFolder().value_or(std::string()));
    const RegistrationOutcome outcome =
        ToggleContextMenuRegistration(store, OwnProgramPath(), Useskin1->isChecked());
    if (outcome.Failure) {
        PellamyApplication::ShowErrorReport(QString::fromStdString(*outcome.Failure));
        return;
    }
    ShowMessage(outcome.Registered ? QStringLiteral("Pellamy registered")
                                   : QStringLiteral("Pellamy unregistered"));
}

void TForm1::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LocaleChange) {
        // Rows already shown keep the texts they were made with until the next fill.
        m_settings = SystemRegionalSettings();
    }
    QWidget::changeEvent(event);
}

} // namespace pellamy
