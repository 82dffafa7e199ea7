// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/QtCaptionCollator.h"

#include <QCollatorSortKey>

#include <algorithm>
#include <numeric>

namespace pellamy {
namespace {

QString Decode(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int ByteOrder(std::string_view a, std::string_view b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

namespace {

// The C locale collates by bytes, which parts lower- and upper-case spellings of one name; a
// user without a locale gets the language-neutral order of English instead.
QLocale CollationLocale()
{
    const QLocale system = QLocale::system();
    return system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : system;
}

} // namespace

QtCaptionCollator::QtCaptionCollator()
    : QtCaptionCollator(CollationLocale())
{}

QtCaptionCollator::QtCaptionCollator(const QLocale& locale)
    : m_collator(locale)
{
    m_collator.setCaseSensitivity(Qt::CaseSensitive);
    m_collator.setNumericMode(false);
    m_collator.setIgnorePunctuation(false);
}

int QtCaptionCollator::Compare(std::string_view a, std::string_view b) const
{
    const int c = m_collator.compare(Decode(a), Decode(b));
    if (c != 0) {
        return c < 0 ? -1 : 1;
    }
    return ByteOrder(a, b);
}

std::vector<std::size_t> QtCaptionCollator::SortedOrder(const std::vector<std::string_view>& texts) const
{
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const std::string_view text : texts) {
        keys.push_back(m_collator.sortKey(Decode(text)));
    }
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int c = keys[a].compare(keys[b]);
        if (c != 0) {
            return c < 0;
        }
        return texts[a] < texts[b];
    });
    return order;
}

} // namespace pellamy
