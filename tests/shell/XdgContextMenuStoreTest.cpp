// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/XdgContextMenuStore.h"

#include "shell/ContextMenuRegistration.h"
#include "tests/platform/SeccompFilters.h"
#include "tests/platform/TempFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <map>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kFolderFiles{
    "kio/servicemenus/pellamy-folder.desktop",
    "nemo/actions/pellamy-folder.nemo_action",
    "file-manager/actions/pellamy-folder.desktop",
    "nautilus/scripts/Run Pellamy",
};
const std::vector<std::string> kFileFiles{
    "kio/servicemenus/pellamy-files.desktop",
    "nemo/actions/pellamy-files.nemo_action",
    "file-manager/actions/pellamy-files.desktop",
};

// Everything under `root`: type, mode and contents of each entry, by relative path.
std::map<std::string, std::string> Snapshot(const fs::path& root)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat info
        {};
        ::lstat(entry.path().c_str(), &info);
        std::string state = std::to_string(info.st_mode);
        if (S_ISREG(info.st_mode)) {
            std::ifstream in(entry.path(), std::ios::binary);
            state += std::string(std::istreambuf_iterator<char>(in), {});
        }
        entries[fs::relative(entry.path(), root).string()] = state;
    }
    return entries;
}

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs `command` through the shell; its standard output, and its exit status in `status`.
std::string RunShell(const std::string& command, int& status)
{
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    const int raw = ::pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

class XdgContextMenuStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A home with something of its own, and the data folder inside it but not yet made.
        ::setenv("HOME", m_home.Path().c_str(), 1);
        ::setenv("XDG_DATA_HOME", Data().c_str(), 1);
        fs::create_directories(m_home.Path() / ".config");
        m_home.Write(".config/settings", 10);
        m_home.Write(".profile", 3);
    }

    fs::path Data() const { return m_home.Path() / "xdg data"; }
    const fs::path& Home() const { return m_home.Path(); }

    TempFolder m_home;
};

TEST_F(XdgContextMenuStoreTest, FilesAppearAndDisappearWithTheToggleAndNothingElseChanges)
{
    const auto before = Snapshot(Home());
    XdgContextMenuStore store(UserDataFolder().value_or(""));

    const RegistrationOutcome registered = ToggleContextMenuRegistration(store, "/usr/bin/pellamy", false);
    EXPECT_TRUE(registered.Registered);
    EXPECT_FALSE(registered.Failure);
    const auto afterRegister = Snapshot(Home());
    std::vector<std::string> files;
    for (const auto& [path, state] : afterRegister) {
        if (before.count(path) == 0 || before.at(path) != state) {
            ASSERT_TRUE(path == "xdg data" || path.rfind("xdg data/", 0) == 0)
                << "written outside the data folder: " << path;
            if (fs::is_regular_file(Home() / path)) {
                files.push_back(path.substr(std::string("xdg data/").size()));
            }
        }
    }
    std::vector<std::string> expected = kFolderFiles;
    expected.insert(expected.end(), kFileFiles.begin(), kFileFiles.end());
    std::sort(expected.begin(), expected.end());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, expected) << "no temporary file stays behind";
    for (const std::string& file : expected) {
        const auto perms = fs::status(Data() / file).permissions();
        const bool executable = file.rfind("kio/", 0) == 0 || file.rfind("nautilus/", 0) == 0;
        EXPECT_EQ(perms, executable ? fs::perms(0755) : fs::perms(0644)) << file;
    }
    EXPECT_EQ(fs::status(Data()).permissions(), fs::perms(0700));

    const RegistrationOutcome unregistered = ToggleContextMenuRegistration(store, "/usr/bin/pellamy", false);
    EXPECT_FALSE(unregistered.Registered);
    for (const auto& [path, state] : Snapshot(Home())) {
        EXPECT_TRUE(before.count(path) != 0 || fs::is_directory(Home() / path)) << "left behind: " << path;
    }
    for (const auto& [path, state] : before) {
        EXPECT_EQ(Snapshot(Home()).at(path), state) << path;
    }

    // The third use registers again.
    EXPECT_TRUE(ToggleContextMenuRegistration(store, "/usr/bin/pellamy", false).Registered);
    EXPECT_TRUE(fs::exists(Data() / kFileFiles.back()));
}

TEST_F(XdgContextMenuStoreTest, ActionFilesLoadAsKeyFilesAndTheirCommandIsTheProgramOnTheSelectedItem)
{
    const std::string program = "/opt/my \"apps\"/$HOME/`id`/back\\slash/100%/new\nline/pellamy";
    XdgContextMenuStore store(Data().string());
    ASSERT_FALSE(ToggleContextMenuRegistration(store, program, true).Failure);

    std::string command = PELLAMY_SYSTEM_PYTHON " " + ShellQuoted(PELLAMY_READ_ACTION_FILES);
    std::vector<std::string> keyFiles = kFolderFiles;
    keyFiles.pop_back();
    keyFiles.insert(keyFiles.end(), kFileFiles.begin(), kFileFiles.end());
    for (const std::string& file : keyFiles) {
        command += " " + ShellQuoted((Data() / file).string());
    }
    int status = 0;
    const nlohmann::json files = nlohmann::json::parse(RunShell(command, status));
    ASSERT_EQ(status, 0);

    const auto at = [&](const std::string& file) { return files.at((Data() / file).string()); };
    for (const char* folderOrFiles : {"folder", "files"}) {
        const std::string kind = folderOrFiles;
        const bool folders = kind == "folder";

        const auto dolphin = at("kio/servicemenus/pellamy-" + kind + ".desktop");
        EXPECT_EQ(dolphin["groups"]["Desktop Entry"]["Type"], "Service");
        EXPECT_EQ(dolphin["groups"]["Desktop Entry"]["MimeType"],
                  folders ? "inode/directory;" : "all/allfiles;");
        EXPECT_EQ(dolphin["groups"]["Desktop Action RunPellamy"]["Name"], "Run Pellamy");
        EXPECT_EQ(dolphin["exec"]["Desktop Action RunPellamy"],
                  (std::vector<std::string>{program, "%f", "/s"}));

        const auto nemo = at("nemo/actions/pellamy-" + kind + ".nemo_action");
        EXPECT_EQ(nemo["groups"]["Nemo Action"]["Name"], "Run Pellamy");
        EXPECT_EQ(nemo["groups"]["Nemo Action"]["Selection"], "s");
        EXPECT_EQ(nemo["groups"]["Nemo Action"]["Extensions"], folders ? "dir;" : "nodirs;");
        EXPECT_EQ(nemo["exec"]["Nemo Action"], (std::vector<std::string>{program, "%F", "/s"}));

        const auto action = at("file-manager/actions/pellamy-" + kind + ".desktop");
        EXPECT_EQ(action["groups"]["Desktop Entry"]["Type"], "Action");
        EXPECT_EQ(action["groups"]["Desktop Entry"]["Name"], "Run Pellamy");
        EXPECT_EQ(action["groups"]["Desktop Entry"]["Profiles"], "run;");
        EXPECT_EQ(action["groups"]["X-Action-Profile run"]["MimeTypes"],
                  folders ? "inode/directory;" : "all/allfiles;");
        EXPECT_EQ(action["exec"]["X-Action-Profile run"], (std::vector<std::string>{program, "%f", "/s"}));
    }
}

TEST_F(XdgContextMenuStoreTest, DolphinServiceMenusPassTheDesktopEntryValidator)
{
    int status = 0;
    RunShell("command -v desktop-file-validate >/dev/null", status);
    if (status != 0) {
        GTEST_SKIP() << "desktop-file-validate is not installed (desktop-file-utils)";
    }
    XdgContextMenuStore store(Data().string());
    ToggleContextMenuRegistration(store, "/opt/my apps/$pellamy's", true);
    for (const char* file :
         {"kio/servicemenus/pellamy-folder.desktop", "kio/servicemenus/pellamy-files.desktop"}) {
        // The validator knows only applications, links and folders; the keys that make a service
        // menu (its MIME types and actions) and Dolphin's own type of all files are all it may
        // object to.
        std::istringstream lines(
            RunShell("desktop-file-validate " + ShellQuoted((Data() / file).string()) + " 2>&1", status));
        for (std::string line; std::getline(lines, line);) {
            const bool serviceKey = line.find("key \"MimeType\" is present") != std::string::npos ||
                                    line.find("key \"Actions\" is present") != std::string::npos;
            const bool allFiles = line.find("contains value \"all/allfiles\"") != std::string::npos;
            EXPECT_TRUE((serviceKey && line.find("type is \"Service\"") != std::string::npos) || allFiles)
                << line;
        }
    }
}

TEST_F(XdgContextMenuStoreTest, NautilusScriptHandsTheFirstSelectedItemToTheProgramAsItIs)
{
    // A stand-in program, in a folder whose name a shell would misread, that records its arguments.
    const fs::path folder = Home() / "bin's $dir";
    fs::create_directories(folder);
    const fs::path record = Home() / "arguments";
    const fs::path program = folder / "pellamy";
    std::ofstream(program) << "#!/bin/sh\nprintf '%s\\0' \"$@\" > " << ShellQuoted(record.string()) << "\n";
    fs::permissions(program, fs::perms(0755));

    XdgContextMenuStore store(Data().string());
    ToggleContextMenuRegistration(store, program.string(), true);
    const fs::path script = Data() / "nautilus/scripts/Run Pellamy";

    const fs::path shown = Home() / "shown";
    fs::create_directories(shown);
    const std::string selected = "a $(touch pwned) `b`\nc";
    int status = 0;
    RunShell("cd " + ShellQuoted(shown.string()) + " && " + ShellQuoted(script.string()) + " " +
                 ShellQuoted(selected) + " second",
             status);
    ASSERT_EQ(status, 0);
    const std::string expected = (shown / selected).string() + '\0' + "/s" + '\0';
    EXPECT_EQ(Read(record), expected);
    EXPECT_FALSE(fs::exists(shown / "pwned"));

    RunShell(ShellQuoted(script.string()) + " /abs/path", status);
    EXPECT_EQ(Read(record), std::string("/abs/path") + '\0' + "/s" + '\0');
}

// What a failed registration must leave: no action file of the program and no temporary file.
void ExpectNothingRegistered(const fs::path& data)
{
    if (!fs::exists(data)) {
        return;
    }
    for (const auto& entry : fs::recursive_directory_iterator(data)) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.rfind(".pellamy-", 0), std::string::npos) << entry.path();
        if (entry.is_regular_file()) {
            EXPECT_EQ(name.rfind("pellamy-", 0), std::string::npos) << entry.path();
            EXPECT_NE(name, "Run Pellamy") << entry.path();
        }
    }
}

// The temporary files of the program anywhere under `data`, by their names.
std::vector<std::string> TemporaryNames(const fs::path& data)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(data)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(".pellamy-", 0) == 0) {
            names.push_back(name);
        }
    }
    return names;
}

// A registration in a child process, held by a kernel filter at the store's first fsync: the
// first action file is complete in its temporary file and not yet in place.
class HeldRegistration
{
public:
    /// With `refuseUnnamedFiles`, the kernel refuses the child O_TMPFILE, as a file system
    /// without unnamed files does.
    HeldRegistration(const fs::path& data, bool refuseUnnamedFiles)
    {
        int channel[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, channel) != 0) {
            return;
        }
        std::fflush(nullptr);
        m_child = ::fork();
        if (m_child == 0) {
            ::close(channel[0]);
            if (refuseUnnamedFiles && !RefuseUnnamedFiles()) {
                ::_exit(125);
            }
            const int listener = StallFsync();
            if (listener < 0 || !SendDescriptor(channel[1], listener)) {
                ::_exit(125);
            }
            ::close(listener);
            XdgContextMenuStore store(data.string());
            ::_exit(ToggleContextMenuRegistration(store, "/usr/bin/pellamy", false).Failure ? 1 : 0);
        }
        ::close(channel[1]);
        if (m_child > 0) {
            m_listener = ReceiveDescriptor(channel[0]);
        }
        ::close(channel[0]);
        if (m_listener >= 0) {
            m_held = WaitForStall(m_listener);
        }
    }

    HeldRegistration(const HeldRegistration&) = delete;
    HeldRegistration& operator=(const HeldRegistration&) = delete;

    ~HeldRegistration()
    {
        if (m_child > 0) {
            ::kill(m_child, SIGKILL);
            ::waitpid(m_child, nullptr, 0);
        }
        if (m_listener >= 0) {
            ::close(m_listener);
        }
    }

    /// Whether the registration was started and is now held at its first flush.
    bool Held() const { return m_held != 0; }

    /// Sends `signal`, then lets every held call go on until the child ends; the signal that
    /// ended it, 0 when none did.
    int SignalAndFinish(int signal)
    {
        ::kill(m_child, signal);
        ContinueStalled(m_listener, m_held);
        for (std::uint64_t next; (next = WaitForStall(m_listener, 10000)) != 0;) {
            ContinueStalled(m_listener, next);
        }
        int status = 0;
        ::waitpid(m_child, &status, 0);
        m_child = -1;
        return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }

private:
    pid_t m_child = -1;
    int m_listener = -1;
    std::uint64_t m_held = 0;
};

TEST_F(XdgContextMenuStoreTest, AProgramEndedWhileWritingLeavesNoActionFileAndNoTemporaryFile)
{
    if (!SeccompFiltersAvailable()) {
        GTEST_SKIP() << "no seccomp filters here: a registration cannot be held while it writes";
    }
    fs::create_directories(Data());
    const int probe = ::open(Data().c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (probe < 0) {
        GTEST_SKIP() << "the temporary folder makes no unnamed files (" << std::strerror(errno) << ")";
    }
    ::close(probe);

    // Killed: the file being written has no name, so nothing can stay behind.
    {
        HeldRegistration registration(Data(), false);
        ASSERT_TRUE(registration.Held()) << "the registration was not held while it writes";
        EXPECT_EQ(TemporaryNames(Data()), std::vector<std::string>{}) << "the file being written has a name";
        EXPECT_EQ(registration.SignalAndFinish(SIGKILL), SIGKILL);
        ExpectNothingRegistered(Data());
    }

    // Where the file system makes no unnamed files, the named one goes with the signal that ends
    // the program, which still ends by that signal.
    for (const int signal : {SIGTERM, SIGINT}) {
        HeldRegistration registration(Data(), true);
        ASSERT_TRUE(registration.Held()) << "the registration was not held while it writes";
        EXPECT_EQ(TemporaryNames(Data()).size(), 1u) << "a named temporary file is written beside its place";
        EXPECT_EQ(registration.SignalAndFinish(signal), signal) << ::strsignal(signal);
        ExpectNothingRegistered(Data());
    }
}

TEST_F(XdgContextMenuStoreTest, AFileThatCannotBeWrittenFailsWithItsReasonAndTakesBackTheOthers)
{
    // A folder where the Nemo action belongs: the rename onto it fails.
    const fs::path blocked = Data() / "nemo/actions/pellamy-folder.nemo_action";
    fs::create_directories(blocked / "inside");
    XdgContextMenuStore store(Data().string());
    const RegistrationOutcome outcome = ToggleContextMenuRegistration(store, "/usr/bin/pellamy", false);
    EXPECT_EQ(outcome.Failure, "Cannot write \"" + blocked.string() + "\". Is a directory");
    ExpectNothingRegistered(Data());

    // The files' class fails the same way, and takes back the folders' files written before it.
    fs::remove_all(blocked);
    fs::create_directories(Data() / "kio/servicemenus/pellamy-files.desktop/inside");
    EXPECT_TRUE(ToggleContextMenuRegistration(store, "/usr/bin/pellamy", false).Failure);
    ExpectNothingRegistered(Data());
    EXPECT_FALSE(store.KeyExists(RegistrationKeyNames::FolderVerb));
}

TEST_F(XdgContextMenuStoreTest, NoDataFolderOrOneThatCannotBeMadeFailsWithoutWritingAnything)
{
    XdgContextMenuStore none("");
    const RegistrationOutcome outcome = ToggleContextMenuRegistration(none, "/usr/bin/pellamy", false);
    ASSERT_TRUE(outcome.Failure);
    EXPECT_EQ(outcome.Failure->rfind("There is no data folder", 0), 0u) << *outcome.Failure;
    XdgContextMenuStore relative("relative/share");
    EXPECT_TRUE(ToggleContextMenuRegistration(relative, "/usr/bin/pellamy", false).Failure);

    // A data folder below a file cannot be made, whoever runs the test.
    const fs::path underFile = Home() / ".profile" / "share";
    XdgContextMenuStore blocked(underFile.string());
    const RegistrationOutcome notMade = ToggleContextMenuRegistration(blocked, "/usr/bin/pellamy", false);
    ASSERT_TRUE(notMade.Failure);
    EXPECT_NE(notMade.Failure->find("Not a directory"), std::string::npos) << *notMade.Failure;
    EXPECT_TRUE(fs::is_regular_file(Home() / ".profile"));
}

TEST_F(XdgContextMenuStoreTest, ADataFolderWithoutWritePermissionFailsWithTheSystemsReason)
{
    // Root writes everywhere: the store runs as an ordinary user in a child process then.
    fs::create_directories(Data());
    fs::permissions(Data(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const std::string data = Data().string();
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
                                 ::setresuid(65534, 65534, 65534) != 0)) {
            ::_exit(3);
        }
        XdgContextMenuStore store(data);
        const RegistrationOutcome outcome = ToggleContextMenuRegistration(store, "/usr/bin/pellamy", false);
        const bool denied = outcome.Failure && outcome.Failure->find("Permission denied") != std::string::npos;
        ::_exit(denied ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    fs::permissions(Data(), fs::perms::owner_all);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) {
        GTEST_SKIP() << "cannot drop privileges to user 65534 here";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the registration did not fail as denied";
    ExpectNothingRegistered(Data());
}

TEST_F(XdgContextMenuStoreTest, AProgramPathThatIsNotUtf8CannotBeRegistered)
{
    XdgContextMenuStore store(Data().string());
    const RegistrationOutcome outcome = ToggleContextMenuRegistration(store, "/opt/caf\xe9/pellamy", true);
    ASSERT_TRUE(outcome.Failure);
    EXPECT_NE(outcome.Failure->find("is not UTF-8"), std::string::npos) << *outcome.Failure;
    ExpectNothingRegistered(Data());
    EXPECT_FALSE(ToggleContextMenuRegistration(store, "/opt/caf\xc3\xa9/pellamy", true).Failure);
}

TEST(UserDataFolder, ComesFromXdgDataHomeWhenAbsoluteElseFromHome)
{
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_DATA_HOME", "/data/someone", 1);
    EXPECT_EQ(UserDataFolder(), "/data/someone");
    ::setenv("XDG_DATA_HOME", "relative/data", 1);
    EXPECT_EQ(UserDataFolder(), "/home/someone/.local/share");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(UserDataFolder(), "/home/someone/.local/share");
    ::unsetenv("HOME");
    EXPECT_EQ(UserDataFolder(), std::nullopt);
}

TEST(OwnProgramPath, IsTheRunningExecutable)
{
    const std::string path = OwnProgramPath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(fs::path(path).filename(), "registration_tests");
    EXPECT_TRUE(fs::equivalent(path, "/proc/self/exe"));
}

} // namespace
} // namespace pellamy
