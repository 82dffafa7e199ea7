// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/navigator/FolderNavigator.h"

#include "FixedDrives.h"
#include "app/qt/navigator/DirectoryList.h"
#include "app/qt/navigator/DriveCombo.h"
#include "app/qt/navigator/FolderRowsModel.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

namespace pellamy {

// Folders in a temporary directory play the drives: "c" and "d" fixed, "r" a RAM disk (not in
// the drive box), "nodisc" a CD-ROM drive whose root cannot be entered.
class FolderNavigatorTest : public QObject
{
    Q_OBJECT

private:
    QString Path(const QString& relative) const { return m_temp->path() + QLatin1Char('/') + relative; }
    QByteArray Dir(const QString& relative) const { return QFile::encodeName(Path(relative)); }

    void MakeFolder(const QString& relative) const { QVERIFY(QDir().mkpath(Path(relative))); }

    std::vector<Drive> FakeDrives() const
    {
        std::vector<Drive> drives{{"/", DriveKind::Fixed, {}, {}},
                                  {Path("c").toStdString(), DriveKind::Fixed, "System", {}},
                                  {Path("d").toStdString(), DriveKind::Fixed, {}, {}},
                                  {Path("nodisc").toStdString(), DriveKind::CdRom, {}, {}},
                                  {Path("r").toStdString(), DriveKind::RamDisk, {}, {}}};
        drives.insert(drives.end(), m_extraDrives.begin(), m_extraDrives.end());
        return drives;
    }

    std::unique_ptr<FolderNavigator> MakeNavigator()
    {
        auto navigator = std::make_unique<FolderNavigator>(nullptr, m_folders);
        navigator->resize(209, 249);
        new QAbstractItemModelTester(navigator->dList()->Rows(),
                                     QAbstractItemModelTester::FailureReportingMode::QtTest, navigator.get());
        return navigator;
    }

    static QStringList Names(const DirectoryList& list)
    {
        QStringList names;
        for (int row = 0; row < list.Rows()->rowCount(); ++row) {
            names.push_back(list.Rows()->index(row).data().toString());
        }
        return names;
    }

    static void ClickRow(DirectoryList& list, int row)
    {
        const QRect rect = list.visualRect(list.Rows()->index(row));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
    }

    std::unique_ptr<QTemporaryDir> m_temp;
    std::vector<Drive> m_extraDrives;
    FixedDrives m_folders{[this] { return FakeDrives(); }};
    QString m_startFolder;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_startFolder = QDir::currentPath();
    }

    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        m_extraDrives.clear();
        for (const char* folder : {"c/Program Files/alpha", "c/Program Files/Beta/inner",
                                   "c/Program Files/gamma", "c/Program Files/.hidden", "c/Program Files/Zulu",
                                   "c/zeta", "d/data/deeper", "r/ramdata", "e/new"}) {
            MakeFolder(QString::fromLatin1(folder));
        }
        QFile file(Path("c/Program Files/readme.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(Path("c/zeta"), Path("c/Program Files/link to zeta")));
    }

    void cleanup()
    {
        QDir::setCurrent(m_startFolder);
        // By bytes: QDir cannot name folders whose names are not valid UTF-8.
        std::filesystem::remove_all(QFile::encodeName(m_temp->path()).toStdString());
        m_temp.reset();
    }

    void showsAncestorChainOpenFolderAndSortedVisibleSubFolders()
    {
        auto navigator = MakeNavigator();
        DirectoryList& list = *navigator->dList();
        list.SetDirectory(Dir("c/Program Files"));

        QCOMPARE(list.Directory(), Dir("c/Program Files"));
        QCOMPARE(Names(list),
                 (QStringList{Path("c"), "Program Files", "alpha", "Beta", "gamma", "link to zeta", "Zulu"}));
        QCOMPARE(list.Rows()->OpenRow(), 1);
        QCOMPARE(list.currentIndex().row(), 1);
        QCOMPARE(list.Rows()->PathAt(2), Dir("c/Program Files/alpha"));
        QCOMPARE(list.Rows()->index(0).data(FolderRowsModel::DepthRole).toInt(), 0);
        QCOMPARE(list.Rows()->index(2).data(FolderRowsModel::DepthRole).toInt(), 2);
        QCOMPARE(list.Rows()->index(1).data(FolderRowsModel::KindRole).toInt(), int(FolderRowKind::Open));
        QCOMPARE(QDir::currentPath(), Path("c/Program Files"));
        QCOMPARE(navigator->JvDriveCombo1()->CurrentDrive(), Dir("c"));

        // A folder deeper down: one row per ancestor from the drive root.
        list.SetDirectory(Dir("c/Program Files/Beta/inner/"));
        QCOMPARE(Names(list), (QStringList{Path("c"), "Program Files", "Beta", "inner"}));
        QCOMPARE(list.Directory(), Dir("c/Program Files/Beta/inner"));
        QCOMPARE(list.currentIndex().row(), 3);

        // A drive root shows only its own row above its sub-folders.
        list.SetDirectory(Dir("c/"));
        QCOMPARE(list.Directory(), Dir("c"));
        QCOMPARE(Names(list), (QStringList{Path("c"), "Program Files", "zeta"}));
        QCOMPARE(list.currentIndex().row(), 0);

        // The file system's own root keeps its "/".
        list.SetDirectory("/");
        QCOMPARE(list.Directory(), QByteArray("/"));
        QCOMPARE(Names(list).value(0), QStringLiteral("/"));
        QCOMPARE(navigator->JvDriveCombo1()->CurrentDrive(), QByteArray("/"));
        QVERIFY(!Names(list).contains(QStringLiteral("proc")) || QDir(QStringLiteral("/proc")).exists());
    }

    // A folder whose listing is slow (a network folder, say) opens at once with its chain, and its
    // sub-folders follow once read; a reading for a folder left meanwhile changes nothing.
    void aSlowFolderShowsItsChainAtOnceAndItsSubFoldersOnceRead()
    {
        auto navigator = MakeNavigator();
        DirectoryList& list = *navigator->dList();
        list.SetDirectory(Dir("c"));
        // Should an opening wait for the listing, it would end only once this lets it go, and
        // with the sub-folders already shown.
        std::jthread safetyNet([this](std::stop_token stop) {
            for (int i = 0; i < 100 && !stop.stop_requested(); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            m_folders.Release();
        });

        m_folders.Hold(Dir("c/Program Files").toStdString());
        list.SetDirectory(Dir("c/Program Files"));
        QCOMPARE(list.Directory(), Dir("c/Program Files"));
        QCOMPARE(Names(list), (QStringList{Path("c"), "Program Files"}));
        QCOMPARE(list.currentIndex().row(), 1);
        QCOMPARE(QDir::currentPath(), Path("c/Program Files"));
        QSignalSpy clicks(&list, &DirectoryList::Click);
        m_folders.Release();
        QTRY_COMPARE(Names(list),
                     (QStringList{Path("c"), "Program Files", "alpha", "Beta", "gamma", "link to zeta", "Zulu"}));
        QCOMPARE(list.currentIndex().row(), 1);
        QCOMPARE(clicks.count(), 0);

        list.SetDirectory(Dir("c"));
        m_folders.Hold(Dir("c/Program Files").toStdString());
        list.SetDirectory(Dir("c/Program Files"));
        list.SetDirectory(Dir("d/data"));
        m_folders.Release();
        QTest::qWait(3 * static_cast<int>(DirectoryList::kSubFoldersWait.count()));
        QCOMPARE(Names(list), (QStringList{Path("d"), "data", "deeper"}));
        QCOMPARE(list.Directory(), Dir("d/data"));
        safetyNet.request_stop();
    }

    void settingDirectoryIgnoresWhatNamesNoFolderOnADrive()
    {
        auto navigator = MakeNavigator();
        DirectoryList& list = *navigator->dList();
        list.SetDirectory(Dir("c/Program Files"));
        QSignalSpy resets(list.Rows(), &QAbstractItemModel::modelReset);
        QSignalSpy clicks(&list, &DirectoryList::Click);
        QSignalSpy changes(navigator->JvDriveCombo1(), &DriveCombo::Change);

        for (const QByteArray& ignored :
             {QByteArray(), Dir("c/Program Files"), Dir("c/Program Files/"), Dir("c/./Program Files"),
              QByteArray("relative/folder"), QByteArray("\\\\server\\share"), QByteArray("\\")}) {
            list.SetDirectory(ignored);
            QCOMPARE(list.Directory(), Dir("c/Program Files"));
        }
        QCOMPARE(resets.count(), 0);

        // A missing folder on the same drive leaves the list where it was.
        list.SetDirectory(Dir("c/Program Files/missing"));
        QCOMPARE(list.Directory(), Dir("c/Program Files"));
        QCOMPARE(Names(list).size(), 7);
        QCOMPARE(navigator->JvDriveCombo1()->CurrentDrive(), Dir("c"));

        // ".." is resolved before the folder is entered.
        list.SetDirectory(Dir("c/Program Files/alpha/../gamma"));
        QCOMPARE(list.Directory(), Dir("c/Program Files/gamma"));
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(changes.count(), 0);
    }

    void anotherDriveMovesTheDriveBoxWithoutNotification()
    {
        auto navigator = MakeNavigator();
        DirectoryList& list = *navigator->dList();
        DriveCombo& combo = *navigator->JvDriveCombo1();
        list.SetDirectory(Dir("c/Program Files"));
        QSignalSpy changes(&combo, &DriveCombo::Change);
        QSignalSpy clicks(&list, &DirectoryList::Click);

        list.SetDirectory(Dir("d/data/"));
        QCOMPARE(list.Directory(), Dir("d/data"));
        QCOMPARE(combo.CurrentDrive(), Dir("d"));
        QCOMPARE(Names(list), (QStringList{Path("d"), "data", "deeper"}));

        // A missing folder on another listed drive ends at that drive's root.
        list.SetDirectory(Dir("c/Program Files"));
        list.SetDirectory(Dir("d/missing"));
        QCOMPARE(list.Directory(), Dir("d"));
        QCOMPARE(combo.CurrentDrive(), Dir("d"));

        // A drive the box does not list is entered directly; the box keeps its selection.
        list.SetDirectory(Dir("r/ramdata"));
        QCOMPARE(list.Directory(), Dir("r/ramdata"));
        QCOMPARE(Names(list), (QStringList{Path("r"), "ramdata"}));
        QCOMPARE(combo.CurrentDrive(), Dir("d"));

        QCOMPARE(changes.count(), 0);
        QCOMPARE(clicks.count(), 0);
    }

    void aVanishedFolderFallsBackToAnAncestor()
    {
        auto navigator = MakeNavigator();
        DirectoryList& list = *navigator->dList();
        list.SetDirectory(Dir("c/Program Files/Beta/inner"));
        QVERIFY(QDir(Path("c/Program Files/Beta")).removeRecursively());
        list.SetDirectory(Dir("c/Program Files/Beta/inner/missing"));
        QCOMPARE(list.Directory(), Dir("c/Program Files"));
        QVERIFY(!Names(list).contains(QStringLiteral("Beta")));
    }

    void userSelectionOpensTheRowAndRaisesClick()
    {
        auto navigator = MakeNavigator();
        navigator->show();
        QVERIFY(QTest::qWaitForWindowExposed(navigator.get()));
        DirectoryList& list = *navigator->dList();
        list.SetDirectory(Dir("c/Program Files"));
        QSignalSpy clicks(&list, &DirectoryList::Click);
        QSignalSpy changes(navigator->JvDriveCombo1(), &DriveCombo::Change);
        QByteArrayList seenInHandler;
        connect(&list, &DirectoryList::Click, this, [&] { seenInHandler.push_back(list.Directory()); });

        ClickRow(list, 3); // "Beta"
        QCOMPARE(list.Directory(), Dir("c/Program Files/Beta"));
        QCOMPARE(Names(list), (QStringList{Path("c"), "Program Files", "Beta", "inner"}));
        QCOMPARE(list.currentIndex().row(), 2);
        QCOMPARE(clicks.count(), 1);

        // Clicking the open folder's row changes no selection, so nothing happens.
        ClickRow(list, 2);
        QCOMPARE(clicks.count(), 1);

        list.setFocus();
        QTest::keyClick(&list, Qt::Key_Up);
        QCOMPARE(list.Directory(), Dir("c/Program Files"));
        QCOMPARE(clicks.count(), 2);

        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(list.Directory(), Dir("c/Program Files/alpha"));
        QCOMPARE(clicks.count(), 3);
        QCOMPARE(seenInHandler, (QByteArrayList{Dir("c/Program Files/Beta"), Dir("c/Program Files"),
                                                Dir("c/Program Files/alpha")}));

        // Enter on the open row opens it again: nothing changes and nothing is raised.
        QSignalSpy resets(list.Rows(), &QAbstractItemModel::modelReset);
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(list.Directory(), Dir("c/Program Files/alpha"));
        QCOMPARE(resets.count(), 0);
        QCOMPARE(clicks.count(), 3);
        QCOMPARE(changes.count(), 0);

        // Programmatic setting raises no click.
        list.SetDirectory(Dir("c/zeta"));
        QCOMPARE(clicks.count(), 3);
    }

    void folderNamesThatAreNotUtf8KeepTheirBytes()
    {
        // Two names that show alike (each byte 0xfe, 0xff alone is invalid) and a lone lead byte.
        const QByteArray parent = Dir("d/data");
        const QByteArray ff = parent + "/\xff";
        const QByteArray fe = parent + "/\xfe";
        const QByteArray lone = parent + "/caf\xc3";
        for (const QByteArray& folder : {ff, fe, lone, ff + "/inner"}) {
            QCOMPARE(::mkdir(folder.constData(), 0755), 0);
        }
        auto navigator = MakeNavigator();
        navigator->show();
        QVERIFY(QTest::qWaitForWindowExposed(navigator.get()));
        DirectoryList& list = *navigator->dList();

        list.SetDirectory(ff);
        QCOMPARE(list.Directory(), ff);
        QCOMPARE(Names(list), (QStringList{Path("d"), "data", QStringLiteral("\uFFFD"), "inner"}));
        QCOMPARE(list.Rows()->PathAt(3), ff + "/inner");
        char working[4096] = {};
        QVERIFY(::getcwd(working, sizeof working) != nullptr);
        QCOMPARE(QByteArray(working), ff);

        // Clicking rows opens each folder itself, not its parent, and not a look-alike.
        list.SetDirectory(parent);
        QCOMPARE(Names(list), (QStringList{Path("d"), "data", QStringLiteral("caf\uFFFD"), "deeper",
                                           QStringLiteral("\uFFFD"), QStringLiteral("\uFFFD")}));
        QCOMPARE(list.Rows()->PathAt(4), fe);
        QCOMPARE(list.Rows()->PathAt(5), ff);
        QSignalSpy clicks(&list, &DirectoryList::Click);
        ClickRow(list, 5);
        QCOMPARE(list.Directory(), ff);
        QCOMPARE(list.currentIndex().row(), 2);
        QTest::keyClick(&list, Qt::Key_Up); // back to "data"
        ClickRow(list, 2);
        QCOMPARE(list.Directory(), lone);
        QCOMPARE(clicks.count(), 3);
        QCOMPARE(list.Rows()->index(2).data(Qt::ToolTipRole).toString(),
                 Path("d/data/caf") + QStringLiteral("\uFFFD"));
    }

    void pickingADriveMovesTheListThenRaisesChange()
    {
        auto navigator = MakeNavigator();
        navigator->show();
        QVERIFY(QTest::qWaitForWindowExposed(navigator.get()));
        DirectoryList& list = *navigator->dList();
        DriveCombo& combo = *navigator->JvDriveCombo1();
        // "r" is a RAM disk: not an item.
        QCOMPARE(combo.count(), 4);
        QVERIFY(!combo.ListsDrive(Dir("r")));
        QCOMPARE(combo.itemText(1), QStringLiteral("System (%1)").arg(Path("c")));

        list.SetDirectory(Dir("c/Program Files"));
        QByteArray directoryAtChange;
        connect(&combo, &DriveCombo::Change, this, [&] { directoryAtChange = list.Directory(); });
        QSignalSpy changes(&combo, &DriveCombo::Change);
        QSignalSpy clicks(&list, &DirectoryList::Click);

        combo.setFocus();
        QTest::keyClick(&combo, Qt::Key_Down); // to "d"
        QCOMPARE(list.Directory(), Dir("d"));
        QCOMPARE(combo.CurrentDrive(), Dir("d"));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(directoryAtChange, Dir("d"));

        // A drive without a medium: the list stays, the box returns, the notification follows.
        QTest::keyClick(&combo, Qt::Key_Down); // to "nodisc"
        QCOMPARE(list.Directory(), Dir("d"));
        QCOMPARE(combo.CurrentDrive(), Dir("d"));
        QCOMPARE(changes.count(), 2);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(QDir::currentPath(), Path("d"));
    }

    void mountAndUnmountRebuildTheItemsQuietly()
    {
        auto navigator = MakeNavigator();
        DirectoryList& list = *navigator->dList();
        DriveCombo& combo = *navigator->JvDriveCombo1();
        list.SetDirectory(Dir("d/data"));
        QSignalSpy changes(&combo, &DriveCombo::Change);
        QSignalSpy resets(list.Rows(), &QAbstractItemModel::modelReset);

        m_extraDrives.push_back(Drive{Path("e").toStdString(), DriveKind::Removable, {}, {}});
        combo.RefreshDrives();
        QCOMPARE(combo.count(), 5);
        QVERIFY(combo.ListsDrive(Dir("e")));
        QCOMPARE(combo.CurrentDrive(), Dir("d"));

        // A drive mounted over the list's folder: the box selects it; the list stays.
        m_extraDrives.push_back(Drive{Path("d/data").toStdString(), DriveKind::Removable, {}, {}});
        combo.RefreshDrives();
        QCOMPARE(combo.CurrentDrive(), Dir("d/data"));
        m_extraDrives.pop_back();
        combo.RefreshDrives();
        QCOMPARE(combo.CurrentDrive(), Dir("d"));

        QCOMPARE(list.Directory(), Dir("d/data"));
        QCOMPARE(resets.count(), 0);
        QCOMPARE(changes.count(), 0);
    }

    void eitherPartGoingFirstLeavesTheOtherOnItsOwn()
    {
        auto navigator = MakeNavigator();
        navigator->show();
        QVERIFY(QTest::qWaitForWindowExposed(navigator.get()));
        DirectoryList& list = *navigator->dList();
        list.SetDirectory(Dir("c/zeta"));
        delete navigator->JvDriveCombo1();

        // The list reads the drives itself again and crosses drives without the box.
        list.SetDirectory(Dir("d/data"));
        QCOMPARE(list.Directory(), Dir("d/data"));
        QCOMPARE(Names(list).first(), Path("d"));

        auto other = MakeNavigator();
        other->show();
        QVERIFY(QTest::qWaitForWindowExposed(other.get()));
        DriveCombo& combo = *other->JvDriveCombo1();
        other->dList()->SetDirectory(Dir("c/zeta"));
        delete other->dList();

        // The box still rebuilds and still enters a picked drive's root.
        m_extraDrives.push_back(Drive{Path("e").toStdString(), DriveKind::Removable, {}, {}});
        combo.RefreshDrives();
        QCOMPARE(combo.CurrentDrive(), Dir("c"));
        QSignalSpy changes(&combo, &DriveCombo::Change);
        combo.setFocus();
        QTest::keyClick(&combo, Qt::Key_Down); // to "d"
        QCOMPARE(changes.count(), 1);
        QCOMPARE(combo.CurrentDrive(), Dir("d"));
        QCOMPARE(QDir::currentPath(), Path("d"));
    }
};

} // namespace pellamy

QTEST_MAIN(pellamy::FolderNavigatorTest)
#include "FolderNavigatorTest.moc"
