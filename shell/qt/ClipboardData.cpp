// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/ClipboardData.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace pellamy {

bool PlaceOnClipboard(const std::vector<ClipboardTarget>& targets)
{
    if (targets.empty()) {
        return false;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return false;
    }
    auto* data = new QMimeData;
    for (const ClipboardTarget& target : targets) {
        data->setData(QString::fromStdString(target.mimeType),
                      QByteArray(target.bytes.data(), static_cast<qsizetype>(target.bytes.size())));
    }
    clipboard->setMimeData(data);
    return true;
}

bool PlaceTextOnClipboard(const std::string& bytes)
{
    return PlaceOnClipboard({ClipboardTarget{std::string(kTextTarget), bytes}});
}

} // namespace pellamy
