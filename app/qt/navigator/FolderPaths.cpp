// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/navigator/FolderPaths.h"

#include <QCollator>
#include <QFile>

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

// The names ordered by what they show, the bytes deciding between names that show alike.
QByteArrayList SortedNames(const std::vector<std::string>& names)
{
    QByteArrayList bytes;
    QStringList shown;
    bytes.reserve(static_cast<qsizetype>(names.size()));
    shown.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names) {
        bytes.push_back(FromStdString(name));
        shown.push_back(ShownName(bytes.back()));
    }
    QCollator collator(CollationLocale());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(names.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        keys.emplace_back(collator.sortKey(shown[i]), i);
    }
    std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        const int order = a.first.compare(b.first);
        if (order != 0) {
            return order < 0;
        }
        const QString& shownA = shown[a.second];
        const QString& shownB = shown[b.second];
        return shownA != shownB ? shownA < shownB : bytes[a.second] < bytes[b.second];
    });
    QByteArrayList sorted;
    sorted.reserve(bytes.size());
    for (const auto& key : keys) {
        sorted.push_back(bytes[key.second]);
    }
    return sorted;
}

} // namespace

QByteArray CleanFolderPath(const QByteArray& path)
{
    if (!path.startsWith('/')) {
        return {};
    }
    QByteArrayList steps;
    for (const QByteArray& step : path.split('/')) {
        if (step.isEmpty() || step == ".") {
            continue;
        }
        if (step == "..") {
            if (!steps.isEmpty()) {
                steps.pop_back();
            }
            continue;
        }
        steps.push_back(step);
    }
    return '/' + steps.join('/');
}

QByteArray DriveRootOf(const std::vector<Drive>& drives, const QByteArray& folder)
{
    const Drive* drive = DriveOfPath(drives, std::string_view(folder.constData(), folder.size()));
    return drive != nullptr ? RootText(*drive) : QByteArray("/");
}

int DepthBelow(const QByteArray& root, const QByteArray& folder)
{
    if (folder.size() <= root.size()) {
        return 0;
    }
    const QByteArrayView below = QByteArrayView(folder).sliced(root.size());
    return static_cast<int>(below.count('/')) + (root == "/" ? 1 : 0);
}

QByteArray JoinFolder(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QByteArrayList FolderChain(const QByteArray& root, const QByteArray& folder)
{
    QByteArrayList chain{root};
    if (folder.size() <= root.size()) {
        return chain;
    }
    QByteArray path = root;
    for (const QByteArray& step : folder.mid(root.size()).split('/')) {
        if (!step.isEmpty()) {
            path = JoinFolder(path, step);
            chain.push_back(path);
        }
    }
    return chain;
}

bool EnterFolder(FolderSystem& folders, const QByteArray& folder)
{
    return folders.SetWorkingFolder(ToStdString(folder));
}

QByteArray WorkingFolderPath(FolderSystem& folders)
{
    const QByteArray clean = CleanFolderPath(FromStdString(folders.WorkingFolder()));
    return clean.isEmpty() ? QByteArray("/") : clean;
}

QByteArrayList SortedSubFolders(FolderSystem& folders, const QByteArray& folder, std::stop_token stop)
{
    // A folder that cannot be read shows no sub-folders; the list says nothing more of why.
    std::error_code unread;
    return SortedNames(folders.ReadFolderListing(ToStdString(folder), false, unread, std::move(stop)).Folders);
}

QStringList SortedFiles(FolderSystem& folders, const QByteArray& folder)
{
    std::error_code unread;
    QStringList shown;
    for (const QByteArray& name : SortedNames(folders.ReadFolderListing(ToStdString(folder), true, unread).Files)) {
        shown.push_back(ShownName(name));
    }
    return shown;
}

QByteArray RootText(const Drive& drive)
{
    return FromStdString(drive.Root);
}

QString ShownName(const QByteArray& bytes)
{
    return QFile::decodeName(bytes);
}

std::string ToStdString(const QByteArray& path)
{
    return path.toStdString();
}

QByteArray FromStdString(const std::string& path)
{
    return QByteArray(path.data(), static_cast<qsizetype>(path.size()));
}

} // namespace pellamy
