// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/navigator/SelectDirectoryDialog.h"

#include "FixedDrives.h"
#include "app/qt/navigator/FolderRowsModel.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <sys/stat.h>

namespace pellamy {

struct Question
{
    QString Caption;
    QString Text;
};

class SelectDirectoryDialogTest : public QObject
{
    Q_OBJECT

private:
    QString Path(const QString& relative) const { return m_temp->path() + QLatin1Char('/') + relative; }
    QByteArray Dir(const QString& relative) const { return QFile::encodeName(Path(relative)); }

    std::unique_ptr<SelectDirectoryDialog> MakeDialog()
    {
        auto dialog = std::make_unique<SelectDirectoryDialog>(nullptr, m_folders);
        dialog->SetConfirmQuestion([this](QWidget*, const QString& caption, const QString& text) {
            m_questions.push_back(Question{caption, text});
            if (m_answers.empty()) {
                return false;
            }
            const bool yes = m_answers.front();
            m_answers.erase(m_answers.begin());
            return yes;
        });
        new QAbstractItemModelTester(dialog->findChild<QListView*>("DirList")->model(),
                                     QAbstractItemModelTester::FailureReportingMode::QtTest, dialog.get());
        return dialog;
    }

    // Runs the dialog with `steps` carried out once it is shown. Steps that fail part-way leave
    // it open; it is then cancelled so that the test ends.
    static bool Run(SelectDirectoryDialog& dialog, const std::function<void()>& steps)
    {
        QTimer::singleShot(0, &dialog, [&dialog, steps] {
            steps();
            if (dialog.isVisible()) {
                dialog.reject();
            }
        });
        return dialog.Execute();
    }

    static void TypeAndConfirm(SelectDirectoryDialog& dialog, const QString& text)
    {
        dialog.findChild<QLineEdit*>("DirName")->setText(text);
        QTest::mouseClick(dialog.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
    }

    static void Cancel(SelectDirectoryDialog& dialog)
    {
        QTest::mouseClick(dialog.findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
    }

    static QStringList RowNames(SelectDirectoryDialog& dialog)
    {
        const QAbstractItemModel* rows = dialog.findChild<QListView*>("DirList")->model();
        QStringList names;
        for (int row = 0; row < rows->rowCount(); ++row) {
            names.push_back(rows->index(row, 0).data().toString());
        }
        return names;
    }

    static bool IsFolderBytes(const QByteArray& path)
    {
        struct stat info
        {};
        return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
    }

    std::vector<Drive> FakeDrives() const
    {
        const QString root = m_temp->path();
        return std::vector<Drive>{{"/", DriveKind::Fixed, {}, {}},
                                  {(root + "/c").toStdString(), DriveKind::Fixed, "SYSTEM", "/dev/sda1"},
                                  {(root + "/net").toStdString(), DriveKind::Remote, {}, "//server/public"},
                                  {(root + "/nodisc").toStdString(), DriveKind::CdRom, {}, "/dev/sr0"},
                                  {(root + "/ram").toStdString(), DriveKind::RamDisk, {}, "tmpfs"}};
    }

    std::unique_ptr<QTemporaryDir> m_temp;
    FixedDrives m_folders{[this] { return FakeDrives(); }};
    std::vector<Question> m_questions;
    std::vector<bool> m_answers;
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
        QVERIFY(QDir().mkpath(Path("c/Program Files/Beta")));
        QVERIFY(QDir().mkpath(Path("c/Program Files/alpha")));
        QVERIFY(QDir().mkpath(Path("net/shared")));
        QFile file(Path("c/Program Files/readme.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        m_questions.clear();
        m_answers.clear();
        QDir::setCurrent(Path("c"));
    }

    void cleanup()
    {
        QDir::setCurrent(m_startFolder);
        // By bytes: QDir cannot name folders whose names are not valid UTF-8.
        std::filesystem::remove_all(QFile::encodeName(m_temp->path()).toStdString());
        m_temp.reset();
    }

    void showsTheInitialFolderWithItsTextsAndPictures()
    {
        auto dialog = MakeDialog();
        dialog->SetInitialDir(Dir("c/Program Files"));
        const bool confirmed = Run(*dialog, [&] {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Select Directory"));
            QCOMPARE(dialog->size(), QSize(424, 255));
            QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
            QStringList labels;
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                labels.push_back(label->text());
            }
            labels.sort();
            QCOMPARE(labels, (QStringList{"&Directories:", "&Files: (*.*)", "D&rives:", "Directory &Name:"}));
            QStringList buttons;
            for (const QPushButton* button : dialog->findChildren<QPushButton*>()) {
                buttons.push_back(button->text());
            }
            QCOMPARE(buttons, (QStringList{"OK", "Cancel"}));
            QVERIFY(dialog->findChild<QPushButton*>("OKButton")->isDefault());

            const QLineEdit* edit = dialog->findChild<QLineEdit*>("DirName");
            QCOMPARE(edit->text(), Path("c/Program Files"));
            QCOMPARE(edit->selectedText(), Path("c/Program Files"));
            QCOMPARE(RowNames(*dialog), (QStringList{Path("c"), "Program Files", "alpha", "Beta"}));
            const QAbstractItemModel* rows = dialog->findChild<QListView*>("DirList")->model();
            QCOMPARE(rows->index(0, 0).data(FolderRowsModel::KindRole).toInt(), int(FolderRowKind::Ancestor));
            QCOMPARE(rows->index(1, 0).data(FolderRowsModel::KindRole).toInt(), int(FolderRowKind::Open));
            QCOMPARE(rows->index(2, 0).data(FolderRowsModel::DepthRole).toInt(), 2);
            QCOMPARE(rows->index(1, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16, 15).size(),
                     QSize(16, 15));
            const QAbstractItemModel* files = dialog->findChild<QListView*>("FileList")->model();
            QCOMPARE(files->rowCount(), 1);
            QCOMPARE(files->index(0, 0).data().toString(), QStringLiteral("readme.txt"));

            const QComboBox* drives = dialog->findChild<QComboBox*>("DriveList");
            QCOMPARE(drives->count(), 5);
            QCOMPARE(drives->itemText(1), Path("c") + " [SYSTEM]");
            QCOMPARE(drives->itemText(2), Path("net") + " //server/public");
            QCOMPARE(drives->currentText(), Path("c") + " [SYSTEM]");
            Cancel(*dialog);
        });
        QVERIFY(!confirmed);
        QCOMPARE(dialog->Directory(), Dir("c/Program Files"));
        QVERIFY(m_questions.empty());
    }

    void createsAMissingFolderWithItsParentsAndReturnsTheTextAsTyped()
    {
        auto dialog = MakeDialog();
        dialog->SetInitialDir(Dir("c"));
        m_answers = {true};
        const QString typed = Path("new/nested/folder/");
        QVERIFY(Run(*dialog, [&] { TypeAndConfirm(*dialog, typed); }));
        QCOMPARE(dialog->Directory(), QFile::encodeName(typed));
        QVERIFY(QFileInfo(Path("new/nested/folder")).isDir());
        QCOMPARE(m_questions.size(), std::size_t(1));
        QCOMPARE(m_questions[0].Caption, QStringLiteral("Confirm"));
        QCOMPARE(m_questions[0].Text, QStringLiteral("The specified directory does not exist. Create it?"));

        // An existing folder is accepted without a question, its trailing "/" kept.
        QVERIFY(Run(*dialog, [&] { TypeAndConfirm(*dialog, Path("c/Program Files/")); }));
        QCOMPARE(dialog->Directory(), Dir("c/Program Files/"));
        QCOMPARE(m_questions.size(), std::size_t(1));
        QCOMPARE(dialog->InitialDir(), Dir("c"));
    }

    void aRelativeNameIsMadeInTheOpenFolder()
    {
        auto dialog = MakeDialog();
        dialog->SetInitialDir(Dir("c/Program Files"));
        QDir::setCurrent(Path("net"));
        m_answers = {true};
        QVERIFY(Run(*dialog, [&] { TypeAndConfirm(*dialog, QStringLiteral("made/here")); }));
        QCOMPARE(dialog->Directory(), QByteArray("made/here"));
        QVERIFY(QFileInfo(Path("c/Program Files/made/here")).isDir());
        QVERIFY(!QFileInfo::exists(Path("net/made")));
        QCOMPARE(QDir::currentPath(), Path("c/Program Files"));
    }

    void answeringNoReturnsToTheDialogAndCancelKeepsTheInitialFolder()
    {
        auto dialog = MakeDialog();
        dialog->SetInitialDir(Dir("c"));
        m_answers = {false};
        const bool confirmed = Run(*dialog, [&] {
            TypeAndConfirm(*dialog, Path("never"));
            QVERIFY(dialog->isVisible());
            Cancel(*dialog);
        });
        QVERIFY(!confirmed);
        QCOMPARE(dialog->Directory(), Dir("c"));
        QVERIFY(!QFileInfo::exists(Path("never")));
        QCOMPARE(m_questions.size(), std::size_t(1));

        // Closing the window is a cancel too.
        QVERIFY(!Run(*dialog, [&] { dialog->close(); }));
        QCOMPARE(dialog->Directory(), Dir("c"));
    }

    void anEmptyNameAcceptedWithYesCannotBeCreated()
    {
        auto dialog = MakeDialog();
        dialog->SetInitialDir(Dir("c"));
        m_answers = {true};
        QVERIFY_THROWS_EXCEPTION(DirectoryCreateError,
                                 Run(*dialog, [&] { TypeAndConfirm(*dialog, QString()); }));
        QCOMPARE(m_questions.size(), std::size_t(1));
        try {
            throw DirectoryCreateError();
        } catch (const std::exception& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Unable to create directory"));
        }

        // The next use starts afresh.
        QVERIFY(!Run(*dialog, [&] { Cancel(*dialog); }));
        QCOMPARE(dialog->Directory(), Dir("c"));
    }

    void opensOnTheWorkingDirectoryWithoutAUsableInitialFolder()
    {
        auto dialog = MakeDialog();
        QDir::setCurrent(Path("net/shared"));
        for (const QByteArray& initial : {QByteArray(), Dir("missing")}) {
            dialog->SetInitialDir(initial);
            QVERIFY(!Run(*dialog, [&] {
                QCOMPARE(dialog->OpenFolder(), Dir("net/shared"));
                Cancel(*dialog);
            }));
            QCOMPARE(dialog->Directory(), initial);
        }
    }

    void folderNamesThatAreNotUtf8ComeBackByteForByte()
    {
        const QByteArray ff = Dir("c/Program Files") + "/\xff";
        const QByteArray lone = Dir("c/Program Files/Beta") + "/caf\xc3";
        QCOMPARE(::mkdir(ff.constData(), 0755), 0);
        QCOMPARE(::mkdir(lone.constData(), 0755), 0);
        auto dialog = MakeDialog();

        // Opened on such a folder and confirmed as shown.
        dialog->SetInitialDir(ff);
        QVERIFY(Run(*dialog, [&] {
            QCOMPARE(dialog->OpenFolder(), ff);
            QCOMPARE(RowNames(*dialog), (QStringList{Path("c"), "Program Files", QStringLiteral("\uFFFD")}));
            const QLineEdit* edit = dialog->findChild<QLineEdit*>("DirName");
            QCOMPARE(edit->text(), Path("c/Program Files/") + QStringLiteral("\uFFFD"));
            TypeAndConfirm(*dialog, edit->text());
        }));
        QCOMPARE(dialog->Directory(), ff);

        // A name typed below it is made inside that very folder.
        m_answers = {true};
        QVERIFY(Run(*dialog, [&] {
            TypeAndConfirm(*dialog, dialog->findChild<QLineEdit*>("DirName")->text() + "/new/");
        }));
        QCOMPARE(dialog->Directory(), ff + "/new/");
        QVERIFY(IsFolderBytes(ff + "/new"));
        QCOMPARE(m_questions.size(), std::size_t(1));

        // Reached with a double click on its row.
        dialog->SetInitialDir(Dir("c/Program Files/Beta"));
        QVERIFY(Run(*dialog, [&] {
            QListView* list = dialog->findChild<QListView*>("DirList");
            QCOMPARE(RowNames(*dialog).value(3), QStringLiteral("caf\uFFFD"));
            const QRect row = list->visualRect(list->model()->index(3, 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
            QCOMPARE(dialog->OpenFolder(), lone);
            TypeAndConfirm(*dialog, dialog->findChild<QLineEdit*>("DirName")->text());
        }));
        QCOMPARE(dialog->Directory(), lone);

        // Text that does not begin with the shown folder is taken as typed.
        QVERIFY(Run(*dialog, [&] { TypeAndConfirm(*dialog, Path("c/Program Files/alpha")); }));
        QCOMPARE(dialog->Directory(), Dir("c/Program Files/alpha"));
    }

    void doubleClickAndEnterOpenARowAndASingleClickOnlySelects()
    {
        auto dialog = MakeDialog();
        dialog->SetInitialDir(Dir("c/Program Files"));
        QVERIFY(Run(*dialog, [&] {
            QListView* list = dialog->findChild<QListView*>("DirList");
            const QRect beta = list->visualRect(list->model()->index(3, 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, beta.center());
            QCOMPARE(list->currentIndex().row(), 3);
            QCOMPARE(dialog->OpenFolder(), Dir("c/Program Files"));

            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, beta.center());
            QCOMPARE(dialog->OpenFolder(), Dir("c/Program Files/Beta"));
            QCOMPARE(RowNames(*dialog), (QStringList{Path("c"), "Program Files", "Beta"}));
            QCOMPARE(dialog->findChild<QLineEdit*>("DirName")->text(), Path("c/Program Files/Beta"));

            list->setFocus();
            list->setCurrentIndex(list->model()->index(0, 0));
            QTest::keyClick(list, Qt::Key_Return);
            QCOMPARE(dialog->OpenFolder(), Dir("c"));
            QVERIFY(dialog->isVisible());

            // A drive that cannot be opened leaves the list where it is.
            QComboBox* drives = dialog->findChild<QComboBox*>("DriveList");
            drives->setFocus();
            QTest::keyClick(drives, Qt::Key_Down); // the share
            QCOMPARE(dialog->OpenFolder(), Dir("net"));
            QTest::keyClick(drives, Qt::Key_Down); // no disc
            QCOMPARE(dialog->OpenFolder(), Dir("net"));
            QCOMPARE(drives->currentIndex(), 2);
            TypeAndConfirm(*dialog, dialog->findChild<QLineEdit*>("DirName")->text());
        }));
        QCOMPARE(dialog->Directory(), Dir("net"));
    }
};

} // namespace pellamy

QTEST_MAIN(pellamy::SelectDirectoryDialogTest)
#include "SelectDirectoryDialogTest.moc"
