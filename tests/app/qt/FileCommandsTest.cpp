// SPDX-License-Identifier: GPL-3.0-or-later
// The file commands through the window's handlers on real temporary folders: opening with the
// desktop's opener, the properties entry, and copy, move and delete with their questions.

#include "app/qt/menu1.h"
#include "app/qt/listviews/FileListModel.h"
#include "app/qt/listviews/SortListViews.h"
#include "app/qt/listviews/TypeListModel.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace pellamy;

namespace {

void Write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "(missing)";
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

QByteArray Bytes(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

void ListAndSelectEveryFile(TForm1& form)
{
    form.sLView->setCurrentIndex(form.TypeRows()->index(0, 0));
    form.sLViewDblClick();
    form.Selectall1->trigger();
}

struct Question
{
    std::string text;
    std::string caption;
};

} // namespace

class FileCommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aFailedOpenSaysSoWithTheOpenersReason()
    {
        QTemporaryDir bin;
        QTemporaryDir dir;
        QVERIFY(bin.isValid() && dir.isValid());
        const std::string script = bin.path().toStdString() + "/gio";
        Write(script, "#!/bin/sh\necho 'gio: file:///x: Unable to find terminal required for application' >&2\nexit 2\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8() + ":" + oldPath);
        Write(dir.path().toStdString() + "/a.sh", "x");

        TForm1 form;
        QStringList messages;
        form.MessageShower = [&messages](const QString& text) { messages << text; };
        form.FormCreate({dir.path().toStdString()});
        ListAndSelectEveryFile(form);
        form.LView2DblClick();
        QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 1, 10000);
        QCOMPARE(messages.front(), QStringLiteral("Cannot open \"%1/a.sh\". gio: file:///x: Unable to find "
                                                  "terminal required for application")
                                       .arg(dir.path()));
        qputenv("PATH", oldPath);
    }

    void openingPassesOnePathAndDoesNotWait()
    {
        QTemporaryDir bin;
        QTemporaryDir dir;
        QVERIFY(bin.isValid() && dir.isValid());
        const std::string record = bin.path().toStdString() + "/record";
        const std::string script = bin.path().toStdString() + "/gio";
        // Each argument NUL-terminated, then a long pause the window must not wait for.
        Write(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done >> '" + record +
                          ".part'\nmv '" + record + ".part' '" + record + "'\nsleep 5\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8() + ":" + oldPath);
        const std::string folder = dir.path().toStdString() + "/";
        const std::string name = "-x it's \"q\"\nb\xff%.txt";
        Write(folder + name, "x");

        TForm1 form;
        form.FormCreate({dir.path().toStdString()});
        ListAndSelectEveryFile(form);

        // The temporary folder's path is ASCII; the name's bytes are spelled out.
        const auto uriOf = [](const std::string& path) {
            return "file://" + QUrl::toPercentEncoding(QString::fromStdString(path), "/").toStdString();
        };
        QElapsedTimer timer;
        timer.start();
        form.LView2DblClick();
        QVERIFY(timer.elapsed() < 3000);
        QTRY_COMPARE_WITH_TIMEOUT(Bytes(Read(record)),
                                  Bytes("open" + std::string(1, '\0') + uriOf(folder) +
                                        "-x%20it%27s%20%22q%22%0Ab%FF%25.txt" + std::string(1, '\0')),
                                  10000);

        for (QAction* entry : {form.OpenfolderinExplorer1, form.OpenfolderinExplorer2}) {
            std::filesystem::remove(record);
            timer.restart();
            entry->trigger();
            QVERIFY(timer.elapsed() < 3000);
            QTRY_COMPARE_WITH_TIMEOUT(
                Bytes(Read(record)),
                Bytes("open" + std::string(1, '\0') + uriOf(folder) + std::string(1, '\0')), 10000);
        }
        qputenv("PATH", oldPath);
    }

    void propertiesNeedExactlyOneRow()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string folder = dir.path().toStdString() + "/";
        Write(folder + "a.txt", "a");
        Write(folder + "b.txt", "b");
        TForm1 form;
        QStringList shown;
        form.MessageShower = [&](const QString& text) { shown << text; };
        form.FormCreate({dir.path().toStdString()});
        form.sLView->setCurrentIndex(form.TypeRows()->index(0, 0));
        form.sLViewDblClick();
        form.Properties1->trigger();
        ListAndSelectEveryFile(form);
        form.Properties1->trigger();
        QCOMPARE(shown, QStringList({QStringLiteral("Select one file only!"),
                                     QStringLiteral("Select one file only!")}));
    }

    void copyAsksBeforeReplacingAndNoGoesOn()
    {
        QTemporaryDir dir;
        QTemporaryDir target;
        QVERIFY(dir.isValid() && target.isValid());
        const std::string folder = dir.path().toStdString() + "/";
        const std::string into = target.path().toStdString();
        Write(folder + "a.txt", "new a");
        Write(folder + "b.txt", "new b");
        Write(folder + "c.txt", "new c");
        Write(into + "/a.txt", "old a");
        Write(into + "/b.txt", "old b");

        TForm1 form;
        std::vector<Question> asked;
        // No for a.txt, Yes for b.txt, in whatever order the list shows them.
        form.QuestionAsker = [&](const std::string& text, const std::string& caption) {
            asked.push_back({text, caption});
            return text.find("b.txt") != std::string::npos;
        };
        form.FolderChooserRunner = [&] { return std::optional<std::string>(into); };
        QStringList shown;
        form.MessageShower = [&](const QString& text) { shown << text; };
        form.FormCreate({dir.path().toStdString()});
        ListAndSelectEveryFile(form);
        form.Copyto1->trigger();

        QCOMPARE(asked.size(), std::size_t(2));
        QCOMPARE(asked[0].caption, std::string("FILE ALREADY EXISTS"));
        QCOMPARE(asked[1].caption, std::string("FILE ALREADY EXISTS"));
        QVERIFY(asked[0].text.find("a.txt") != std::string::npos ||
                asked[1].text.find("a.txt") != std::string::npos);
        QCOMPARE(Read(into + "/a.txt"), std::string("old a"));
        QCOMPARE(Read(into + "/b.txt"), std::string("new b"));
        QCOMPARE(Read(into + "/c.txt"), std::string("new c"));
        QCOMPARE(Read(folder + "a.txt"), std::string("new a"));
        QVERIFY(shown.isEmpty());
        QVERIFY(!form.Copyto1->isVisible());
    }

    void copyIntoAMissingFolderGivesTheSystemsReason()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Write(dir.path().toStdString() + "/a.txt", "a");
        TForm1 form;
        form.QuestionAsker = [](const std::string&, const std::string&) { return true; };
        form.FolderChooserRunner = [&] {
            return std::optional<std::string>(dir.path().toStdString() + "/none");
        };
        QStringList shown;
        form.MessageShower = [&](const QString& text) { shown << text; };
        form.FormCreate({dir.path().toStdString()});
        ListAndSelectEveryFile(form);
        form.Copyto1->trigger();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(QStringLiteral("No such file or directory")), qPrintable(shown[0]));
    }

    void moveRebuildsTheLists()
    {
        QTemporaryDir dir;
        QTemporaryDir target;
        QVERIFY(dir.isValid() && target.isValid());
        const std::string folder = dir.path().toStdString() + "/";
        Write(folder + "a.txt", "a");
        Write(folder + "b.log", "b");
        TForm1 form;
        form.FolderChooserRunner = [&] { return std::optional<std::string>(target.path().toStdString()); };
        form.FormCreate({dir.path().toStdString()});
        QCOMPARE(form.TotalFiles(), 2);
        ListAndSelectEveryFile(form);
        form.Movefileto1->trigger();
        QCOMPARE(Read(target.path().toStdString() + "/a.txt"), std::string("a"));
        QVERIFY(!std::filesystem::exists(folder + "a.txt"));
        QCOMPARE(form.TotalFiles(), 0);
        QCOMPARE(form.FileRows()->RowCount(), std::size_t(0));
        QVERIFY(!form.Movefileto1->isVisible());
    }

    void deleteAnsweredNoChangesNothingAndYesDeletes()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string folder = dir.path().toStdString() + "/";
        Write(folder + "a.txt", "a");
        Write(folder + "b.txt", "b");
        TForm1 form;
        bool answer = false;
        std::vector<Question> asked;
        form.QuestionAsker = [&](const std::string& text, const std::string& caption) {
            asked.push_back({text, caption});
            return answer;
        };
        form.FormCreate({dir.path().toStdString()});
        ListAndSelectEveryFile(form);
        // A file added behind the window's back shows only once the lists are rebuilt.
        Write(folder + "c.txt", "c");
        form.Deletefiles1->trigger();
        QCOMPARE(asked.size(), std::size_t(1));
        QCOMPARE(asked[0].caption, std::string("Deleting Files"));
        QCOMPARE(asked[0].text, std::string("Are you sure you want to delete these files"));
        QVERIFY(std::filesystem::exists(folder + "a.txt") && std::filesystem::exists(folder + "b.txt"));
        QCOMPARE(form.TotalFiles(), 2);

        answer = true;
        form.Deletefiles1->trigger();
        QVERIFY(!std::filesystem::exists(folder + "a.txt") && !std::filesystem::exists(folder + "b.txt"));
        QCOMPARE(form.TotalFiles(), 1);
        QVERIFY(!form.Deletefiles1->isVisible());
    }
};

QTEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
