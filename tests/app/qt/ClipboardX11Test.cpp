// SPDX-License-Identifier: GPL-3.0-or-later
// The window's copies read by another program through a real X server's clipboard.

#include "app/qt/ErrorReport.h"
#include "app/qt/menu1.h"
#include "app/qt/listviews/SortListViews.h"
#include "app/qt/listviews/TypeListModel.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>

using namespace pellamy;

class ClipboardX11Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
            m_xclip = QStandardPaths::findExecutable(QStringLiteral("xclip"));
        }
    }

    void anotherProgramReadsTheReportBytesUnchanged()
    {
        if (m_xclip.isEmpty()) {
            QSKIP("needs an X server (run under xvfb-run) and xclip; the clipboard is not checked here");
        }
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string folder = dir.path().toStdString() + "/";
        std::ofstream(folder + "bad\xff.log", std::ios::binary) << "x";

        TForm1 form;
        form.FormCreate({dir.path().toStdString()});
        form.sLView->setCurrentIndex(form.TypeRows()->index(0, 0));
        form.sLViewDblClick();
        form.Selectall1->trigger();
        form.Copyfilelist1->trigger();

        QCOMPARE(ReadClipboard(QStringLiteral("text/plain")),
                 QByteArray::fromStdString(folder + "bad\xff.log\r\n"));

        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    void aRichEditorReadsTheHtmlCopyAsHtml()
    {
        if (m_xclip.isEmpty()) {
            QSKIP("needs an X server (run under xvfb-run) and xclip; the clipboard is not checked here");
        }
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::ofstream(dir.path().toStdString() + "/a <b>.txt", std::ios::binary) << "x";
        TForm1 form;
        form.FormCreate({dir.path().toStdString()});
        form.Print1->trigger();
        const QByteArray html = ReadClipboard(QStringLiteral("text/html"));
        QVERIFY2(html.startsWith("<html>\r\n"), html.constData());
        QVERIFY(html.contains("<title>Folder content: "));
        QCOMPARE(ReadClipboard(QStringLiteral("text/plain")), html);
    }

    void anotherProgramReadsEveryFormOfTheCopiedFiles()
    {
        if (m_xclip.isEmpty()) {
            QSKIP("needs an X server (run under xvfb-run) and xclip; the clipboard is not checked here");
        }
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string folder = dir.path().toStdString() + "/";
        // The folder's own path is ASCII; the names carry blanks, "%", "#", a letter that is not
        // ASCII and a byte that is not UTF-8.
        const std::string first = "a b%#.txt";
        const std::string second = "\xc3\xa9t\xe9.txt";
        std::ofstream(folder + first, std::ios::binary) << "1";
        std::ofstream(folder + second, std::ios::binary) << "2";

        TForm1 form;
        form.FormCreate({dir.path().toStdString()});
        form.sLView->setCurrentIndex(form.TypeRows()->index(0, 0));
        form.sLViewDblClick();
        form.Selectall1->trigger();
        // The list's order decides the order of the paths.
        const std::string top =
            form.LView2->model()->index(0, 1).data().toString() == QStringLiteral("a b%#.txt") ? first
                                                                                               : second;
        const std::string bottom = top == first ? second : first;
        const auto uri = [&](const std::string& name) {
            const std::string encoded = name == first ? "a%20b%25%23.txt" : "%C3%A9t%E9.txt";
            return "file://" + folder + encoded;
        };
        QVERIFY(form.Copyfiles1->isVisible());
        form.Copyfiles1->trigger();

        const auto bytes = [](const std::string& text) {
            return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
        };
        QCOMPARE(ReadClipboard(QStringLiteral("text/uri-list")),
                 bytes(uri(top) + "\r\n" + uri(bottom) + "\r\n"));
        QCOMPARE(ReadClipboard(QStringLiteral("x-special/gnome-copied-files")),
                 bytes("copy\n" + uri(top) + "\n" + uri(bottom)));
        QCOMPARE(ReadClipboard(QStringLiteral("text/plain")),
                 bytes(folder + top + "\r\n" + folder + bottom + "\r\n"));
        std::string block(20, '\0');
        block[0] = 20;
        block += folder + top + '\0' + folder + bottom + '\0' + '\0';
        QCOMPARE(ReadClipboard(QStringLiteral("application/x-pellamy-dropfiles")), bytes(block));

        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    void noSelectedRowLeavesTheClipboardAsItWas()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::ofstream(dir.path().toStdString() + "/a.txt") << "a";
        TForm1 form;
        form.FormCreate({dir.path().toStdString()});
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QVERIFY(!form.PutFilesOnClipboard());
        form.Copyfiles1->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    }

private:
    // What another program reads from the clipboard under `target`. The window answers xclip's
    // request from its event loop, which the wait keeps running.
    QByteArray ReadClipboard(const QString& target) const
    {
        QProcess reader;
        reader.start(m_xclip, {QStringLiteral("-o"), QStringLiteral("-selection"),
                               QStringLiteral("clipboard"), QStringLiteral("-t"), target});
        if (!QTest::qWaitFor([&] { return reader.state() == QProcess::NotRunning; }, 20000)) {
            reader.kill();
            reader.waitForFinished();
            return QByteArray("(timed out)");
        }
        return reader.exitCode() == 0 ? reader.readAllStandardOutput() : QByteArray("(xclip failed)");
    }

    QString m_xclip; // empty where there is no X server or no xclip
};

int main(int argc, char** argv)
{
    PellamyApplication app(argc, argv);
    ClipboardX11Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "ClipboardX11Test.moc"
