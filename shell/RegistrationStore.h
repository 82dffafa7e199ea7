// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_REGISTRATIONSTORE_H
#define PELLAMY_SHELL_REGISTRATIONSTORE_H

#include <memory>
#include <optional>
#include <string>

namespace pellamy {

/// How the command values of a store quote the words of a command.
enum class CommandSyntax {
    /// Each word in double quotation marks, split back by white space outside them (the system
    /// registry's command lines).
    CommandLine,
    /// The quoting of desktop entries' Exec keys: double quotation marks, with `"`, `` ` ``, `$` and
    /// `\` escaped by a backslash inside them.
    DesktopEntry,
};

/// Why a step of a registration failed, in words for the general error report (the system's reason
/// included); nothing when the step succeeded.
using RegistrationFailure = std::optional<std::string>;

/// One opened key of a registration store; destroying it closes the key.
class RegistrationKey
{
public:
    virtual ~RegistrationKey() = default;

    /// Writes the key's default value (the value with the empty name) as a string; the reason when
    /// the value could not be written (or cannot be held by the store), and then nothing of it is
    /// kept.
    virtual RegistrationFailure WriteDefaultValue(const std::string& value) = 0;
};

/// The current user's store of context-menu registrations: a tree of keys named like
/// `software\classes\directory\shell\stuff`, each holding one default value. The system registry
/// where there is one; on Linux the file managers' action files; a map in memory in tests.
class RegistrationStore
{
public:
    virtual ~RegistrationStore() = default;

    /// How this store's command values quote their words.
    virtual CommandSyntax Syntax() const = 0;

    /// True when `key` exists.
    virtual bool KeyExists(const std::string& key) = 0;

    /// Deletes `key` with all its sub-keys, the sub-keys first. Failures are not reported: what
    /// could not be deleted stays.
    virtual void DeleteKeyTree(const std::string& key) = 0;

    /// Opens `key` for reading and writing, creating it and any missing key above it; null when
    /// that failed, with the reason in `failure`.
    virtual std::unique_ptr<RegistrationKey> OpenOrCreateKey(const std::string& key,
                                                             RegistrationFailure& failure) = 0;
};

} // namespace pellamy

#endif
