// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/TemporaryName.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <pthread.h>
#include <unistd.h>
#include <utility>

namespace pellamy {
namespace {

// A slot moves Free -> Filling -> Registered by its owner, back to Free when released, or
// Registered -> Removing by a signal handler, which the owner then leaves alone: the process is
// about to end.
enum SlotState : int
{
    kFree,
    kFilling,
    kRegistered,
    kRemoving,
};

struct Slot
{
    std::atomic<int> State{kFree};
    char Path[PATH_MAX];
};

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free atomics");

constexpr int kSlots = 16;
constinit Slot g_slots[kSlots] = {};

extern "C" void RemoveTemporariesAndResignal(int signal)
{
    const int savedErrno = errno;
    for (Slot& slot : g_slots) {
        int expected = kRegistered;
        if (slot.State.compare_exchange_strong(expected, kRemoving)) {
            ::unlink(slot.Path);
        }
    }
    // The signal is blocked while its handler runs; raised again under the default action, it
    // ends the process as soon as the handler returns.
    struct sigaction byDefault = {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    ::sigaction(signal, &byDefault, nullptr);
    ::raise(signal);
    errno = savedErrno;
}

void InstallHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int signal : {SIGINT, SIGTERM}) {
            struct sigaction current = {};
            if (::sigaction(signal, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0 ||
                current.sa_handler != SIG_DFL) {
                continue;
            }
            struct sigaction handler = {};
            handler.sa_handler = &RemoveTemporariesAndResignal;
            sigemptyset(&handler.sa_mask);
            sigaddset(&handler.sa_mask, SIGINT);
            sigaddset(&handler.sa_mask, SIGTERM);
            handler.sa_flags = SA_RESTART;
            ::sigaction(signal, &handler, nullptr);
        }
    });
}

int Register(const std::string& path)
{
    if (path.empty() || path.size() >= PATH_MAX) {
        return -1;
    }
    InstallHandlers();
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (g_slots[i].State.compare_exchange_strong(expected, kFilling)) {
            std::memcpy(g_slots[i].Path, path.c_str(), path.size() + 1);
            g_slots[i].State.store(kRegistered);
            return i;
        }
    }
    return -1;
}

void Unregister(int slot)
{
    if (slot >= 0) {
        int expected = kRegistered;
        g_slots[slot].State.compare_exchange_strong(expected, kFree);
    }
}

} // namespace

TemporaryName::TemporaryName(std::string path)
    : m_path(std::move(path))
    , m_slot(Register(m_path))
{}

TemporaryName::TemporaryName(TemporaryName&& other) noexcept
    : m_path(std::exchange(other.m_path, std::string()))
    , m_slot(std::exchange(other.m_slot, -1))
{}

TemporaryName& TemporaryName::operator=(TemporaryName&& other) noexcept
{
    if (this != &other) {
        Remove();
        m_path = std::exchange(other.m_path, std::string());
        m_slot = std::exchange(other.m_slot, -1);
    }
    return *this;
}

TemporaryName::~TemporaryName()
{
    Remove();
}

void TemporaryName::Remove()
{
    if (!m_path.empty()) {
        const TerminationSignalsHeld held;
        ::unlink(m_path.c_str());
        Release();
    }
}

void TemporaryName::Release()
{
    Unregister(m_slot);
    m_slot = -1;
    m_path.clear();
}

TerminationSignalsHeld::TerminationSignalsHeld()
{
    sigset_t termination;
    sigemptyset(&termination);
    sigaddset(&termination, SIGINT);
    sigaddset(&termination, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &termination, &m_before);
}

TerminationSignalsHeld::~TerminationSignalsHeld()
{
    ::pthread_sigmask(SIG_SETMASK, &m_before, nullptr);
}

} // namespace pellamy
