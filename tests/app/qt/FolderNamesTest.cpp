// SPDX-License-Identifier: GPL-3.0-or-later
// The window with folders whose names are not valid UTF-8: every way of choosing a folder, and the
// reports, carry the name's bytes.

#include "app/qt/ErrorReport.h"
#include "app/qt/menu1.h"
#include "app/qt/navigator/DirectoryList.h"
#include "app/qt/navigator/FolderRowsModel.h"
#include "app/qt/navigator/SelectDirectoryDialog.h"
#include "app/qt/listviews/TypeListModel.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

using namespace pellamy;

namespace {

void MakeFolder(const std::string& path)
{
    QCOMPARE(::mkdir(path.c_str(), 0755), 0);
}

void WriteFile(const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "data";
}

std::string Std(const QByteArray& bytes)
{
    return bytes.toStdString();
}

// The row of `list` whose folder is `path`, or -1.
int RowOf(const QAbstractItemModel& rows, const std::string& path)
{
    for (int row = 0; row < rows.rowCount(); ++row) {
        if (Std(rows.index(row, 0).data(FolderRowsModel::PathRole).toByteArray()) == path) {
            return row;
        }
    }
    return -1;
}

std::vector<std::string> Captions(const TForm1& form)
{
    std::vector<std::string> captions;
    for (std::size_t i = 0; i < form.TypeRows()->RowCount(); ++i) {
        captions.emplace_back(form.TypeRows()->Caption(i));
    }
    return captions;
}

} // namespace

class FolderNamesTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_temp;
    std::string m_parent; // holds the two folders below and a valid "plain" one
    std::string m_ff;     // named with the byte 0xff, holds one.txt
    std::string m_lone;   // "caf" and a lone lead byte 0xc3, holds two.pdf

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_temp.isValid());
        m_parent = QFile::encodeName(m_temp.path()).toStdString() + "/names";
        m_ff = m_parent + "/\xff";
        m_lone = m_parent + "/caf\xc3";
        MakeFolder(m_parent);
        MakeFolder(m_ff);
        MakeFolder(m_lone);
        MakeFolder(m_parent + "/plain");
        WriteFile(m_ff + "/one.txt");
        WriteFile(m_lone + "/two.pdf");
    }

    void cleanupTestCase()
    {
        // By bytes: QDir cannot name folders whose names are not valid UTF-8.
        std::filesystem::remove_all(m_parent);
    }

    void startingOnSuchAFolderKeepsItForTheNextRescan()
    {
        for (const auto& [folder, caption] : {std::pair{m_ff, ".txt"}, std::pair{m_lone, ".pdf"}}) {
            TForm1 form;
            form.FormCreate({folder});
            QCOMPARE(form.CurrentFolder(), folder + "/");
            QCOMPARE(Std(form.dList->Directory()), folder);
            QCOMPARE(Captions(form), std::vector<std::string>{caption});

            // A check box reads the folder back from the navigator.
            form.arcFile->click();
            QCOMPARE(form.CurrentFolder(), folder + "/");
            QCOMPARE(Captions(form), std::vector<std::string>{caption});
        }
    }

    void aClickInTheNavigatorShowsTheFolderClicked()
    {
        TForm1 form;
        form.FormCreate({m_parent});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        for (const std::string& folder : {m_ff, m_lone}) {
            form.dList->SetDirectory(QByteArray::fromStdString(m_parent));
            const int row = RowOf(*form.dList->Rows(), folder);
            QVERIFY(row > 0);
            const QRect rect = form.dList->visualRect(form.dList->Rows()->index(row));
            QTest::mouseClick(form.dList->viewport(), Qt::LeftButton, {}, rect.center());
            QCOMPARE(Std(form.dList->Directory()), folder);
            QCOMPARE(form.CurrentFolder(), folder + "/");
            QCOMPARE(form.TypeRows()->RowCount(), std::size_t{1});
        }
    }

    void theSelectFolderDialogReturnsTheFolderPicked()
    {
        TForm1 form;
        form.FormCreate({m_parent});
        QTimer::singleShot(0, &form, [&form, this] {
            auto* list = form.Dirs->findChild<QListView*>(QStringLiteral("DirList"));
            const int row = RowOf(*list->model(), m_ff);
            QVERIFY(row > 0);
            const QRect rect = list->visualRect(list->model()->index(row, 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseClick(form.Dirs->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
            if (form.Dirs->isVisible()) {
                form.Dirs->reject();
            }
        });
        form.SElectafolder1Click();
        QCOMPARE(form.CurrentFolder(), m_ff + "/");
        QCOMPARE(Captions(form), std::vector<std::string>{".txt"});
        QCOMPARE(Std(form.dList->Directory()), m_ff);
    }

    void aDroppedFolderKeepsItsBytes()
    {
        TForm1 form;
        form.FormCreate({m_parent});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // As file managers send it: the name's bytes percent-encoded.
        QMimeData data;
        data.setData(QStringLiteral("text/uri-list"),
                     "file://" + QByteArray::fromStdString(m_lone + "/two.pdf").toPercentEncoding("/") +
                         "\r\n");
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &drop);
        QCOMPARE(QByteArray::fromStdString(form.CurrentFolder()), QByteArray::fromStdString(m_lone + "/"));
        QCOMPARE(Captions(form), std::vector<std::string>{".pdf"});
    }

    void theReportsNameTheFolderByItsBytes()
    {
        QTemporaryDir out;
        const std::string page = QFile::encodeName(out.filePath(QStringLiteral("page.html"))).toStdString();
        TForm1 form;
        form.FormCreate({m_ff});
        QVERIFY(form.ExportHtml(form.sLView, "Folder details", page));
        std::ifstream in(page, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        QVERIFY(text.find("<title>Folder details: " + m_ff + "</title>") != std::string::npos);
    }
};

int main(int argc, char** argv)
{
    PellamyApplication app(argc, argv);
    FolderNamesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FolderNamesTest.moc"
