// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/TypeTable.h"

#include "lists/ColumnOrder.h"
#include "lists/DisplayTexts.h"
#include "scan/CaseFold.h"

namespace pellamy {

void TypeTable::Fill(std::vector<TypeRow> rows, const RegionalSettings& settings, const TextCollator& collator)
{
    m_rows = std::move(rows);
    m_rows.shrink_to_fit();
    m_totalSize = 0;
    for (const TypeRow& row : m_rows) {
        m_totalSize += row.Size;
    }
    m_settings = settings;
    m_selected.Reset(m_rows.size());
    PermuteInPlace(m_rows,
                   CaptionOrder(m_rows.size(), [this](std::size_t row) { return Caption(row); }, collator));
}

void TypeTable::Clear()
{
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_totalSize = 0;
    m_selected.Clear();
}

double TypeTable::SizeShare(std::size_t row) const
{
    if (m_totalSize == 0) {
        return 0.0;
    }
    return static_cast<double>(m_rows.at(row).Size) / static_cast<double>(m_totalSize);
}

std::string TypeTable::CellText(std::size_t row, std::size_t column) const
{
    std::string text;
    AppendCellText(row, column, text);
    return text;
}

void TypeTable::AppendCellText(std::size_t row, std::size_t column, std::string& out) const
{
    if (row >= m_rows.size()) {
        return;
    }
    const TypeRow& r = m_rows[row];
    switch (column) {
    case 0:
        out += r.Extension;
        break;
    case 1:
        out += r.Description;
        break;
    case 2:
        out += std::to_string(r.Count);
        break;
    case 3:
        out += SizeText(r.Size, false, m_settings);
        break;
    default:
        break;
    }
}

std::vector<std::uint32_t> TypeTable::ColumnOrder(std::size_t column, bool ascending) const
{
    if (column == 2) {
        std::vector<std::int64_t> counts;
        counts.reserve(m_rows.size());
        for (const TypeRow& row : m_rows) {
            counts.push_back(row.Count);
        }
        return OrderByCounts(counts, ascending);
    }
    if (column == 3) {
        std::vector<ByteCount> sizes;
        sizes.reserve(m_rows.size());
        for (const TypeRow& row : m_rows) {
            sizes.push_back(row.Size);
        }
        return OrderByShownSizes(sizes, ascending);
    }
    // The text columns: each cell's text made once, compared as the list compares texts.
    std::vector<std::string> keys;
    keys.reserve(m_rows.size());
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        keys.push_back(CellText(row, column));
    }
    return OrderByKeys(std::move(keys), ascending,
                       [](const std::string& a, const std::string& b) { return CompareTextNoCase(a, b); });
}

void TypeTable::Permute(const std::vector<std::uint32_t>& order)
{
    if (order.size() != m_rows.size()) {
        return;
    }
    PermuteInPlace(m_rows, order);
    m_selected.Permute(order);
}

std::vector<std::uint32_t> TypeTable::Sort(std::size_t column, bool ascending)
{
    std::vector<std::uint32_t> order = ColumnOrder(column, ascending);
    Permute(order);
    return order;
}

} // namespace pellamy
