// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/TypeImageList.h"

namespace pellamy {

TypeImageList& TypeImageList::Shared()
{
    // Deliberately never freed: rows and image lists may ask for icons until the very end.
    static auto* list = new TypeImageList;
    return *list;
}

int TypeImageList::IndexOf(const QString& name, const QIcon& icon)
{
    if (const auto it = m_indexByName.constFind(name); it != m_indexByName.constEnd()) {
        return it.value();
    }
    const int index = Count();
    m_icons.push_back(icon);
    m_names.push_back(name);
    m_indexByName.insert(name, index);
    return index;
}

QIcon TypeImageList::Icon(int index) const
{
    return index >= 0 && index < Count() ? m_icons[static_cast<std::size_t>(index)] : QIcon();
}

QString TypeImageList::Name(int index) const
{
    return index >= 0 && index < Count() ? m_names[static_cast<std::size_t>(index)] : QString();
}

} // namespace pellamy
