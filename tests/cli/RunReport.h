// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_CLI_RUNREPORT_H
#define PELLAMY_TESTS_CLI_RUNREPORT_H

#include <cstddef>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <stdlib.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace pellamy {

/// What one run of pellamy-report gave: its exit code (-1 when it did not exit normally), the
/// signal that ended it (0 when none did) and everything it wrote to standard output and standard
/// error.
struct RunResult
{
    int ExitCode = -1;
    int Signal = 0;
    std::string Out;
    std::string Err;
};

/// Reads `fd` up to its end.
inline std::string ReadAll(int fd)
{
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

/// A pellamy-report that runs: its process and the read ends of its standard output and error.
struct StartedReport
{
    pid_t Pid = -1;
    int Out = -1;
    int Err = -1;
};

/// Starts pellamy-report with `args` in `workingFolder`, under the C locale and UTC. `environment`
/// then changes variables ("NAME=value" sets one, such as another LC_ALL or TZ; "NAME" alone
/// removes it); `launcher`, when given, is a program with its arguments that runs pellamy-report;
/// `prepare`, when given, runs in the new process just before the program starts (to close,
/// redirect or pass on descriptors, or to set signal actions).
inline StartedReport StartReport(const std::vector<std::string>& args,
                                 const std::filesystem::path& workingFolder = std::filesystem::current_path(),
                                 const std::vector<std::string>& environment = {},
                                 const std::vector<std::string>& launcher = {},
                                 const std::function<void()>& prepare = {})
{
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        // dup2 leaves the copies without close-on-exec: the program inherits exactly 0, 1 and 2 of
        // these.
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        if (::chdir(workingFolder.c_str()) != 0) {
            ::_exit(126);
        }
        ::setenv("LC_ALL", "C", 1);
        ::setenv("TZ", "UTC0", 1);
        for (const std::string& variable : environment) {
            const auto equals = variable.find('=');
            if (equals == std::string::npos) {
                ::unsetenv(variable.c_str());
            } else {
                ::setenv(variable.substr(0, equals).c_str(), variable.c_str() + equals + 1, 1);
            }
        }
        if (prepare) {
            prepare();
        }
        std::vector<std::string> words = launcher;
        words.emplace_back(PELLAMY_REPORT_EXE);
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    return {child, out[0], err[0]};
}

/// Reads what a started pellamy-report writes until it ends, and waits for it. Standard error is
/// read after standard output, which is fine for the short messages these runs give.
inline RunResult FinishReport(const StartedReport& started)
{
    RunResult result;
    if (started.Pid < 0) {
        return result;
    }
    result.Out = ReadAll(started.Out);
    result.Err = ReadAll(started.Err);
    ::close(started.Out);
    ::close(started.Err);
    int status = 0;
    ::waitpid(started.Pid, &status, 0);
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.Signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
}

/// Runs pellamy-report as `StartReport` starts it, and gives what it wrote and how it ended.
inline RunResult RunReport(const std::vector<std::string>& args,
                           const std::filesystem::path& workingFolder = std::filesystem::current_path(),
                           const std::vector<std::string>& environment = {},
                           const std::vector<std::string>& launcher = {},
                           const std::function<void()>& prepare = {})
{
    return FinishReport(StartReport(args, workingFolder, environment, launcher, prepare));
}

} // namespace pellamy

#endif
