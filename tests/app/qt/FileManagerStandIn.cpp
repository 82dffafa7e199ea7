// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in file manager on the session bus: owns org.freedesktop.FileManager1 and appends the
// URIs of every ShowItemProperties call, one a line, to the file named by its argument.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QObject>
#include <QStringList>

#include <cstdio>

class FileManager final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    explicit FileManager(QString record)
        : m_record(std::move(record))
    {}

public Q_SLOTS:
    void ShowItemProperties(const QStringList& uris, const QString& startupId)
    {
        Q_UNUSED(startupId);
        QFile file(m_record);
        if (file.open(QIODevice::Append)) {
            for (const QString& uri : uris) {
                file.write(uri.toLatin1() + "\n");
            }
        }
    }

private:
    QString m_record;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: file_manager_stand_in RECORD\n", stderr);
        return 2;
    }
    FileManager manager(QString::fromLocal8Bit(argv[1]));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.FileManager1"))) {
        std::fputs("cannot own org.freedesktop.FileManager1\n", stderr);
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}

#include "FileManagerStandIn.moc"
