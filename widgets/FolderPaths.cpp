// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/FolderPaths.h"

#include "platform/posix/FolderListing.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace pellamy {
namespace {

// The C locale collates by bytes and ignores the case setting; without a locale the folder list
// takes the language-neutral order of English.
QLocale CollationLocale()
{
    const QLocale system = QLocale::system();
    return system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : system;
}

QStringList SortedNames(const std::vector<std::string>& names)
{
    QStringList out;
    out.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names) {
        out.push_back(
            QFile::decodeName(QByteArray::fromRawData(name.data(), static_cast<qsizetype>(name.size()))));
    }
    QCollator collator(CollationLocale());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(static_cast<std::size_t>(out.size()));
    for (qsizetype i = 0; i < out.size(); ++i) {
        keys.emplace_back(collator.sortKey(out[i]), i);
    }
    std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        const int order = a.first.compare(b.first);
        return order != 0 ? order < 0 : out[a.second] < out[b.second];
    });
    QStringList sorted;
    sorted.reserve(out.size());
    for (const auto& key : keys) {
        sorted.push_back(out[key.second]);
    }
    return sorted;
}

} // namespace

DriveProvider SystemDrives()
{
    return [] { return ReadMountedDrives(); };
}

QString CleanFolderPath(const QString& path)
{
    if (!path.startsWith(QLatin1Char('/'))) {
        return {};
    }
    return QDir::cleanPath(path);
}

QString DriveRootOf(const std::vector<Drive>& drives, const QString& folder)
{
    const Drive* drive = DriveOfPath(drives, QFile::encodeName(folder).toStdString());
    return drive != nullptr ? RootText(*drive) : QStringLiteral("/");
}

int DepthBelow(const QString& root, const QString& folder)
{
    if (folder.size() <= root.size()) {
        return 0;
    }
    const QStringView below = QStringView(folder).mid(root.size());
    return static_cast<int>(below.count(QLatin1Char('/'))) + (root == QLatin1String("/") ? 1 : 0);
}

QString JoinFolder(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QStringList FolderChain(const QString& root, const QString& folder)
{
    QStringList chain{root};
    if (folder.size() <= root.size()) {
        return chain;
    }
    const QStringList steps = folder.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path = root;
    for (const QString& step : steps) {
        path = JoinFolder(path, step);
        chain.push_back(path);
    }
    return chain;
}

bool EnterFolder(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir() && QDir::setCurrent(folder);
}

QStringList SortedSubFolders(const QString& folder)
{
    return SortedNames(ReadFolderListing(QFile::encodeName(folder).toStdString(), false).Folders);
}

QStringList SortedFiles(const QString& folder)
{
    return SortedNames(ReadFolderListing(QFile::encodeName(folder).toStdString(), true).Files);
}

QString RootText(const Drive& drive)
{
    return QFile::decodeName(QByteArray::fromStdString(drive.Root));
}

} // namespace pellamy
