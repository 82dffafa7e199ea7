// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_CLI_RUNREPORT_H
#define PELLAMY_TESTS_CLI_RUNREPORT_H

#include <cstddef>
#include <filesystem>
#include <stdlib.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace pellamy {

/// What one run of pellamy-report gave: its exit code (-1 when it did not exit normally) and
/// everything it wrote to standard output and standard error.
struct RunResult
{
    int ExitCode = -1;
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

/// Runs pellamy-report with `args` in `workingFolder`, under the C locale and UTC. `environment`
/// then changes variables ("NAME=value" sets one, such as another LC_ALL or TZ; "NAME" alone
/// removes it); `launcher`, when given, is a program with its arguments that runs pellamy-report.
/// Standard error is read after standard output, which is fine for the short messages these runs
/// give.
inline RunResult RunReport(const std::vector<std::string>& args,
                           const std::filesystem::path& workingFolder = std::filesystem::current_path(),
                           const std::vector<std::string>& environment = {},
                           const std::vector<std::string>& launcher = {})
{
    int out[2];
    int err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0) {
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::close(out[0]);
        ::close(err[0]);
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
    RunResult result;
    result.Out = ReadAll(out[0]);
    result.Err = ReadAll(err[0]);
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace pellamy

#endif
