// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_TEMPORARYNAME_H
#define PELLAMY_PLATFORM_POSIX_TEMPORARYNAME_H

#include <csignal>
#include <string>

namespace pellamy {

/// The name of a temporary file that must not outlive the process: registered, for as long as
/// this object holds it, in a process-wide table that handlers for SIGINT and SIGTERM read. Such a
/// signal removes every registered file and then ends the process by the signal's default action,
/// so its exit status still says which signal ended it.
///
/// The handlers are installed when the first name is registered, and only for a signal whose
/// action is still the default: a signal the process ignores (as one started with `nohup`, or in
/// the background of a shell without job control) stays ignored, and a handler of the program's
/// own stays in place. SIGKILL cannot be caught; only a file without a name (O_TMPFILE) survives
/// it without trace, which is why this is the fallback.
///
/// The table has a fixed number of entries, filled and read with atomic operations only, so the
/// handlers are async-signal-safe. A name that does not fit (the table full, or longer than
/// PATH_MAX) is kept by this object but not registered, and so not removed by a signal.
class TemporaryName
{
public:
    TemporaryName() = default;
    /// Registers `path`, the name of a file the caller has just created.
    explicit TemporaryName(std::string path);
    TemporaryName(TemporaryName&& other) noexcept;
    TemporaryName& operator=(TemporaryName&& other) noexcept;
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    /// Removes the file, as `Remove` does.
    ~TemporaryName();

    const std::string& Path() const { return m_path; }
    bool Empty() const { return m_path.empty(); }

    /// Removes the file and the registration; nothing when empty.
    void Remove();
    /// Drops the registration and keeps the file (it was renamed, or the name now belongs to
    /// another file).
    void Release();

private:
    std::string m_path;
    int m_slot = -1;
};

/// Holds SIGINT and SIGTERM back on the calling thread while it lives, so that creating, renaming
/// or removing a temporary file and registering or releasing its name happen as one step for a
/// signal sent to this thread. A signal that came meanwhile is delivered when this ends.
class TerminationSignalsHeld
{
public:
    TerminationSignalsHeld();
    TerminationSignalsHeld(const TerminationSignalsHeld&) = delete;
    TerminationSignalsHeld& operator=(const TerminationSignalsHeld&) = delete;
    ~TerminationSignalsHeld();

private:
    sigset_t m_before;
};

} // namespace pellamy

#endif
