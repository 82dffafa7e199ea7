// SPDX-License-Identifier: GPL-3.0-or-later
// The window's popup menus and the report commands behind them: what is copied and saved of the
// rows shown.
#include "app/qt/ErrorReport.h"
#include "app/qt/WindowTestSupport.h"
#include "app/qt/menu1.h"
#include "app/qt/listviews/FileListModel.h"
#include "app/qt/listviews/SortListViews.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace pellamy;

class WindowCommandsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString Folder() const { return m_dir.path() + u'/'; }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        WriteSampleFolder(m_dir);
    }

    void popupMenusShowTheirEntriesInOrder()
    {
        TForm1 form;
        QCOMPARE(VisibleEntries(form.PopupMenu1),
                 (QStringList{"Copy selected file names", "Copy selected file details as CSV",
                              "Copy selected file details as XML", "Copy selected file details as HTML",
                              "Copy files to clipboard", "Save selected file details",
                              "Open folder in  Explorer", "-", "Select all", "Properties"}));
        QCOMPARE(VisibleEntries(form.PopupMenu2),
                 (QStringList{"Copy folder details as CSV", "Copy folder details as XML",
                              "Copy folder details as HTML", "Save folder details", "Copy folder name",
                              "Select a folder", "Open folder in Explorer", "-",
                              "Register/unregister in context menu", "Use skin"}));
        QVERIFY(form.Copyto1 != nullptr && !form.Copyto1->isVisible());
        QVERIFY(!form.Movefileto1->isVisible());
        QVERIFY(!form.Deletefiles1->isVisible());
        QVERIFY(form.Useskin1->isCheckable());
    }

    void selectAllSelectsEveryFileRow()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        form.Selectall1Click();
        QCOMPARE(form.LView2->selectionModel()->selectedRows().size(), 0);
        QVERIFY(SelectType(form, ""));
        form.sLViewDblClick();
        form.Selectall1->trigger();
        QCOMPARE(form.LView2->selectionModel()->selectedRows().size(), 5);
    }

    void reportCommandsCopyTheDisplayedRows()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        QClipboard* clipboard = QGuiApplication::clipboard();

        clipboard->setText(QStringLiteral("before"));
        form.Copyfilelist1->trigger();
        QCOMPARE(clipboard->text(), QStringLiteral("before")); // no file rows: nothing happens

        QVERIFY(SelectType(form, ".jpg"));
        form.sLViewClick();
        form.Copyalldetails1->trigger();
        QCOMPARE(clipboard->text(), QStringLiteral("before")); // no file row selected
        form.Copyfilelist1->trigger();
        QCOMPARE(clipboard->text(), QString()); // rows but none selected: an empty text

        form.Selectall1->trigger();
        form.Copyfilelist1->trigger();
        QCOMPARE(clipboard->text(), Folder() + QStringLiteral("photo.jpg\r\n"));
        form.Copyalldetails1->trigger();
        const QStringList csv = clipboard->text().split(QStringLiteral("\r\n"));
        QCOMPARE(csv.size(), 3);
        QCOMPARE(csv[0], QStringLiteral("Name,Created,Modified,Attribs,Size"));
        QVERIFY(csv[1].startsWith(Folder() + QStringLiteral("photo.jpg,\"")));
        QVERIFY(csv[1].endsWith(QStringLiteral(",A,\"512 KB\"")));
        QCOMPARE(csv[2], QString());

        form.CopyfolderdetailsasCSV1->trigger();
        QVERIFY(clipboard->text().startsWith(QStringLiteral("Type,Description,Number,Size\r\n,")));
        form.Copyfoldername1->trigger();
        QCOMPARE(clipboard->text(), m_dir.path());
        form.Print1->trigger();
        QVERIFY(clipboard->text().startsWith(QStringLiteral("<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n"
                                                            "<title>Folder content: ") +
                                             m_dir.path() + QStringLiteral("</title>\r\n")));
        form.CopyfolderdetailsasXML1->trigger();
        QVERIFY(clipboard->text().contains(QStringLiteral("<FileTotal>5</FileTotal>")));
        form.XML1->trigger();
        QVERIFY(clipboard->text().contains(QStringLiteral("<Filename>photo.jpg</Filename>")));

        // An empty type list leaves the clipboard as it was.
        form.HandleFileDrop({"/names/nothing"});
        clipboard->setText(QStringLiteral("kept"));
        form.CopyfolderdetailsasCSV1->trigger();
        QCOMPARE(clipboard->text(), QStringLiteral("kept"));
    }

    void copiesAfterASortCarryTheSelectedRowsInTheirNewOrder()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        QVERIFY(SelectType(form, ""));
        form.sLViewDblClick();
        form.Selectall1->trigger();
        FileListModel* rows = form.FileRows();
        for (std::size_t i = 0; i < rows->RowCount(); ++i) {
            if (rows->Name(i) == "a.txt") {
                form.LView2->selectionModel()->select(rows->index(static_cast<int>(i), 0),
                                                      QItemSelectionModel::Deselect |
                                                          QItemSelectionModel::Rows);
            }
        }
        QClipboard* clipboard = QGuiApplication::clipboard();
        const QString folder = Folder();

        Q_EMIT form.LView2->header()->sectionClicked(5); // sizes ascending
        form.Copyfilelist1->trigger();
        QCOMPARE(clipboard->text(), folder + ".profile\r\n" + folder + "README\r\n" + folder + "b.TXT\r\n" +
                                        folder + "photo.jpg\r\n");

        Q_EMIT form.LView2->header()->sectionClicked(5); // and descending
        form.Copyfiles1->trigger();
        const QMimeData* data = clipboard->mimeData();
        QVERIFY(data != nullptr);
        QVERIFY(data->hasUrls());
        const QList<QUrl> urls = data->urls();
        QCOMPARE(urls.size(), 4);
        QCOMPARE(urls.front().toLocalFile(), folder + "photo.jpg");
        QCOMPARE(urls.back().toLocalFile(), folder + ".profile");
        // The temporary folder's name needs no escapes, so each URI is the path behind "file://".
        const QByteArray path = QFile::encodeName(folder);
        QCOMPARE(data->data(QStringLiteral("text/uri-list")),
                 "file://" + path + "photo.jpg\r\nfile://" + path + "b.TXT\r\nfile://" + path +
                     "README\r\nfile://" + path + ".profile\r\n");
        QCOMPARE(data->text(), folder + "photo.jpg\r\n" + folder + "b.TXT\r\n" + folder + "README\r\n" +
                                   folder + ".profile\r\n");
        QCOMPARE(data->data(QStringLiteral("application/x-kde-cutselection")), QByteArray("0"));
    }

    void saveCommandsFollowTheChosenFilter()
    {
        QTemporaryDir out;
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        QStringList messages;
        form.MessageShower = [&messages](const QString& text) { messages << text; };
        int dialogs = 0;
        std::string chosen;
        int filter = 1;
        bool confirm = true;
        form.SaveDialogRunner = [&](std::string& fileName, int& filterIndex) {
            ++dialogs;
            fileName = chosen;
            filterIndex = filter;
            return confirm;
        };

        form.Saveselectedfiledetailsttofile1->trigger();
        QCOMPARE(dialogs, 0); // no selected file row: not even the dialog

        chosen = Std(out.filePath(QStringLiteral("report.csv")));
        filter = 2;
        form.Savefolderdetails1->trigger();
        QCOMPARE(dialogs, 1);
        QFile saved(out.filePath(QStringLiteral("report.csv")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<FolderList>"));
        saved.close();

        filter = 3;
        form.Savefolderdetails1->trigger();
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("<title>Folder details: "));
        saved.close();

        confirm = false;
        chosen = Std(out.filePath(QStringLiteral("cancelled.csv")));
        form.Savefolderdetails1->trigger();
        QVERIFY(!QFile::exists(out.filePath(QStringLiteral("cancelled.csv"))));

        confirm = true;
        filter = 1;
        chosen = Std(out.filePath(QStringLiteral("missing/report.csv")));
        form.Savefolderdetails1->trigger();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0], QStringLiteral("Cannot create file \"") +
                                  out.filePath(QStringLiteral("missing/report.csv")) +
                                  QStringLiteral("\". No such file or directory"));
        QVERIFY(messages.size() == 1);
    }
};

int main(int argc, char** argv)
{
    PellamyApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Pellamy"));
    WindowCommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WindowCommandsTest.moc"
