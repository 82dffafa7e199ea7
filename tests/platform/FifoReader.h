// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_PLATFORM_FIFOREADER_H
#define PELLAMY_TESTS_PLATFORM_FIFOREADER_H

#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace pellamy {

/// Reads what is written into the FIFO `path` until its writer closes it. Gives up after
/// `timeoutMs` without news, so that a writer that never comes (say, because the FIFO was
/// replaced by a file) fails a test instead of hanging it. The FIFO is opened without waiting
/// for a writer; call this on its own thread before the writer starts.
inline std::string ReadFifo(const std::string& path, int timeoutMs = 10000)
{
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return text;
    }
    pollfd wait = {fd, POLLIN, 0};
    while (::poll(&wait, 1, timeoutMs) > 0) {
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            // The writer has closed it: poll reports nothing on a FIFO before its first writer
            // comes, so an end seen here is the end of what was written.
            break;
        }
    }
    ::close(fd);
    return text;
}

} // namespace pellamy

#endif
