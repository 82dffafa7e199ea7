// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/ClipboardData.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <memory>

namespace pellamy {
namespace {

// Clipboard contents that hand out each format's bytes exactly as placed. QMimeData itself parses
// a URI list into one QUrl per line and encodes it again when asked, which changes nothing a
// receiver sees but costs several times the list's size for a million files.
class ExactMimeData final : public QMimeData
{
public:
    void Add(QString format, QByteArray bytes)
    {
        m_formats.append(std::move(format));
        m_bytes.append(std::move(bytes));
    }

    QStringList formats() const override { return m_formats; }
    bool hasFormat(const QString& format) const override { return m_formats.contains(format); }

protected:
    QVariant retrieveData(const QString& format, QMetaType /*preferredType*/) const override
    {
        const qsizetype at = m_formats.indexOf(format);
        return at < 0 ? QVariant() : QVariant(m_bytes.at(at));
    }

private:
    QStringList m_formats;
    QList<QByteArray> m_bytes;
};

QByteArray TakeBytes(std::string& bytes)
{
    QByteArray copy(bytes.data(), static_cast<qsizetype>(bytes.size()));
    std::string().swap(bytes);
    return copy;
}

} // namespace

bool PlaceOnClipboard(std::vector<ClipboardTarget> targets)
{
    if (targets.empty()) {
        return false;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return false;
    }
    auto data = std::make_unique<ExactMimeData>();
    for (ClipboardTarget& target : targets) {
        data->Add(QString::fromStdString(target.mimeType), TakeBytes(target.bytes));
    }
    clipboard->setMimeData(data.release());
    return true;
}

bool PlaceTextOnClipboard(std::string bytes)
{
    return PlaceTextOnClipboard(TakeBytes(bytes));
}

bool PlaceTextOnClipboard(QByteArray bytes)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return false;
    }
    auto data = std::make_unique<ExactMimeData>();
    data->Add(QString::fromUtf8(kTextTarget.data(), static_cast<qsizetype>(kTextTarget.size())),
              std::move(bytes));
    clipboard->setMimeData(data.release());
    return true;
}

} // namespace pellamy
