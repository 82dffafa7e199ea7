// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/ErrorReport.h"
#include "app/qt/Skin.h"
#include "app/qt/StatusBar.h"
#include "app/qt/WindowTestSupport.h"
#include "app/qt/menu1.h"
#include "platform/TmpfsFolder.h"
#include "app/qt/navigator/DirectoryList.h"
#include "app/qt/listviews/FileListModel.h"
#include "app/qt/navigator/FolderRowsModel.h"
#include "app/qt/listviews/SortListViews.h"
#include "app/qt/listviews/TypeListModel.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace pellamy;

namespace {

QString g_reported;
void RecordReport(const QString& text)
{
    g_reported = text;
}

// An object whose handling of any posted event fails with an exception.
class Throwing : public QObject
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) {
            throw std::runtime_error("Disk not ready");
        }
        return QObject::event(e);
    }
};

// Records the text of status panel 0 each time the status bar is painted.
class PaintedTexts : public QObject
{
public:
    explicit PaintedTexts(StatusBar* bar)
        : m_bar(bar)
    {
        bar->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_bar && event->type() == QEvent::Paint) {
            Texts.push_back(m_bar->PanelText(0));
        }
        return false;
    }

    QStringList Texts;

private:
    StatusBar* m_bar;
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_other;

    QString Folder() const { return m_dir.path() + u'/'; }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        QVERIFY(m_other.isValid());
        WriteSampleFolder(m_dir);
        WriteFile(m_other.filePath(QStringLiteral("only.pdf")), 5);
    }

    void cleanup() { Skin::SetActive(false); }

    void startsWithAFolderAndShowsItsSummary()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        QCOMPARE(form.CurrentFolder(), Std(Folder()));
        QCOMPARE(form.TypeRows()->RowCount(), std::size_t{4});
        QCOMPARE(form.TypeRows()->Caption(0), std::string_view(""));
        QCOMPARE(form.TotalFiles(), 5);
        QCOMPARE(form.TotalSize(), std::int64_t{524288 + 311});
        QCOMPARE(form.Panel3Caption->text(),
                 QStringLiteral("Folder attributes:       TOTALS:    Files:5   Size:512.3 KB "));
        QCOMPARE(form.StatusBar1->PanelText(1), QStringLiteral("Files: 0"));
        QCOMPARE(form.FileRows()->RowCount(), std::size_t{0});
        QCOMPARE(form.dList->Directory(), QFile::encodeName(m_dir.path()));
        QVERIFY(!Skin::IsActive());
        QVERIFY(!form.Useskin1->isChecked());
    }

    void showsTheTrueSizeOfHugeSparseFiles()
    {
        TmpfsFolder dir;
        if (!dir.Mounted()) {
            QSKIP(dir.Reason().c_str());
        }
        for (const char* name : {"a.raw", "b.raw", "c.raw"}) {
            std::ofstream(dir.Path() / name).flush();
            std::error_code error;
            std::filesystem::resize_file(dir.Path() / name, INT64_MAX, error);
            if (error) {
                QSKIP("the file system refuses a file of 2^63 - 1 bytes");
            }
        }
        TForm1 form;
        form.FormCreate({dir.Path().string()});
        QCOMPARE(form.TotalFiles(), 3);
        QVERIFY(form.TotalSize() == 3 * ByteCount{INT64_MAX});
        QCOMPARE(form.Panel3Caption->text(),
                 QStringLiteral("Folder attributes:       TOTALS:    Files:3   Size:25769803776 GB "));
        QCOMPARE(form.TypeRows()->CellText(0, 3), std::string("25769803776 GB"));
        QVERIFY(SelectType(form, ".raw"));
        form.sLViewClick();
        QCOMPARE(form.FileRows()->CellText(0, 5), std::string("8589934592 GB"));
    }

    void startsWithAFileOrWithoutArguments()
    {
        TForm1 withFile;
        withFile.FormCreate({Std(m_dir.filePath(QStringLiteral("a.txt")))});
        QCOMPARE(withFile.CurrentFolder(), Std(Folder()));

        // A bare file name has no folder part: the root folder is shown.
        QVERIFY(QDir::setCurrent(m_dir.path()));
        TForm1 bare;
        bare.FormCreate({"a.txt"});
        QCOMPARE(bare.CurrentFolder(), std::string("/"));

        TForm1 none;
        none.FormCreate({});
        QCOMPARE(none.CurrentFolder(), std::string("/"));
        QVERIFY(!none.Useskin1->isChecked());
    }

    void theLastArgumentSwitchesTheSkin()
    {
        TForm1 on;
        on.FormCreate({Std(m_dir.path()), "/s"});
        QVERIFY(Skin::IsActive());
        QVERIFY(on.Useskin1->isChecked());
        QVERIFY(!qApp->styleSheet().isEmpty());

        TForm1 capital;
        capital.FormCreate({Std(m_dir.path()), "/S"});
        QVERIFY(!Skin::IsActive());
        QVERIFY(!capital.Useskin1->isChecked());
        QVERIFY(qApp->styleSheet().isEmpty());

        // The only argument "/s" is also the folder: one that names nothing.
        TForm1 only;
        only.FormCreate({"/s"});
        QVERIFY(Skin::IsActive());
        QCOMPARE(only.CurrentFolder(), std::string("/s/"));
        QCOMPARE(only.TypeRows()->RowCount(), std::size_t{0});
        QCOMPARE(only.Panel3Caption->text(),
                 QStringLiteral("Folder attributes:RHSAC       TOTALS:    Files:0   Size:0 KB "));

        // "Use skin" twice returns the mark to where it was.
        only.Useskin1->trigger();
        QVERIFY(!only.Useskin1->isChecked());
        QVERIFY(!Skin::IsActive());
        only.Useskin1->trigger();
        QVERIFY(only.Useskin1->isChecked());
        QVERIFY(Skin::IsActive());
    }

    void typeRowClicksListTheirPattern()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        form.sLViewClick();
        QCOMPARE(form.CurrentPattern().Text(), std::string());
        QCOMPARE(form.FileRows()->RowCount(), std::size_t{0}); // no row selected changes nothing

        QVERIFY(SelectType(form, ".txt") || SelectType(form, ".TXT"));
        form.sLViewClick();
        QVERIFY(form.CurrentPattern().Text() == "*.txt" || form.CurrentPattern().Text() == "*.TXT");
        QCOMPARE(ListedNames(form), (std::vector<std::string>{"a.txt", "b.TXT"}));
        QCOMPARE(form.StatusBar1->PanelText(1), QStringLiteral("Files: 2"));
        QCOMPARE(form.TotalFiles(), 5); // a listing leaves the totals alone

        QVERIFY(SelectType(form, ".jpg"));
        form.sLViewDblClick();
        QCOMPARE(form.CurrentPattern().Text(), std::string("*.*"));
        QCOMPARE(form.FileRows()->RowCount(), std::size_t{5});

        // The empty caption gives the pattern "*", which lists the files it counts: those without
        // an extension.
        QVERIFY(SelectType(form, ""));
        form.sLViewClick();
        QCOMPARE(form.CurrentPattern().Text(), std::string("*"));
        QCOMPARE(ListedNames(form), (std::vector<std::string>{"README"}));
        QCOMPARE(form.StatusBar1->PanelText(1), QStringLiteral("Files: 1"));
    }

    void wildcardTypeRowListsOnlyItsOwnFiles()
    {
        QTemporaryDir dir;
        WriteFile(dir.filePath(QStringLiteral("a.*")), 1);
        WriteFile(dir.filePath(QStringLiteral("b.txt")), 2);
        WriteFile(dir.filePath(QStringLiteral("c")), 3);
        TForm1 form;
        form.FormCreate({Std(dir.path())});
        QVERIFY(SelectType(form, ".*"));
        form.sLViewClick();
        QCOMPARE(ListedNames(form), (std::vector<std::string>{"a.*"}));
        QCOMPARE(form.StatusBar1->PanelText(1), QStringLiteral("Files: 1"));
        QCOMPARE(form.CurrentPattern().Text(), std::string("*.*"));
        QVERIFY(!form.CurrentPattern().MatchesEverything());

        // The double click lists every file.
        form.sLViewDblClick();
        QCOMPARE(form.FileRows()->RowCount(), std::size_t{3});
    }

    void mouseClicksOnTheTypeListRunTheHandlers()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        TypeListModel* rows = form.TypeRows();
        int jpg = -1;
        for (std::size_t i = 0; i < rows->RowCount(); ++i) {
            if (rows->Caption(i) == ".jpg") {
                jpg = static_cast<int>(i);
            }
        }
        QVERIFY(jpg >= 0);
        const QPoint at = form.sLView->visualRect(rows->index(jpg, 1)).center();
        QTest::mouseClick(form.sLView->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(form.CurrentPattern().Text(), std::string("*.jpg"));
        QCOMPARE(form.FileRows()->RowCount(), std::size_t{1});
        QTest::mouseDClick(form.sLView->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(form.CurrentPattern(), NamePattern::AllFiles());
    }

    void f5ListsTheSelectedTypeAgainWithAnyModifier()
    {
        QTemporaryDir dir;
        WriteFile(dir.filePath(QStringLiteral("one.log")), 1);
        TForm1 form;
        form.FormCreate({Std(dir.path())});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QTest::keyClick(form.LView2, Qt::Key_F5);
        QCOMPARE(form.FileRows()->RowCount(), std::size_t{0}); // F5 without a selected type does nothing

        QVERIFY(SelectType(form, ".log"));
        QTest::keyClick(form.LView2, Qt::Key_F5);
        QCOMPARE(form.FileRows()->RowCount(), std::size_t{1});
        WriteFile(dir.filePath(QStringLiteral("two.log")), 1);
        QTest::keyClick(form.LView2, Qt::Key_F5, Qt::ShiftModifier);
        QCOMPARE(form.FileRows()->RowCount(), std::size_t{2});
        WriteFile(dir.filePath(QStringLiteral("three.log")), 1);
        QTest::keyClick(form.sLView, Qt::Key_F5, Qt::ControlModifier);
        QCOMPARE(form.FileRows()->RowCount(), std::size_t{3});
        QCOMPARE(form.TypeRows()->Row(0).Count, 1); // F5 does not summarise again
    }

    void checkBoxesReadTheFolderFromTheNavigator()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        QVERIFY(SelectType(form, ".jpg"));
        form.sLViewClick();
        QCOMPARE(form.FileRows()->RowCount(), std::size_t{1});

        form.dList->SetDirectory(QFile::encodeName(m_other.path()));
        QCOMPARE(form.CurrentFolder(), Std(Folder())); // moving the navigator by program runs nothing
        form.arcFile->click();
        QCOMPARE(form.CurrentFolder(), Std(m_other.path() + u'/'));
        QCOMPARE(form.TypeRows()->RowCount(), std::size_t{1});
        QCOMPARE(form.FileRows()->RowCount(), std::size_t{0});
        QCOMPARE(form.StatusBar1->PanelText(1), QStringLiteral("Files: 0"));

        // With the filter on and no box ticked, nothing is accepted.
        form.AttrChk->click();
        QCOMPARE(form.TypeRows()->RowCount(), std::size_t{0});
        form.ISF->click();
        QCOMPARE(form.TypeRows()->RowCount(), std::size_t{0});
        QCOMPARE(form.Panel3Caption->text(),
                 QStringLiteral("Folder attributes:       TOTALS:    Files:0   Size:0 KB "));
    }

    void dropsShowTheFirstItemOnly()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        form.HandleFileDrop({Std(m_other.path())});
        QCOMPARE(form.CurrentFolder(), Std(m_other.path() + u'/'));
        form.HandleFileDrop({Std(m_dir.filePath(QStringLiteral("photo.jpg")))});
        QCOMPARE(QString::fromStdString(form.CurrentFolder()), Folder());
        form.HandleFileDrop({Std(m_other.filePath(QStringLiteral("only.pdf"))), Std(m_dir.path())});
        QCOMPARE(form.CurrentFolder(), Std(m_other.path() + u'/'));

        // A real drop event on the window.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(m_dir.path()), QUrl::fromLocalFile(m_other.path())});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &drop);
        QCOMPARE(form.CurrentFolder(), Std(Folder()));
        QCOMPARE(form.TypeRows()->RowCount(), std::size_t{4});
    }

    void hintsShowInTheStatusBar()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(form.ISF, &enter);
        QCOMPARE(form.StatusBar1->PanelText(0),
                 QStringLiteral(
                     "Playing with  system files can be dangerous - don't do it unless you know what you "
                     "are doing!"));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(form.ISF, &leave);
        QCoreApplication::sendEvent(form.dList, &enter);
        QCOMPARE(form.StatusBar1->PanelText(0), QString());

        QCoreApplication::sendEvent(form.sLView, &enter);
        QCOMPARE(form.StatusBar1->PanelText(0),
                 QStringLiteral(
                     "Click on file type to list files - double click any type to show all file types"));

        Q_EMIT form.PopupMenu1->hovered(form.Copyfilelist1);
        QCOMPARE(form.StatusBar1->PanelText(0), QStringLiteral("Copy all file names to clipboard"));
        Q_EMIT form.PopupMenu1->hovered(form.Selectall1);
        QCOMPARE(form.StatusBar1->PanelText(0), QString());
        QVERIFY(form.ISF->toolTip().isEmpty());
    }

    void statusBarFollowsTheWindowWidth()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.resize(1200, 700);
        QCOMPARE(form.StatusBar1->PanelWidth(0), form.width() - 100);
        form.resize(500, 300);
        QCOMPARE(form.width(), 780);
        QCOMPARE(form.StatusBar1->PanelWidth(0), 680);
        QCOMPARE(form.StatusBar1->PanelWidth(1), 80);
        const int before = form.width();
        form.NudgeWindowWidth();
        QCOMPARE(form.width(), before);
        QCOMPARE(form.Panel1->height(), 29);
        QCOMPARE(form.Panel3->height(), 29);
    }

    void theHeightCanBeReducedFreely()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.minimumHeight(), 0);
        QVERIFY(form.minimumSizeHint().height() < 100);
        form.resize(973, 60);
        QCOMPARE(form.height(), 60);
        form.resize(600, 60);
        QCOMPARE(form.size(), QSize(780, 60));
        QCOMPARE(form.minimumWidth(), 780);
        form.resize(973, 625);
        QCOMPARE(form.height(), 625);
        QCOMPARE(form.Panel1->height(), 29);
    }

    void theNavigatorShowsTheChainFromTheRootAtStart()
    {
        QTemporaryDir deep;
        QString folder = deep.path();
        for (const char* step : {"one", "two", "three", "four", "five", "six"}) {
            folder += u'/' + QLatin1String(step);
        }
        // Sub-folders enough to make the list scroll.
        for (int i = 0; i < 30; ++i) {
            QVERIFY(QDir().mkpath(folder + QStringLiteral("/sub%1").arg(i)));
        }
        TForm1 form;
        form.FormCreate({Std(folder)});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCoreApplication::processEvents();
        const FolderRowsModel* rows = form.dList->Rows();
        QCOMPARE(rows->index(0).data().toString(), QStringLiteral("/"));
        const QRect viewport = form.dList->viewport()->rect();
        QVERIFY(viewport.contains(form.dList->visualRect(rows->index(0))));
        QVERIFY(viewport.contains(form.dList->visualRect(rows->index(rows->OpenRow()))));
    }

    void theHintComesBackAfterALiveCount()
    {
        TForm1 form;
        form.ScanProgressAfterMs = 0;
        form.FormCreate({Std(m_dir.path())});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // What panel 0 showed whenever the status bar was painted during the scans.
        PaintedTexts painted(form.StatusBar1);

        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(form.ISF, &enter);
        const QString hint = form.StatusBar1->PanelText(0);
        QVERIFY(hint.startsWith(QStringLiteral("Playing with  system files")));
        form.ISF->click();
        QVERIFY(painted.Texts.filter(QRegularExpression(QStringLiteral("^Reading folder: \\d+ entries$")))
                    .size() > 0);
        QCOMPARE(form.StatusBar1->PanelText(0), hint);

        // Over a control without a hint the line is empty again after the count.
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(form.ISF, &leave);
        painted.Texts.clear();
        form.ISF->click();
        QVERIFY(painted.Texts.filter(QStringLiteral("Reading folder: ")).size() > 0);
        QCOMPARE(form.StatusBar1->PanelText(0), QString());

        // The count shows during a type's listing too, and gives way to the hint in the same way.
        QCoreApplication::sendEvent(form.LView2, &enter);
        QVERIFY(SelectType(form, ".jpg"));
        painted.Texts.clear();
        form.sLViewClick();
        QVERIFY(painted.Texts.filter(QStringLiteral("Reading folder: ")).size() > 0);
        QCOMPARE(form.StatusBar1->PanelText(0),
                 QStringLiteral("Double click a file to open it.  Popup menu on right button"));
    }

    void errorReportAddsAFullStopAfterLettersAndDigits()
    {
        QCOMPARE(ErrorReportText(QStringLiteral("Disk not ready")), QStringLiteral("Disk not ready."));
        QCOMPARE(ErrorReportText(QStringLiteral("Error 5")), QStringLiteral("Error 5."));
        QCOMPARE(ErrorReportText(QStringLiteral("Done.")), QStringLiteral("Done."));
        QCOMPARE(ErrorReportText(QStringLiteral("Really?")), QStringLiteral("Really?"));
        QCOMPARE(ErrorReportText(QStringLiteral("Failed:")), QStringLiteral("Failed:."));
        QCOMPARE(ErrorReportText(QStringLiteral("Stop!")), QStringLiteral("Stop!"));
        QCOMPARE(ErrorReportText(QStringLiteral("trailing ")), QStringLiteral("trailing "));
        QCOMPARE(ErrorReportText(QString()), QString());
        // "-" (45) has a lower code than the full stop (46); "/" (47) a higher one.
        QCOMPARE(ErrorReportText(QStringLiteral("a-")), QStringLiteral("a-"));
        QCOMPARE(ErrorReportText(QStringLiteral("a/")), QStringLiteral("a/."));
    }

    void anUncaughtErrorIsReportedAndTheProgramGoesOn()
    {
        PellamyApplication::SetErrorReporter(&RecordReport);
        Throwing target;
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(g_reported, QStringLiteral("Disk not ready."));
        PellamyApplication::SetErrorReporter(nullptr);
    }
};

int main(int argc, char** argv)
{
    PellamyApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Pellamy"));
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowTest.moc"
