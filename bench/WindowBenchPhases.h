// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_BENCH_WINDOWBENCHPHASES_H
#define PELLAMY_BENCH_WINDOWBENCHPHASES_H

// What the window's benches share: the process's memory as the kernel and the allocator count it,
// a phase timed with its own peak, and pictures of the window.

#include "app/qt/menu1.h"

#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <string>

namespace pellamy::bench {

/// A field of /proc/self/status in KiB ("VmRSS", "VmHWM").
inline long StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.compare(0, key.size(), key) == 0) {
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
        }
    }
    return 0;
}

/// The bytes the allocator has handed out and not had back.
inline std::size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

inline void ProcessEvents()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

/// Times `step` with the peak resident memory reset before it (writing 5 to clear_refs clears the
/// kernel's high-water mark), so each phase's peak is its own, and prints one line: the phase's
/// name, its seconds, its peak above what the process held before it (KiB) and, when given,
/// `*bytes` after the step.
template <typename Step>
void Phase(const char* name, Step step, const std::size_t* bytes = nullptr)
{
    malloc_trim(0);
    {
        std::ofstream clear("/proc/self/clear_refs");
        clear << "5";
    }
    const long before = StatusKiB("VmRSS");
    const auto start = std::chrono::steady_clock::now();
    step();
    ProcessEvents();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long peak = StatusKiB("VmHWM") - before;
    if (bytes == nullptr) {
        std::printf("%-12s %9.3f s %9ld KiB\n", name, seconds, peak);
    } else {
        std::printf("%-12s %9.3f s %9ld KiB %12zu bytes\n", name, seconds, peak, *bytes);
    }
    std::fflush(stdout);
}

/// The "start" phase: the window made on `folder`, as the program opens it, and shown.
inline TForm1* StartPhase(const std::string& folder)
{
    TForm1* form = nullptr;
    Phase("start", [&] {
        form = new TForm1;
        form->FormCreate({folder});
        form->resize(1000, 700);
        form->show();
    });
    return form;
}

/// A picture of the window as it stands, saved under the path in the environment variable
/// `variable` with `suffix` before its extension, when that is set.
inline void Picture(TForm1& form, const char* variable, const QString& suffix)
{
    const QString path = QString::fromLocal8Bit(qgetenv(variable));
    if (path.isEmpty()) {
        return;
    }
    ProcessEvents();
    const qsizetype dot = path.lastIndexOf(u'.');
    form.grab().save(dot < 0 ? path + suffix : path.left(dot) + suffix + path.mid(dot));
}

} // namespace pellamy::bench

#endif
