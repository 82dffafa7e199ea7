// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/FileOpener.h"

#include "shell/ClipboardFiles.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <cstdlib>

namespace pellamy {

bool OpenWithShell(const std::string& absolutePath)
{
    // The URI is ASCII whatever the name's bytes, so it survives the trip through QString.
    const std::string uri = FileUri(absolutePath);
    const QString uriText = QString::fromLatin1(uri.data(), static_cast<qsizetype>(uri.size()));
    if (std::getenv("FLATPAK_ID") != nullptr || std::getenv("SNAP") != nullptr) {
        return QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(uri)));
    }
    QString program = QStandardPaths::findExecutable(QStringLiteral("gio"));
    QStringList arguments;
    if (!program.isEmpty()) {
        arguments = {QStringLiteral("open"), uriText};
    } else {
        program = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (program.isEmpty()) {
            return false;
        }
        arguments = {uriText};
    }
    return QProcess::startDetached(program, arguments);
}

} // namespace pellamy
