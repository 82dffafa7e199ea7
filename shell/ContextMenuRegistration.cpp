// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ContextMenuRegistration.h"

#include <iterator>
#include <string_view>

namespace pellamy {
namespace {

// Characters that oblige a desktop entry to quote the word that holds them.
constexpr std::string_view kDesktopEntryReserved = " \t\n\"'\\><~|&;$*?#()`";
// Characters escaped by a backslash inside a quoted word of a desktop entry.
constexpr std::string_view kDesktopEntryEscaped = "\"`$\\";

std::string QuotedWord(const std::string& word, CommandSyntax syntax)
{
    std::string quoted = "\"";
    for (const char c : word) {
        if (syntax == CommandSyntax::DesktopEntry && kDesktopEntryEscaped.find(c) != std::string_view::npos) {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

} // namespace

std::optional<std::vector<std::string>> SplitDesktopEntryCommand(const std::string& command)
{
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < command.size()) {
        if (command[at] == ' ') {
            ++at;
            continue;
        }
        std::string word;
        while (at < command.size() && command[at] != ' ') {
            if (command[at] != '"') {
                if (kDesktopEntryReserved.find(command[at]) != std::string_view::npos) {
                    return std::nullopt;
                }
                word += command[at++];
                continue;
            }
            for (++at;; ++at) {
                if (at == command.size()) {
                    return std::nullopt;
                }
                if (command[at] == '"') {
                    ++at;
                    break;
                }
                if (command[at] == '\\') {
                    if (at + 1 == command.size() ||
                        kDesktopEntryEscaped.find(command[at + 1]) == std::string_view::npos) {
                        return std::nullopt;
                    }
                    ++at;
                }
                word += command[at];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::string QuotedCommand(const std::vector<std::string>& words, CommandSyntax syntax)
{
    std::string command;
    for (const std::string& word : words) {
        if (!command.empty()) {
            command += ' ';
        }
        command += QuotedWord(word, syntax);
    }
    return command;
}

RegistrationOutcome ToggleContextMenuRegistration(RegistrationStore& store, const std::string& programPath,
                                                  bool skin)
{
    using Keys = RegistrationKeyNames;
    if (store.KeyExists(Keys::FolderVerb)) {
        store.DeleteKeyTree(Keys::FolderVerb);
        for (const char* verb : {Keys::DriveVerb, Keys::FileVerb}) {
            if (store.KeyExists(verb)) {
                store.DeleteKeyTree(verb);
            }
        }
        return RegistrationOutcome{false, std::nullopt};
    }

    // The program's path is quoted like the other words, so that a path with blanks starts the
    // right program.
    std::vector<std::string> words{programPath, kSelectedItemWord};
    if (skin) {
        words.emplace_back("/s");
    }
    const std::string command = QuotedCommand(words, store.Syntax());
    struct Value
    {
        const char* Verb;
        const char* Name;
        const std::string* Text;
    };
    const std::string caption = kRunPellamyCaption;
    const Value values[] = {
        {Keys::FolderVerb, Keys::FolderVerb, &caption}, {Keys::FolderVerb, Keys::FolderCommand, &command},
        {Keys::DriveVerb, Keys::DriveVerb, &caption},   {Keys::DriveVerb, Keys::DriveCommand, &command},
        {Keys::FileVerb, Keys::FileVerb, &caption},     {Keys::FileVerb, Keys::FileCommand, &command},
    };
    for (std::size_t i = 0; i < std::size(values); ++i) {
        RegistrationFailure failure;
        if (const std::unique_ptr<RegistrationKey> key = store.OpenOrCreateKey(values[i].Name, failure)) {
            failure = key->WriteDefaultValue(*values[i].Text);
        } else if (!failure) {
            failure = std::string("Cannot create \"") + values[i].Name + "\"";
        }
        if (failure) {
            // A half registration would say "registered" to some file managers and not to others,
            // and the folders' verb key alone would make the next use unregister: take it all back.
            for (std::size_t written = 0; written <= i; written += 2) {
                store.DeleteKeyTree(values[written].Verb);
            }
            return RegistrationOutcome{true, std::move(failure)};
        }
    }
    return RegistrationOutcome{true, std::nullopt};
}

} // namespace pellamy
