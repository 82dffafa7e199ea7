// SPDX-License-Identifier: GPL-3.0-or-later
// The window's copies read by another program through a real X server's clipboard.

#include "app/ErrorReport.h"
#include "app/menu1.h"
#include "widgets/SortListViews.h"
#include "widgets/TypeListModel.h"

#include <QAction>
#include <QFile>
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
    void anotherProgramReadsTheReportBytesUnchanged()
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
            QSKIP("needs an X server (run under xvfb-run); the clipboard is not checked here");
        }
        const QString xclip = QStandardPaths::findExecutable(QStringLiteral("xclip"));
        if (xclip.isEmpty()) {
            QSKIP("xclip is missing; the clipboard is not checked by another program");
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

        // The window answers xclip's request from its event loop, which QTRY keeps running.
        QProcess reader;
        reader.start(xclip, {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                             QStringLiteral("-t"), QStringLiteral("text/plain")});
        QTRY_COMPARE_WITH_TIMEOUT(reader.state(), QProcess::NotRunning, 20000);
        QCOMPARE(reader.exitCode(), 0);
        QCOMPARE(reader.readAllStandardOutput(), QByteArray::fromStdString(folder + "bad\xff.log\r\n"));

        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

int main(int argc, char** argv)
{
    PellamyApplication app(argc, argv);
    ClipboardX11Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "ClipboardX11Test.moc"
