// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_QT_TYPEIMAGELIST_H
#define PELLAMY_SHELL_QT_TYPEIMAGELIST_H

#include <QHash>
#include <QIcon>
#include <QSize>
#include <QString>

#include <vector>

namespace pellamy {

/// The program's one list of small type icons, shared by both lists. Each distinct icon (named by
/// its theme name) gets one index the first time it is asked for and keeps it; the list grows only
/// by distinct icons, never per file, and lives for the whole program.
class TypeImageList
{
public:
    /// The shared list. It is created on first use and never destroyed, so that no image list that
    /// holds it can outlive it.
    static TypeImageList& Shared();

    /// The index of the icon named `name`, adding `icon` under that name when the name is new.
    int IndexOf(const QString& name, const QIcon& icon);

    /// The icon at `index`, or a null icon for an index outside the list.
    QIcon Icon(int index) const;

    /// The name under which the icon at `index` was added; empty outside the list.
    QString Name(int index) const;

    int Count() const { return static_cast<int>(m_icons.size()); }

    /// The size in which the lists draw the icons.
    static QSize IconSize() { return {16, 16}; }

private:
    QHash<QString, int> m_indexByName;
    std::vector<QIcon> m_icons;
    std::vector<QString> m_names;
};

} // namespace pellamy

#endif
