// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/XdgContextMenuStore.h"

#include "platform/posix/TemporaryFiles.h"
#include "scan/Utf8.h"
#include "shell/ContextMenuRegistration.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <variant>
#include <vector>

namespace pellamy {
namespace {

enum class FileKind { DolphinServiceMenu, NemoAction, FileManagerAction, NautilusScript };

struct ActionFile
{
    const char* Path;
    FileKind Kind;
};

constexpr std::array kFolderFiles{
    ActionFile{"kio/servicemenus/pellamy-folder.desktop", FileKind::DolphinServiceMenu},
    ActionFile{"nemo/actions/pellamy-folder.nemo_action", FileKind::NemoAction},
    ActionFile{"file-manager/actions/pellamy-folder.desktop", FileKind::FileManagerAction},
    ActionFile{"nautilus/scripts/Run Pellamy", FileKind::NautilusScript},
};
constexpr std::array kFileFiles{
    ActionFile{"kio/servicemenus/pellamy-files.desktop", FileKind::DolphinServiceMenu},
    ActionFile{"nemo/actions/pellamy-files.nemo_action", FileKind::NemoAction},
    ActionFile{"file-manager/actions/pellamy-files.desktop", FileKind::FileManagerAction},
};

constexpr const char* kIconName = "org.pellamy.Pellamy";

std::vector<ActionFile> FilesOf(XdgContextMenuStore::Class cls)
{
    switch (cls) {
    case XdgContextMenuStore::Class::Folders:
        return {kFolderFiles.begin(), kFolderFiles.end()};
    case XdgContextMenuStore::Class::Files:
        return {kFileFiles.begin(), kFileFiles.end()};
    case XdgContextMenuStore::Class::Drives:
        break;
    }
    return {};
}

struct KeyName
{
    XdgContextMenuStore::Class Cls;
    bool IsCommand;
};

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// Registry key names do not depend on letter case.
std::optional<KeyName> ParseKey(const std::string& key)
{
    using Keys = RegistrationKeyNames;
    using Class = XdgContextMenuStore::Class;
    const std::pair<const char*, KeyName> known[] = {
        {Keys::FolderVerb, {Class::Folders, false}}, {Keys::FolderCommand, {Class::Folders, true}},
        {Keys::DriveVerb, {Class::Drives, false}},   {Keys::DriveCommand, {Class::Drives, true}},
        {Keys::FileVerb, {Class::Files, false}},     {Keys::FileCommand, {Class::Files, true}},
    };
    const std::string lower = Lower(key);
    for (const auto& [name, parsed] : known) {
        if (Lower(name) == lower) {
            return parsed;
        }
    }
    return std::nullopt;
}

// A string value of a desktop entry or key file: backslashes and control characters escaped.
std::string KeyFileValue(std::string_view text)
{
    std::string value;
    for (const char c : text) {
        switch (c) {
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        default:
            value += c;
        }
    }
    if (!value.empty() && value.front() == ' ') {
        value.replace(0, 1, "\\s");
    }
    return value;
}

// The Exec value: each word quoted by the desktop-entry rules with its percent signs doubled, and
// the selected item's word replaced by the file manager's field code, which must stand unquoted.
std::string ExecValue(const std::vector<std::string>& words, std::string_view placeholder)
{
    std::string exec;
    for (const std::string& word : words) {
        if (!exec.empty()) {
            exec += ' ';
        }
        if (word == kSelectedItemWord) {
            exec += placeholder;
            continue;
        }
        for (const char c : QuotedCommand({word}, CommandSyntax::DesktopEntry)) {
            exec += c;
            if (c == '%') {
                exec += '%';
            }
        }
    }
    return KeyFileValue(exec);
}

// A word for the POSIX shell, taken literally whatever it holds.
std::string ShellWord(const std::string& word)
{
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string NautilusScript(const std::vector<std::string>& words)
{
    // Nautilus starts a script in the shown folder with the selected items as its arguments; the
    // first one goes to the program as an absolute path, never through a shell's word splitting.
    std::string command = "exec";
    for (const std::string& word : words) {
        command += ' ';
        command += word == kSelectedItemWord ? std::string("\"$item\"") : ShellWord(word);
    }
    return "#!/bin/sh\n"
           "# Shows the first selected item in Pellamy.\n"
           "item=${1-.}\n"
           "case $item in\n"
           "/*) ;;\n"
           "*) item=$PWD/$item ;;\n"
           "esac\n" +
           command + "\n";
}

std::string FileText(FileKind kind, bool folders, const std::string& caption,
                     const std::vector<std::string>& words)
{
    const std::string name = KeyFileValue(caption);
    switch (kind) {
    case FileKind::DolphinServiceMenu:
        return "[Desktop Entry]\nType=Service\nName=" + name +
               "\nMimeType=" + (folders ? "inode/directory;" : "all/allfiles;") +
               "\n"
               "Actions=RunPellamy;\n"
               "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
               "X-KDE-Priority=TopLevel\n"
               "\n"
               "[Desktop Action RunPellamy]\n"
               "Name=" +
               name + "\nIcon=" + kIconName + "\nExec=" + ExecValue(words, "%f") + "\n";
    case FileKind::NemoAction:
        // Nemo's %f is the display name; %F is the path.
        return "[Nemo Action]\nName=" + name + "\nIcon-Name=" + kIconName +
               "\nExec=" + ExecValue(words, "%F") +
               "\nSelection=s\nExtensions=" + (folders ? "dir;" : "nodirs;") + "\n";
    case FileKind::FileManagerAction:
        return "[Desktop Entry]\nType=Action\nName=" + name + "\nTooltip=" + name + "\nIcon=" + kIconName +
               "\nProfiles=run;\n\n[X-Action-Profile run]\nName=" + name +
               "\nMimeTypes=" + (folders ? "inode/directory;" : "all/allfiles;") +
               "\nSelectionCount==1\nExec=" + ExecValue(words, "%f") + "\n";
    case FileKind::NautilusScript:
        return NautilusScript(words);
    }
    return {};
}

// The general error report's words for a file or folder of the store that could not be made.
std::string CannotWrite(const std::string& path, int error)
{
    return "Cannot write \"" + path + "\". " + std::strerror(error);
}

// Makes `folder` and what is missing above it; the reason when that failed.
RegistrationFailure MakeFolderChain(const std::string& folder)
{
    // Missing folders of the user's data folder get mode 0700, as the base-directory rules ask.
    struct stat info
    {};
    if (::stat(folder.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode) ? RegistrationFailure() : CannotWrite(folder, ENOTDIR);
    }
    const std::size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        if (RegistrationFailure failure = MakeFolderChain(folder.substr(0, slash))) {
            return failure;
        }
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return CannotWrite(folder, errno);
    }
    return std::nullopt;
}

// Writes all of `text` to `fd`, gives the file `mode` and flushes it to the disk, so that the
// rename that follows never puts an empty file in place after a crash; 0 or the error.
int WriteFlushed(int fd, std::string_view text, mode_t mode)
{
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) {
        return errno;
    }
    return 0;
}

// Writes `text` to a temporary file beside `path`, then renames it over `path`, so that a file
// manager never reads a half-written file. The temporary file has no name while it is written
// where the file system makes unnamed files, so a program killed meanwhile leaves nothing in the
// data folder; else its short name goes with a SIGINT or SIGTERM. The reason when that failed,
// and then nothing is left.
RegistrationFailure WriteWhole(const std::string& path, const std::string& text, mode_t mode)
{
    const std::string folder = path.substr(0, path.find_last_of('/'));
    auto created = CreateTemporaryIn(folder);
    if (const int* failure = std::get_if<int>(&created)) {
        return CannotWrite(path, *failure);
    }
    TemporaryFile file = std::move(std::get<TemporaryFile>(created));
    int error = WriteFlushed(file.Fd.Get(), text, mode);
    if (error == 0 && file.Name.Empty()) {
        // A link never replaces a name: the finished file gets a short name of its own first.
        auto name = NameUnnamed(file.Fd.Get(), folder);
        if (auto* named = std::get_if<TemporaryName>(&name)) {
            file.Name = std::move(*named);
        } else {
            // No way to name an unnamed file here (no /proc and no privilege to link a
            // descriptor): the text goes to a named file instead.
            auto fallback = CreateNamedIn(folder);
            if (const int* failure = std::get_if<int>(&fallback)) {
                return CannotWrite(path, *failure);
            }
            file = std::move(std::get<TemporaryFile>(fallback));
            error = WriteFlushed(file.Fd.Get(), text, mode);
        }
    }
    if (error == 0 && !file.Fd.Close()) {
        error = errno;
    }
    if (error == 0) {
        const TerminationSignalsHeld held;
        if (::rename(file.Name.Path().c_str(), path.c_str()) == 0) {
            file.Name.Release();
            return std::nullopt;
        }
        error = errno;
    }
    // The temporary file goes with `file`.
    return CannotWrite(path, error);
}

// Desktop entries are UTF-8 text: a file manager refuses an Exec line holding other bytes.
bool IsUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t length = DecodeUtf8(text, i, cp);
        if (length == 0 || cp == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

bool Exists(const std::string& path)
{
    struct stat info
    {};
    return ::lstat(path.c_str(), &info) == 0;
}

} // namespace

class XdgContextMenuStore::Key final : public RegistrationKey
{
public:
    Key(XdgContextMenuStore& store, KeyName name)
        : m_store(store)
        , m_name(name)
    {}

    RegistrationFailure WriteDefaultValue(const std::string& value) override
    {
        if (m_name.IsCommand) {
            return m_store.WriteCommand(m_name.Cls, value);
        }
        if (!IsUtf8(value)) {
            return "The caption \"" + value + "\" is not UTF-8 text, which a desktop entry cannot hold";
        }
        if (m_name.Cls == Class::Folders) {
            m_store.m_folderCaption = value;
        } else if (m_name.Cls == Class::Files) {
            m_store.m_fileCaption = value;
        }
        return std::nullopt;
    }

private:
    XdgContextMenuStore& m_store;
    KeyName m_name;
};

XdgContextMenuStore::XdgContextMenuStore(std::string dataFolder)
    : m_dataFolder(std::move(dataFolder))
    , m_folderCaption(kRunPellamyCaption)
    , m_fileCaption(kRunPellamyCaption)
{}

bool XdgContextMenuStore::KeyExists(const std::string& key)
{
    const std::optional<KeyName> name = ParseKey(key);
    if (!name) {
        return false;
    }
    const std::vector<ActionFile> files = FilesOf(name->Cls);
    return !files.empty() && Exists(m_dataFolder + "/" + files.front().Path);
}

void XdgContextMenuStore::DeleteKeyTree(const std::string& key)
{
    if (const std::optional<KeyName> name = ParseKey(key)) {
        for (const ActionFile& file : FilesOf(name->Cls)) {
            ::unlink((m_dataFolder + "/" + file.Path).c_str());
        }
    }
}

std::unique_ptr<RegistrationKey> XdgContextMenuStore::OpenOrCreateKey(const std::string& key,
                                                                      RegistrationFailure& failure)
{
    const std::optional<KeyName> name = ParseKey(key);
    if (!name) {
        failure = "Cannot create \"" + key + "\": the file managers have no place for it";
        return nullptr;
    }
    if (m_dataFolder.empty() || m_dataFolder.front() != '/') {
        failure = std::string("There is no data folder to register in: set XDG_DATA_HOME or HOME");
        return nullptr;
    }
    for (const ActionFile& file : FilesOf(name->Cls)) {
        const std::string path = m_dataFolder + "/" + file.Path;
        if ((failure = MakeFolderChain(path.substr(0, path.find_last_of('/'))))) {
            return nullptr;
        }
    }
    return std::make_unique<Key>(*this, *name);
}

RegistrationFailure XdgContextMenuStore::WriteCommand(Class cls, const std::string& command)
{
    const std::optional<std::vector<std::string>> words = SplitDesktopEntryCommand(command);
    if (!words || words->empty()) {
        return "The command " + command + " is not a desktop entry's command";
    }
    for (const std::string& word : *words) {
        if (!IsUtf8(word)) {
            return "The program's path \"" + words->front() +
                   "\" is not UTF-8 text, which the file managers' desktop entries cannot hold";
        }
    }
    const bool folders = cls == Class::Folders;
    const std::string& caption = folders ? m_folderCaption : m_fileCaption;
    for (const ActionFile& file : FilesOf(cls)) {
        // Dolphin runs only service menus that are executable; the script must be too.
        const bool executable =
            file.Kind == FileKind::DolphinServiceMenu || file.Kind == FileKind::NautilusScript;
        if (RegistrationFailure failure = WriteWhole(m_dataFolder + "/" + file.Path,
                                                     FileText(file.Kind, folders, caption, *words),
                                                     executable ? 0755 : 0644)) {
            return failure;
        }
    }
    return std::nullopt;
}

std::optional<std::string> UserDataFolder()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        return std::string(dataHome);
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.local/share";
    }
    return std::nullopt;
}

std::string OwnProgramPath()
{
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace pellamy
