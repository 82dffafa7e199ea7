// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_POSIXDIRECTORYSOURCE_H
#define PELLAMY_PLATFORM_POSIX_POSIXDIRECTORYSOURCE_H

#include "scan/DirectorySource.h"

namespace pellamy {

/// Reads folders with `getdents64` on the folder's descriptor and `statx` relative to it.
///
/// Attributes: read-only when no write permission bit is set or the file is immutable; hidden when
/// the name begins with "."; system for devices, FIFOs and sockets; directory for a folder or a
/// link to one; archive for every entry that is not a folder; compressed where the file system
/// reports it. A link is described by itself (size 0, its own times); a dangling link is a file.
/// The creation time is the birth time where the file system records one, else the earliest of
/// the change, write and access times. Special files are never opened.
///
/// Names are handed to the sink in the directory's order. The folder is read as a pipeline: the
/// calling thread goes on reading batches of names while up to `statThreads` threads (0: one per
/// core, at most 4; the calling thread is one of them) read the metadata of the batches read so
/// far. Every sink call still happens on the calling thread, in directory order, so a sink needs
/// no locking; a sink that throws stops the enumeration and the exception reaches the caller
/// once the other threads have stopped.
class PosixDirectorySource final : public DirectorySource
{
public:
    explicit PosixDirectorySource(unsigned statThreads = 0);

    std::error_code Enumerate(const std::string& folder, DirectorySink& sink) override;
    std::uint32_t ReadAttributes(const std::string& path) override;

    unsigned StatThreads() const { return m_statThreads; }

private:
    unsigned m_statThreads;
};

} // namespace pellamy

#endif
