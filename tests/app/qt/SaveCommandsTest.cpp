// SPDX-License-Identifier: GPL-3.0-or-later
// The save commands through the real save dialog, and the bytes the report commands put on the
// clipboard.

#include "app/qt/ErrorReport.h"
#include "app/qt/menu1.h"
#include "app/qt/listviews/SortListViews.h"
#include "app/qt/listviews/TypeListModel.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>

using namespace pellamy;

namespace {

std::string Std(const QString& text)
{
    return text.toStdString();
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QByteArray ClipboardBytes()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr ? data->data(QStringLiteral("text/plain")) : QByteArray();
}

// Lists every file of the folder shown and selects every row, as a user would before saving.
void ListAndSelectEveryFile(TForm1& form)
{
    TypeListModel* rows = form.TypeRows();
    form.sLView->setCurrentIndex(rows->index(0, 0));
    form.sLViewDblClick();
    form.Selectall1->trigger();
}

// What the dialog shows once it is open: the caption of the chosen filter and the name typed.
struct DialogState
{
    QString Filter;
    QString Name;
};

// Once the save dialog shows, records what it offers, then does what a user does: types `name`
// into the file name box, picks the filter at `filterIndex` (1-based) in the type box, and clicks
// Save. A dialog that stays open after that is cancelled, so that a fault fails the test instead
// of hanging it.
void AnswerDialog(QFileDialog* dialog, const QString& name, int filterIndex, DialogState* seen = nullptr)
{
    QTimer::singleShot(0, dialog, [=] {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        if (edit == nullptr || types == nullptr || buttons == nullptr) {
            dialog->reject();
            return;
        }
        if (seen != nullptr) {
            seen->Filter = types->currentText();
            seen->Name = edit->text();
        }
        if (filterIndex > 0) {
            types->setCurrentIndex(filterIndex - 1);
            Q_EMIT types->activated(filterIndex - 1);
        }
        if (!name.isNull()) {
            edit->setText(name);
        }
        buttons->button(QDialogButtonBox::Save)->click();
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
}

} // namespace

class SaveCommandsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_out;

    QString Out(const QString& name) const { return m_out.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        QVERIFY(m_out.isValid());
        const std::string folder = Std(m_dir.path()) + "/";
        for (const char* name : {"a.txt", "photo.jpg", "README", "bad\xff.log"}) {
            std::ofstream(folder + name, std::ios::binary) << "some bytes";
        }
    }

    void cleanupTestCase()
    {
        // QDir cannot remove a name that is not UTF-8.
        std::error_code ec;
        std::filesystem::remove_all(Std(m_dir.path()), ec);
    }

    void eachFilterOfTheRealDialogSavesItsFormat()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        ListAndSelectEveryFile(form);
        QStringList messages;
        form.MessageShower = [&messages](const QString& text) { messages << text; };
        form.SD1->setOption(QFileDialog::DontUseNativeDialog, true);
        // The dialog opens in the working directory.
        QVERIFY(QDir::setCurrent(m_out.path()));

        // Each saved file holds the bytes the matching copy command puts on the clipboard (the
        // saved folder page is titled "Folder details", the copied one "Folder content").
        struct Case
        {
            QAction* Save;
            int Filter;
            QString Name;
            QAction* Copy;
        };
        const QList<Case> cases = {
            {form.Savefolderdetails1, 1, QStringLiteral("folder.csv"), form.CopyfolderdetailsasCSV1},
            {form.Savefolderdetails1, 2, QStringLiteral("folder.xml"), form.CopyfolderdetailsasXML1},
            {form.Savefolderdetails1, 3, QStringLiteral("folder.html"), form.Print1},
            {form.Saveselectedfiledetailsttofile1, 1, QStringLiteral("files.csv"), form.Copyalldetails1},
            {form.Saveselectedfiledetailsttofile1, 2, QStringLiteral("files.xml"), form.XML1},
            {form.Saveselectedfiledetailsttofile1, 3, QStringLiteral("files.html"),
             form.CopyselectedfiledetailsasHTML1},
        };
        for (const Case& c : cases) {
            AnswerDialog(form.SD1, c.Name, c.Filter);
            c.Save->trigger();
            c.Copy->trigger();
            QByteArray expected = ClipboardBytes();
            expected.replace("<title>Folder content: ", "<title>Folder details: ");
            QVERIFY2(!expected.isEmpty(), qPrintable(c.Name));
            QCOMPARE(FileBytes(Out(c.Name)), expected);
        }
        QVERIFY(FileBytes(Out(QStringLiteral("folder.xml"))).startsWith("<?xml version=\"1.0\""));
        QVERIFY(FileBytes(Out(QStringLiteral("files.html"))).startsWith("<html>\r\n"));
        QCOMPARE(messages, QStringList());
    }

    void theFormatFollowsTheFilterAndTheNextUseOffersTheLastChoice()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        ListAndSelectEveryFile(form);
        form.SD1->setOption(QFileDialog::DontUseNativeDialog, true);
        // The dialog opens in the working directory.
        QVERIFY(QDir::setCurrent(m_out.path()));

        // The first use offers the CSV filter and no name.
        DialogState first;
        AnswerDialog(form.SD1, QStringLiteral("really-xml.csv"), 2, &first);
        form.Savefolderdetails1->trigger();
        QCOMPARE(first.Filter, QStringLiteral("CSV File(*.csv)"));
        QCOMPARE(first.Name, QString());
        QVERIFY(FileBytes(Out(QStringLiteral("really-xml.csv"))).contains("\r\n<FolderList>\r\n"));

        AnswerDialog(form.SD1, QStringLiteral("last.html"), 3);
        form.Savefolderdetails1->trigger();
        QVERIFY(FileBytes(Out(QStringLiteral("last.html"))).contains("<title>Folder details: "));

        // The other command opens with the HTML filter and the last name; accepting them as they
        // are saves the file list's page over that file.
        DialogState next;
        AnswerDialog(form.SD1, QString(), 0, &next);
        form.Saveselectedfiledetailsttofile1->trigger();
        QCOMPARE(next.Filter, QStringLiteral("HTML File(*.html)"));
        QCOMPARE(next.Name, QStringLiteral("last.html"));
        QVERIFY(FileBytes(Out(QStringLiteral("last.html"))).contains("<title>Files by type: "));

        // A name typed without an extension gets the chosen filter's.
        AnswerDialog(form.SD1, QStringLiteral("typed"), 2);
        form.Savefolderdetails1->trigger();
        QVERIFY(FileBytes(Out(QStringLiteral("typed.xml"))).contains("\r\n<FolderList>\r\n"));
        QVERIFY(!QFile::exists(Out(QStringLiteral("typed"))));

        // Cancelling writes nothing.
        const QByteArray saved = FileBytes(Out(QStringLiteral("last.html")));
        QTimer::singleShot(0, form.SD1, [&form] { form.SD1->reject(); });
        form.Savefolderdetails1->trigger();
        QCOMPARE(FileBytes(Out(QStringLiteral("last.html"))), saved);
    }

    void reportBytesReachTheClipboardUnchanged()
    {
        TForm1 form;
        form.FormCreate({Std(m_dir.path())});
        ListAndSelectEveryFile(form);
        const QByteArray folder = QFile::encodeName(m_dir.path()) + '/';

        form.Copyfilelist1->trigger();
        QVERIFY(ClipboardBytes().contains(folder + "bad\xff.log\r\n"));
        form.Copyalldetails1->trigger();
        QVERIFY(ClipboardBytes().contains("\r\n" + folder + "bad\xff.log,\""));
        form.CopyselectedfiledetailsasHTML1->trigger();
        QVERIFY(ClipboardBytes().contains("<td>bad\xff.log</td>"));
        form.Copyfoldername1->trigger();
        QCOMPARE(ClipboardBytes(), QFile::encodeName(m_dir.path()));
    }
};

int main(int argc, char** argv)
{
    PellamyApplication app(argc, argv);
    SaveCommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SaveCommandsTest.moc"
