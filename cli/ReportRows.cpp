// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportRows.h"

#include "scan/DisplayTexts.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace pellamy {

// Two blocks of texts: the one the report reads, and the next, which the second thread makes
// meanwhile. A block is free, being made, or ready for the report; only the thread that holds a
// block touches its texts.
class ReportRows::TextsAhead
{
public:
    explicit TextsAhead(const ReportRows& rows)
        : m_rows(rows)
        , m_columns(rows.ColumnCount())
        , m_blocks((rows.RowCount() + kBlockRows - 1) / kBlockRows)
    {
        Start(0);
    }

    TextsAhead(const TextsAhead&) = delete;
    TextsAhead& operator=(const TextsAhead&) = delete;

    ~TextsAhead() { Stop(); }

    void Append(std::size_t row, std::size_t column, std::string& out)
    {
        const std::size_t index = row / kBlockRows;
        if (index != m_current) {
            MoveTo(index);
        }
        const Block& block = m_slots[index % 2];
        const std::size_t cell = (row - index * kBlockRows) * m_columns + column;
        const std::uint32_t begin = cell == 0 ? 0 : block.Ends[cell - 1];
        out.append(block.Texts, begin, block.Ends[cell] - begin);
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    struct Block
    {
        std::size_t Index = kNone; // the block whose texts are ready here, kNone while free or made
        std::string Texts;
        std::vector<std::uint32_t> Ends; // per cell, row by row: where its text ends in `Texts`
    };

    // Reads on in order: the block read so far is handed back to be made again; any other jump
    // (a second pass from the first row, say) starts the making anew from the block asked for.
    void MoveTo(std::size_t index)
    {
        std::unique_lock lock(m_mutex);
        if (m_current != kNone && index == m_current + 1) {
            m_slots[m_current % 2].Index = kNone;
            m_changed.notify_all();
        } else if (!(m_current == kNone && index == m_first)) {
            lock.unlock();
            Stop();
            Start(index);
            lock.lock();
        }
        m_changed.wait(lock, [&] { return m_failure || m_slots[index % 2].Index == index; });
        if (m_failure) {
            std::rethrow_exception(m_failure);
        }
        m_current = index;
    }

    void Start(std::size_t first)
    {
        for (Block& block : m_slots) {
            block.Index = kNone;
        }
        m_first = first;
        m_current = kNone;
        m_stop = false;
        m_worker = std::thread([this, first] { Run(first); });
    }

    void Stop()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        if (m_worker.joinable()) {
            m_worker.join();
        }
    }

    void Run(std::size_t first)
    {
        for (std::size_t index = first; index < m_blocks; ++index) {
            Block& block = m_slots[index % 2];
            {
                std::unique_lock lock(m_mutex);
                // The slot is free once the report has moved past the block it held.
                m_changed.wait(lock, [&] { return m_stop || block.Index == kNone; });
                if (m_stop) {
                    return;
                }
            }
            try {
                Make(index, block);
            } catch (...) {
                const std::lock_guard lock(m_mutex);
                m_failure = std::current_exception();
                m_changed.notify_all();
                return;
            }
            {
                const std::lock_guard lock(m_mutex);
                block.Index = index;
            }
            m_changed.notify_all();
        }
    }

    void Make(std::size_t index, Block& block) const
    {
        block.Texts.clear();
        block.Ends.clear();
        const std::size_t end = std::min(m_rows.RowCount(), (index + 1) * kBlockRows);
        for (std::size_t row = index * kBlockRows; row < end; ++row) {
            for (std::size_t column = 0; column < m_columns; ++column) {
                m_rows.MakeCellText(row, column, block.Texts);
                block.Ends.push_back(static_cast<std::uint32_t>(block.Texts.size()));
            }
        }
    }

    const ReportRows& m_rows;
    const std::size_t m_columns;
    const std::size_t m_blocks;
    std::array<Block, 2> m_slots;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_worker;
    std::size_t m_first = 0;
    std::size_t m_current = kNone;
    bool m_stop = false;
    std::exception_ptr m_failure;
};

ReportRows::ReportRows(const ReportData& data, const RegionalSettings& settings)
    : m_data(data)
    , m_settings(settings)
{
    // A short list is written before a second thread would have started.
    if (!data.IsTypeList && data.RowCount() >= 4 * kBlockRows && std::thread::hardware_concurrency() > 1) {
        m_ahead = std::make_unique<TextsAhead>(*this);
    }
}

ReportRows::~ReportRows() = default;

std::string ReportRows::CellText(std::size_t row, std::size_t column) const
{
    std::string text;
    AppendCellText(row, column, text);
    return text;
}

void ReportRows::AppendCellText(std::size_t row, std::size_t column, std::string& out) const
{
    if (row >= RowCount() || column >= ColumnCount()) {
        return;
    }
    if (m_ahead) {
        m_ahead->Append(row, column, out);
        return;
    }
    MakeCellText(row, column, out);
}

void ReportRows::MakeCellText(std::size_t row, std::size_t column, std::string& out) const
{
    if (row >= RowCount()) {
        return;
    }
    if (m_data.IsTypeList) {
        const TypeRow& type = m_data.TypeRowAt(row);
        switch (column) {
        case 0:
            out += type.Extension;
            break;
        case 1:
            out += type.Description;
            break;
        case 2:
            out += std::to_string(type.Count);
            break;
        case 3:
            out += SizeText(type.Size, false, m_settings);
            break;
        default:
            break;
        }
        return;
    }
    // Rows in caption order lie all over the scan's vector: the row a few ahead is fetched while
    // this one is written, since waiting for memory would otherwise cost more than the texts.
    constexpr std::size_t kAhead = 16;
    if (row + kAhead < RowCount()) {
        const FileEntry* ahead = &m_data.EntryAt(row + kAhead);
        __builtin_prefetch(ahead);
        __builtin_prefetch(reinterpret_cast<const char*>(ahead) + sizeof(FileEntry) - 1);
    }
    const FileEntry& entry = m_data.EntryAt(row);
    switch (column) {
    case 0:
        out += ExtensionOf(entry.Name);
        break;
    case 1:
        out += entry.Name;
        break;
    case 2:
        out += FileTimeText(entry.CreationTime, m_settings);
        break;
    case 3:
        out += FileTimeText(entry.LastWriteTime, m_settings);
        break;
    case 4:
        out += AttributeLetters(entry.Attributes);
        break;
    case 5:
        out += SizeText(ToByteCount(entry.Size), false, m_settings);
        break;
    default:
        break;
    }
}

} // namespace pellamy
