// SPDX-License-Identifier: GPL-3.0-or-later
// What the window's tests share: a sample folder and ways to drive and read the window.
#ifndef PELLAMY_TESTS_APP_QT_WINDOWTESTSUPPORT_H
#define PELLAMY_TESTS_APP_QT_WINDOWTESTSUPPORT_H

#include "app/qt/menu1.h"
#include "app/qt/listviews/FileListModel.h"
#include "app/qt/listviews/SortListViews.h"
#include "app/qt/listviews/TypeListModel.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace pellamy {

inline std::string Std(const QString& text)
{
    return text.toStdString();
}

inline void WriteFile(const QString& path, std::size_t size)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << std::string(size, 'x');
}

// Selects the type row with `caption`; false when there is none.
inline bool SelectType(TForm1& form, const std::string& caption)
{
    TypeListModel* rows = form.TypeRows();
    for (std::size_t i = 0; i < rows->RowCount(); ++i) {
        if (rows->Caption(i) == caption) {
            form.sLView->setCurrentIndex(rows->index(static_cast<int>(i), 0));
            return true;
        }
    }
    return false;
}

inline std::vector<std::string> ListedNames(const TForm1& form)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < form.FileRows()->RowCount(); ++i) {
        names.push_back(form.FileRows()->Row(i).Name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline QStringList VisibleEntries(const QMenu* menu)
{
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        if (action->isVisible()) {
            entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
    }
    return entries;
}

// Fills `dir` with the window tests' sample folder: two text files whose extensions differ in
// case, a picture of 512 KB, a name without extension, a dot file and a sub-folder.
inline void WriteSampleFolder(const QTemporaryDir& dir)
{
    WriteFile(dir.filePath(QStringLiteral("a.txt")), 100);
    WriteFile(dir.filePath(QStringLiteral("b.TXT")), 200);
    WriteFile(dir.filePath(QStringLiteral("photo.jpg")), 524288);
    WriteFile(dir.filePath(QStringLiteral("README")), 10);
    WriteFile(dir.filePath(QStringLiteral(".profile")), 1);
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
}

} // namespace pellamy

#endif
