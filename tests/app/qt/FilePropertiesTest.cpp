// SPDX-License-Identifier: GPL-3.0-or-later
// The properties entry on a private session bus: the window's own details where no file manager
// answers, the file manager's call with the file's URI where one does.

#include "app/qt/menu1.h"
#include "app/qt/listviews/FileListModel.h"
#include "app/qt/listviews/SortListViews.h"
#include "app/qt/listviews/TypeListModel.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

using namespace pellamy;

class FilePropertiesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            QSKIP("dbus-daemon is missing; the properties over the session bus are not checked");
        }
        m_bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                             QStringLiteral("--print-address")});
        QVERIFY(m_bus.waitForReadyRead(10000));
        const QByteArray address = m_bus.readLine().trimmed();
        QVERIFY(!address.isEmpty());
        // Set before the window's first use of the session bus, which then connects to this one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        QVERIFY(m_dir.isValid());
        m_folder = m_dir.path().toStdString() + "/";
        std::ofstream(m_folder + "r\xe9port 1%.txt", std::ios::binary) << "12345";
    }

    void cleanupTestCase()
    {
        for (QProcess* process : {&m_standIn, &m_bus}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
        }
    }

    void withoutAFileManagerTheDetailsWindowShowsTheFile()
    {
        TForm1 form;
        form.FormCreate({m_dir.path().toStdString()});
        SelectTheFile(form);
        QElapsedTimer timer;
        timer.start();
        form.Properties1->trigger();
        QVERIFY(timer.elapsed() < 3000);
        QDialog* details = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            (details = form.findChild<QDialog*>(QStringLiteral("FileDetails"))) != nullptr, 10000);
        const QString text = details->findChild<QPlainTextEdit*>(QStringLiteral("Details"))->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("5 bytes")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Mode: rw-")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Created: ")) && text.contains(QStringLiteral("Owner: ")),
                 qPrintable(text));
        // The times and the type read as the lists show them.
        const QString modified = form.FileRows()->index(0, 3).data().toString();
        QVERIFY(!modified.isEmpty());
        QVERIFY2(text.contains(QStringLiteral("Modified: ") + modified + QLatin1Char('\n')),
                 qPrintable(text));
        const QString type = form.TypeRows()->index(0, 1).data().toString();
        QVERIFY2(text.contains(QStringLiteral("Type: ") + type + QLatin1Char('\n')), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("port 1%.txt")), qPrintable(text));
        QTest::keyClick(details, Qt::Key_Escape);
        QTRY_VERIFY(!details->isVisible());
    }

    void theFileManagerReceivesTheFilesUri()
    {
        QTemporaryDir recordDir;
        QVERIFY(recordDir.isValid());
        const QString record = recordDir.path() + QStringLiteral("/uris");
        m_standIn.start(QStringLiteral(FILE_MANAGER_STAND_IN), {record});
        QVERIFY(m_standIn.waitForReadyRead(10000));
        QCOMPARE(m_standIn.readLine().trimmed(), QByteArray("ready"));

        TForm1 form;
        form.FormCreate({m_dir.path().toStdString()});
        SelectTheFile(form);
        form.Properties1->trigger();
        const QByteArray expected = "file://" + QByteArray::fromStdString(m_folder) + "r%E9port%201%25.txt\n";
        QTRY_COMPARE_WITH_TIMEOUT(ReadAll(record), expected, 10000);
        QTest::qWait(200);
        QVERIFY(form.findChild<QDialog*>(QStringLiteral("FileDetails")) == nullptr);
    }

private:
    static void SelectTheFile(TForm1& form)
    {
        form.sLView->setCurrentIndex(form.TypeRows()->index(0, 0));
        form.sLViewDblClick();
        form.Selectall1->trigger();
    }

    static QByteArray ReadAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QProcess m_bus;
    QProcess m_standIn;
    QTemporaryDir m_dir;
    std::string m_folder;
};

QTEST_MAIN(FilePropertiesTest)
#include "FilePropertiesTest.moc"
