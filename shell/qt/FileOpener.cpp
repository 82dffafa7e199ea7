// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/FileOpener.h"

#include "shell/ClipboardFiles.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <cstdlib>

namespace pellamy {
namespace {

constexpr const char* kNoOpener = "No application to open it could be started.";

// The last line that is not empty of what the opener wrote to standard error.
std::string LastLine(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) {
        lines.pop_back();
    }
    return lines.isEmpty() ? std::string() : lines.back().trimmed().toStdString();
}

} // namespace

void OpenWithShell(const std::string& absolutePath, QObject* context, OpenFailure failed)
{
    // The URI is ASCII whatever the name's bytes, so it survives the trip through QString.
    const std::string uri = FileUri(absolutePath);
    const QString uriText = QString::fromLatin1(uri.data(), static_cast<qsizetype>(uri.size()));
    if (std::getenv("FLATPAK_ID") != nullptr || std::getenv("SNAP") != nullptr) {
        if (!QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(uri)))) {
            failed(kNoOpener);
        }
        return;
    }
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty()) {
        // xdg-open may run the application itself, so it is left to run on its own.
        const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (xdgOpen.isEmpty() || !QProcess::startDetached(xdgOpen, {uriText})) {
            failed(kNoOpener);
        }
        return;
    }
    // gio starts the application and ends: its exit status and standard error tell whether it
    // could, and the application goes on without it. The process object belongs to the
    // application, not to a window, so closing a window never ends an opener that is still
    // starting an application.
    auto* opener = new QProcess(QCoreApplication::instance());
    opener->setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    QObject::connect(opener, &QProcess::finished, context,
                     [opener, failed](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode == 0) {
                             return;
                         }
                         const std::string reason = LastLine(opener->readAllStandardError());
                         failed(reason.empty() ? "The opener ended with status " + std::to_string(exitCode) + "."
                                               : reason);
                     });
    QObject::connect(opener, &QProcess::errorOccurred, context, [opener, failed](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            opener->deleteLater();
            failed(kNoOpener);
        }
    });
    opener->start(gio, {QStringLiteral("open"), uriText});
}

} // namespace pellamy
