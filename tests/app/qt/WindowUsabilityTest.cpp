// SPDX-License-Identifier: GPL-3.0-or-later
// What only the real widgets show of the window's usability: names for screen readers, the count
// panel and message boxes never cut, tooltips of cut cells, sort arrows, the current row after a
// sort, and the keys Enter and Shift+F10.

#include "app/qt/ElidedLabel.h"
#include "app/qt/StatusBar.h"
#include "app/qt/navigator/DirectoryList.h"
#include "app/qt/navigator/DriveCombo.h"
#include "app/qt/WindowTestSupport.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QSplitter>
#include <QTest>
#include <QTimer>

using namespace pellamy;

class WindowUsabilityTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        WriteSampleFolder(m_dir);
        WriteFile(m_dir.filePath(QStringLiteral("a-name-far-too-long-for-its-column-to-show-whole.extensionthatislong")), 1);
        for (int i = 0; i < 60; ++i) {
            WriteFile(m_dir.filePath(QStringLiteral("many%1.dat").arg(i, 2, 10, QLatin1Char('0'))), 60 - i);
        }
    }

    void escStopsAScanAndOtherInputWaitsForItsEnd()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        const std::size_t types = form.TypeRows()->RowCount();
        const QString totals = form.Panel3Caption->text();

        // Esc, pressed while a folder is read, stops the reading: the lists keep what they showed.
        QCoreApplication::postEvent(form.sLView, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        form.ISF->click();
        QCOMPARE(form.TypeRows()->RowCount(), types);
        QCOMPARE(form.Panel3Caption->text(), totals);
        QCOMPARE(form.StatusBar1->PanelText(0), QStringLiteral("Stopped: the lists show what they showed before"));

        // A key pressed during a scan is handled once the scan has ended, not in the middle of it.
        QVERIFY(!form.AttrChk->isChecked());
        QCoreApplication::postEvent(form.AttrChk, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier));
        QCoreApplication::postEvent(form.AttrChk, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier));
        form.ISF->click();
        QVERIFY(!form.AttrChk->isChecked());
        QTRY_VERIFY(form.AttrChk->isChecked());
    }

    void everyControlHasANameAndItsHintAsDescription()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        const QList<QWidget*> controls = {form.ISF,    form.dList,   form.JvDriveCombo1, form.sLView,
                                          form.LView2, form.roFile,  form.hidFile,       form.sysFile,
                                          form.arcFile, form.AttrChk, form.JvSplitter1,  form.JvSplitter2,
                                          form.Panel3Caption};
        for (QWidget* control : controls) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            QVERIFY(accessible != nullptr);
            const QString name = accessible->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty() && name != QStringLiteral("/"), qPrintable(control->objectName()));
            QCOMPARE(accessible->text(QAccessible::Description), control->statusTip());
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(form.sLView)->text(QAccessible::Name), QStringLiteral("Types"));
        QCOMPARE(QAccessible::queryAccessibleInterface(form.dList)->text(QAccessible::Name), QStringLiteral("Folders"));
        QCOMPARE(QAccessible::queryAccessibleInterface(form.JvDriveCombo1)->text(QAccessible::Name),
                 QStringLiteral("Drives"));
        QVERIFY(QAccessible::queryAccessibleInterface(form.roFile)->text(QAccessible::Description).startsWith("Attributes"));
        QCOMPARE(QAccessible::queryAccessibleInterface(form.JvSplitter1->handle(1))->text(QAccessible::Name),
                 form.JvSplitter1->accessibleName());
    }

    void theCountPanelGrowsWithItsText()
    {
        TForm1 form;
        form.resize(900, 600);
        const QString count = QStringLiteral("Files: 1000000");
        form.StatusBar1->SetPanelText(1, count);
        form.FormResize();
        auto* panel = form.StatusBar1->findChildren<QLabel*>().at(1);
        QVERIFY(panel->fontMetrics().horizontalAdvance(count) <= panel->contentsRect().width());
        QCOMPARE(form.StatusBar1->PanelWidth(0), form.width() - 20 - form.StatusBar1->PanelWidth(1));
        form.StatusBar1->SetPanelText(1, QStringLiteral("Files: 3"));
        QCOMPARE(form.StatusBar1->PanelWidth(1), StatusBar::kCountPanelWidth);
    }

    void aNarrowWindowMarksWhatItCutsAndKeepsTheBannerApart()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        form.setMinimumWidth(0);
        form.resize(620, 400);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* totals = static_cast<ElidedLabel*>(form.Panel3Caption);
        QVERIFY(totals->text().startsWith(QStringLiteral("Folder attributes:")));
        QVERIFY2(totals->ShownText().startsWith(QChar(0x2026)), qPrintable(totals->ShownText()));
        QVERIFY(totals->ShownText().endsWith(QStringLiteral("Size:0.51 MB ")) ||
                totals->ShownText().contains(QStringLiteral("TOTALS")));
        auto* caption = form.Panel1->findChild<QLabel*>(QStringLiteral("Panel1Caption"));
        const int textLeft = caption->geometry().left() + (caption->width() -
                             caption->fontMetrics().horizontalAdvance(caption->text())) / 2;
        QVERIFY(textLeft > form.ISF->geometry().right());

        form.resize(973, 625);
        QCoreApplication::processEvents();
        QCOMPARE(totals->ShownText(), totals->text());
    }

    void aCutCellShowsItsWholeTextAndAWholeOneNone()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(SelectType(form, ".extensionthatislong"));
        const QModelIndex type = form.sLView->currentIndex().siblingAtColumn(0);
        QCOMPARE(form.sLView->CutCellText(type), QStringLiteral(".extensionthatislong"));
        form.sLViewClick();
        const QModelIndex name = form.FileRows()->index(0, 1);
        form.LView2->header()->resizeSection(1, 60);
        QCOMPARE(form.LView2->CutCellText(name),
                 QStringLiteral("a-name-far-too-long-for-its-column-to-show-whole.extensionthatislong"));
        QCOMPARE(form.LView2->CutCellText(form.FileRows()->index(0, 4)), QString()); // the attributes fit
    }

    void aMessageBoxIsWideEnoughForItsCaption()
    {
        TForm1 form;
        int width = 0;
        int captionWidth = 0;
        QTimer::singleShot(0, &form, [&] {
            auto* box = form.findChild<QMessageBox*>(QStringLiteral("Message"));
            if (box != nullptr) {
                width = box->sizeHint().width();
                captionWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
                box->accept();
            }
        });
        form.Properties1->trigger(); // "Select one file only!" in a plain message box
        QVERIFY(width > captionWidth + 100);
    }

    void sortsShowTheirArrowAndKeepTheCurrentRowInView()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(SelectType(form, ".dat"));
        form.sLViewClick();
        form.LView2->setFocus();
        // The largest file, in view at the top; the size sort puts it last.
        int largest = 0;
        for (std::size_t row = 0; row < form.FileRows()->RowCount(); ++row) {
            if (form.FileRows()->Name(row) == "many00.dat") {
                largest = static_cast<int>(row);
            }
        }
        form.LView2->setCurrentIndex(form.FileRows()->index(largest, 0));
        form.LView2->scrollToTop();
        QVERIFY(form.FileRows()->headerData(5, Qt::Horizontal, Qt::DecorationRole).value<QIcon>().isNull());
        Q_EMIT form.LView2->header()->sectionClicked(5); // sizes ascending: the first row goes last
        QVERIFY(!form.FileRows()->headerData(5, Qt::Horizontal, Qt::DecorationRole).value<QIcon>().isNull());
        const QRect current = form.LView2->visualRect(form.LView2->currentIndex());
        QVERIFY(form.LView2->currentIndex().row() > 40);
        QVERIFY(form.LView2->viewport()->rect().intersects(current));
    }

    void enterListsATypeAndShiftF10OpensTheFocusedListsMenu()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        form.sLView->setFocus();
        QVERIFY(SelectType(form, ".jpg"));
        QTest::keyClick(form.sLView, Qt::Key_Return);
        QCOMPARE(ListedNames(form), (std::vector<std::string>{"photo.jpg"}));

        QTest::keyClick(form.sLView, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(form.PopupMenu2->isVisible());
        form.PopupMenu2->hide();
        form.LView2->setFocus();
        QTest::keyClick(form.LView2, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(form.PopupMenu1->isVisible());
        form.PopupMenu1->hide();
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(WindowUsabilityTest)
#include "WindowUsabilityTest.moc"
