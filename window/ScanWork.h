// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_WINDOW_SCANWORK_H
#define PELLAMY_WINDOW_SCANWORK_H

#include "window/WindowView.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <stop_token>
#include <thread>

namespace pellamy {

/// A summary or listing on a thread of its own: it counts the names (and, over a tree, the folders)
/// read as the scan reports them,
/// stops when asked, and hands back what it threw. Destroying it stops and waits for the thread.
class ScanWork final : public BackgroundWork
{
public:
    /// The scan's count of names read so far, and of folders read for a walk over a tree.
    using Progress = std::function<void(std::uint64_t namesRead, std::uint64_t foldersRead)>;

    /// `show` is called on the user-interface thread with the names and folders read so far.
    explicit ScanWork(std::function<void(std::uint64_t, std::uint64_t)> show)
        : m_show(std::move(show))
    {}
    ~ScanWork() override
    {
        if (m_thread.joinable()) {
            m_stop.request_stop();
            m_thread.join();
        }
    }
    ScanWork(const ScanWork&) = delete;
    ScanWork& operator=(const ScanWork&) = delete;

    /// What the scan checks between its batches.
    std::stop_token StopToken() const { return m_stop.get_token(); }

    /// Runs `work` on a thread of its own, handing it the count to report to.
    void Start(std::function<void(const Progress&)> work)
    {
        m_thread = std::thread([this, work = std::move(work)] {
            try {
                work([this](std::uint64_t namesRead, std::uint64_t foldersRead) {
                    m_foldersRead.store(foldersRead, std::memory_order_relaxed);
                    m_namesRead.store(namesRead, std::memory_order_relaxed);
                });
            } catch (...) {
                m_error = std::current_exception();
            }
            m_finished.store(true, std::memory_order_release);
        });
    }

    /// Waits for the thread to end; throws again what the work threw.
    void Join()
    {
        if (m_thread.joinable()) {
            m_thread.join();
        }
        if (m_error) {
            std::rethrow_exception(m_error);
        }
    }

    bool StopRequested() const { return m_stop.stop_requested(); }

    bool Finished() const override { return m_finished.load(std::memory_order_acquire); }
    void Stop() override { m_stop.request_stop(); }
    void ShowProgress() override
    {
        m_show(m_namesRead.load(std::memory_order_relaxed), m_foldersRead.load(std::memory_order_relaxed));
    }

private:
    std::function<void(std::uint64_t, std::uint64_t)> m_show;
    std::stop_source m_stop;
    std::atomic<std::uint64_t> m_namesRead{0};
    std::atomic<std::uint64_t> m_foldersRead{0};
    std::atomic<bool> m_finished{false};
    std::exception_ptr m_error;
    std::thread m_thread;
};

} // namespace pellamy

#endif
