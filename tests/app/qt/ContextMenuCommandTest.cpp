// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/ErrorReport.h"
#include "app/qt/menu1.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace pellamy;

namespace {

QStringList g_reports;

void RecordReport(const QString& text)
{
    g_reports << text;
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

/// "Register/unregister in context menu" through the menu entry, into a data folder of its own.
class ContextMenuCommandTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_data;

    QString ServiceMenu() const
    {
        return m_data.filePath(QStringLiteral("kio/servicemenus/pellamy-folder.desktop"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_data.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
    }

    void cleanup()
    {
        QDir(m_data.path()).removeRecursively();
        QDir().mkpath(m_data.path());
        g_reports.clear();
        PellamyApplication::SetErrorReporter(nullptr);
    }

    void togglesAndSaysWhichInAPlainMessage()
    {
        TForm1 form;
        QStringList messages;
        form.MessageShower = [&messages](const QString& text) { messages << text; };
        form.Useskin1->setChecked(true);

        form.Registerunregisterincontextmenu1->trigger();
        QCOMPARE(messages, QStringList{QStringLiteral("Pellamy registered")});
        // The running program's own path, quoted; the skin as checked when registering.
        const QByteArray program = QFile::encodeName(QCoreApplication::applicationFilePath());
        QVERIFY2(Contents(ServiceMenu()).contains("\nExec=\"" + program + "\" %f \"/s\"\n"),
                 Contents(ServiceMenu()).constData());

        form.Useskin1->setChecked(false);
        form.Registerunregisterincontextmenu1->trigger();
        QCOMPARE(messages.last(), QStringLiteral("Pellamy unregistered"));
        QVERIFY(!QFile::exists(ServiceMenu()));

        form.Registerunregisterincontextmenu1->trigger();
        QCOMPARE(messages.last(), QStringLiteral("Pellamy registered"));
        QVERIFY(Contents(ServiceMenu()).contains("\nExec=\"" + program + "\" %f\n"));
        QVERIFY(g_reports.isEmpty());
    }

    void aFailureGoesToTheErrorReportAndLeavesNothingRegistered()
    {
        PellamyApplication::SetErrorReporter(&RecordReport);
        const QString blocked = m_data.filePath(QStringLiteral("nemo/actions/pellamy-folder.nemo_action"));
        QVERIFY(QDir().mkpath(blocked + QStringLiteral("/x")));
        TForm1 form;
        QStringList messages;
        form.MessageShower = [&messages](const QString& text) { messages << text; };
        form.Registerunregisterincontextmenu1->trigger();
        QCOMPARE(g_reports, QStringList{QStringLiteral("Cannot write \"%1\". Is a directory.").arg(blocked)});
        QVERIFY(messages.isEmpty());
        QVERIFY(!QFile::exists(ServiceMenu()));

        // Without any data folder there is nowhere to register.
        g_reports.clear();
        const QByteArray home = qgetenv("HOME");
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("HOME");
        form.Registerunregisterincontextmenu1->trigger();
        qputenv("HOME", home);
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
        QCOMPARE(g_reports.size(), 1);
        QVERIFY2(g_reports.front().startsWith(QStringLiteral("There is no data folder")),
                 qPrintable(g_reports.front()));
        QVERIFY(messages.isEmpty());
    }

    void theFailureShowsInTheRealErrorBox()
    {
        // No stand-in: the application's own message box, read and closed while it runs.
        const QString blocked = m_data.filePath(QStringLiteral("nemo/actions/pellamy-files.nemo_action"));
        QVERIFY(QDir().mkpath(blocked + QStringLiteral("/x")));
        TForm1 form;
        QStringList messages;
        form.MessageShower = [&messages](const QString& text) { messages << text; };
        QString shown;
        QString caption;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, &closer, [&shown, &caption] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box != nullptr && box->isVisible()) {
                    shown = box->text();
                    caption = box->windowTitle();
                    box->accept();
                }
            }
        });
        closer.start(10);
        form.Registerunregisterincontextmenu1->trigger();
        closer.stop();
        QCOMPARE(shown, QStringLiteral("Cannot write \"%1\". Is a directory.").arg(blocked));
        QCOMPARE(caption, QApplication::applicationDisplayName());
        QVERIFY(messages.isEmpty());
        QVERIFY(!QFile::exists(ServiceMenu()));
    }
};

int main(int argc, char** argv)
{
    PellamyApplication app(argc, argv);
    ContextMenuCommandTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ContextMenuCommandTest.moc"
