// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_QT_QTCAPTIONCOLLATOR_H
#define PELLAMY_PLATFORM_QT_QTCAPTIONCOLLATOR_H

#include "lists/TextCollator.h"

#include <QCollator>

namespace pellamy {

/// Caption order of a locale (the user's by default), case-sensitive, through QCollator. Texts
/// that the collator holds equal but that differ in their bytes (two invalid UTF-8 names, say)
/// are ordered by their bytes, so the order never depends on the input order.
class QtCaptionCollator final : public TextCollator
{
public:
    QtCaptionCollator();
    explicit QtCaptionCollator(const QLocale& locale);

    int Compare(std::string_view a, std::string_view b) const override;
    std::vector<std::size_t> SortedOrder(const std::vector<std::string_view>& texts) const override;

private:
    QCollator m_collator;
};

} // namespace pellamy

#endif
