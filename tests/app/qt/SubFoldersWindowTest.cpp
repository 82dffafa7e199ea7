// SPDX-License-Identifier: GPL-3.0-or-later
// "Sub-folders" in the real window: the check box after "Filter" in the filter bar, a click on it
// walking the tree below the folder, the unread folders' tooltip, and the share bars' values.

#include "app/qt/StatusBar.h"
#include "app/qt/WindowTestSupport.h"
#include "window/WindowControls.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QTest>

#include <unistd.h>

using namespace pellamy;

class SubFoldersWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("src/deep")));
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("locked")));
        WriteFile(m_dir.filePath(QStringLiteral("top.txt")), 100);
        WriteFile(m_dir.filePath(QStringLiteral("src/deep/notes.txt")), 300);
        WriteFile(m_dir.filePath(QStringLiteral("src/build.log")), 600);
        QVERIFY(QFile::setPermissions(m_dir.filePath(QStringLiteral("locked")), QFileDevice::Permissions()));
    }

    void cleanupTestCase()
    {
        QFile::setPermissions(m_dir.filePath(QStringLiteral("locked")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void theCheckBoxFollowsFilterUncheckedWithItsCaptionAndHint()
    {
        TForm1 form;
        auto* box = form.Panel3->findChild<QCheckBox*>(QStringLiteral("SubFolders"));
        QVERIFY(box != nullptr);
        QCOMPARE(box, form.SubFolders);
        QCOMPARE(box->text(), QStringLiteral("Sub-folders"));
        QCOMPARE(box->statusTip().toStdString(), std::string(ControlNamed("SubFolders").Hint));
        QCOMPARE(box->accessibleName(), QStringLiteral("Sub-folders"));
        QVERIFY(!box->isChecked());
        QVERIFY(box->geometry().left() >= form.AttrChk->geometry().right());
        QCOMPARE(box->geometry().top(), form.AttrChk->geometry().top());
        QCOMPARE(form.AttrChk->nextInFocusChain(), box);
        QVERIFY2(form.Panel3->layout()->contentsMargins().left() > box->geometry().right(),
                 "the totals line starts right of the box");
    }

    void aClickWalksTheTreeAndAnotherShowsTheFolderAgain()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        QCOMPARE(form.TypeRows()->RowCount(), std::size_t{1});

        form.SubFolders->click();
        QCOMPARE(form.TypeRows()->RowCount(), std::size_t{2});
        QVERIFY(SelectType(form, ".txt"));
        form.sLViewClick();
        QCOMPARE(ListedNames(form), (std::vector<std::string>{"src/deep/notes.txt", "top.txt"}));
        if (::geteuid() != 0) {
            QCOMPARE(form.StatusBar1->PanelText(0), QStringLiteral("1 folder could not be read"));
            QVERIFY(form.StatusBar1->PanelTip(0).startsWith(m_dir.filePath(QStringLiteral("locked: "))));
        }

        // Each row's share of the size, for the bar behind its "Size" cell.
        TypeListModel* types = form.TypeRows();
        const QVariant logShare = types->data(types->index(0, 3), SortListModel::kSizeShareRole);
        QCOMPARE(types->Caption(0), std::string_view(".log"));
        QCOMPARE(logShare.toDouble(), 0.6);
        QVERIFY(!types->data(types->index(0, 2), SortListModel::kSizeShareRole).isValid());

        form.SubFolders->click();
        QCOMPARE(form.TypeRows()->RowCount(), std::size_t{1});
        QCOMPARE(form.StatusBar1->PanelTip(0), QString());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(SubFoldersWindowTest)
#include "SubFoldersWindowTest.moc"
