// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_REPORTOUTPUT_H
#define PELLAMY_REPORTS_REPORTOUTPUT_H

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pellamy {

class ReportFileWriter;

/// Where a report is written as it is made: the builders append to `Buffer()` (usually a line at a
/// time through `StartLine` and `EndLine`), and the output hands the bytes on in large pieces, so
/// a report of a million rows never exists as one text unless the output keeps it (the clipboard's
/// text does). After a failed hand-over the output drops every later byte and `Finish` returns the
/// failure.
class ReportOutput
{
public:
    virtual ~ReportOutput() = default;

    /// The bytes not yet handed on; builders append to it, then call `Written`.
    std::string& Buffer() { return m_bytes; }

    /// Hands the buffer on once it holds a large piece.
    void Written()
    {
        if (m_pieceSize != kKeepsAll && m_bytes.size() >= m_pieceSize) {
            HandOn();
        }
    }

    /// Starts a line: its bytes are appended to the returned buffer until `EndLine`.
    std::string& StartLine()
    {
        m_lineStart = m_bytes.size();
        return m_bytes;
    }

    /// Ends the line begun by `StartLine` with CR LF.
    void EndLine()
    {
        LineEnded(m_lineStart);
        m_bytes += "\r\n";
        Written();
    }

    /// A whole line followed by CR LF.
    void AddLine(std::string_view line)
    {
        StartLine() += line;
        EndLine();
    }

    /// Says that `done` of `total` rows have been written, so an output that keeps the whole text
    /// can reserve room for the rest at once rather than growing (and briefly holding its text
    /// twice) step by step.
    virtual void RowsWritten(std::size_t done, std::size_t total)
    {
        static_cast<void>(done);
        static_cast<void>(total);
    }

    /// True once a hand-over failed: later bytes are dropped, so a builder may stop early.
    bool Failed() const { return m_failure.has_value(); }

    /// Hands on every byte still held. Returns the first failure, if any ("Stream write error").
    std::optional<std::string> Finish();

protected:
    /// The piece size of an output that keeps the whole text in its buffer and hands nothing on.
    static constexpr std::size_t kKeepsAll = 0;

    /// An output that hands its bytes on whenever `pieceSize` of them are held.
    explicit ReportOutput(std::size_t pieceSize)
        : m_pieceSize(pieceSize)
    {}
    ReportOutput(const ReportOutput&) = default;
    ReportOutput& operator=(const ReportOutput&) = default;
    ReportOutput(ReportOutput&&) = default;
    ReportOutput& operator=(ReportOutput&&) = default;

    /// Takes `bytes` from the buffer; the message for the user when they could not be stored.
    virtual std::optional<std::string> Deliver(std::string_view bytes) = 0;

    /// Called with the line's first byte before each `EndLine` adds the line end.
    virtual void LineEnded(std::size_t lineStart) { static_cast<void>(lineStart); }

    std::string m_bytes;

private:
    void HandOn();

    std::size_t m_pieceSize;
    std::size_t m_lineStart = 0;
    std::optional<std::string> m_failure;
};

/// How many rows a report writes before it tells its output the rate (`ReportOutput::RowsWritten`).
inline constexpr std::size_t kReportSampleRows = 4096;

/// The size of the pieces that streamed reports hand to a file or a pipe.
inline constexpr std::size_t kReportPieceSize = 256 * 1024;

/// A report streamed into a file being replaced: each piece goes to `ReportFileWriter::Write`; the
/// caller commits the writer after a successful `Finish`.
class ReportFileOutput final : public ReportOutput
{
public:
    explicit ReportFileOutput(ReportFileWriter& writer, std::size_t pieceSize = kReportPieceSize)
        : ReportOutput(pieceSize)
        , m_writer(writer)
    {}

private:
    std::optional<std::string> Deliver(std::string_view bytes) override;

    ReportFileWriter& m_writer;
};

class ReportFiles;

/// Streams a report into the file `path` through `files`: opens it, lets `write` write the report
/// into an output that hands each piece to the file, and commits the file only when `write` and
/// the output succeeded. Returns nothing on success, else the message for the user ("Cannot create
/// file "%s". %s", "Stream write error"); on failure the earlier file is left as it was. `write`
/// returns the output's failure (`ReportOutput::Finish`), or nothing.
std::optional<std::string> StreamToReportFile(const ReportFiles& files, const std::string& path,
                                              const std::function<std::optional<std::string>(ReportOutput&)>& write);

} // namespace pellamy

#endif
