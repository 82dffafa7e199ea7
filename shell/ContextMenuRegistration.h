// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_CONTEXTMENUREGISTRATION_H
#define PELLAMY_SHELL_CONTEXTMENUREGISTRATION_H

#include "shell/RegistrationStore.h"

#include <optional>
#include <string>
#include <vector>

namespace pellamy {

/// The caption of the registered entry in the file managers' context menus.
inline constexpr const char* kRunPellamyCaption = "Run Pellamy";

/// The word of a registered command that the file manager replaces with the selected item's path.
inline constexpr const char* kSelectedItemWord = "%1";

/// The registry keys of the registration, relative to the current user's root: for each of the
/// classes folders, drives and all files, in that order, the verb key and then its command key.
struct RegistrationKeyNames
{
    static constexpr const char* FolderVerb = "software\\classes\\directory\\shell\\stuff";
    static constexpr const char* FolderCommand = "software\\classes\\directory\\shell\\stuff\\command";
    static constexpr const char* DriveVerb = "software\\classes\\Drive\\shell\\stuff";
    static constexpr const char* DriveCommand = "software\\classes\\Drive\\shell\\stuff\\command";
    static constexpr const char* FileVerb = "software\\classes\\*\\shell\\stuff";
    static constexpr const char* FileCommand = "software\\classes\\*\\shell\\stuff\\command";
};

/// What one use of the toggle did.
struct RegistrationOutcome
{
    /// True when it registered, false when it unregistered.
    bool Registered = false;
    /// Set when registering failed: the message for the general error report. What was written
    /// before the failure has been taken back.
    std::optional<std::string> Failure;
};

/// Registers the program in the context menu of folders, drives and files, or takes it out again.
/// The existence of the folders' verb key alone decides: when it exists, the three verb keys are
/// deleted with their command keys (missing ones and failed deletions are passed over silently);
/// otherwise the verb key (caption "Run Pellamy") and the command key of each class are written,
/// overwriting what was there. The command starts `programPath` on the selected item, with "/s" as
/// last argument when `skin` is set.
///
/// Registering succeeds as a whole or not at all: when a key cannot be opened or created, or a
/// value cannot be written or held, the verb keys of the classes written so far are deleted again
/// with their command keys, and the outcome carries the store's reason.
RegistrationOutcome ToggleContextMenuRegistration(RegistrationStore& store, const std::string& programPath,
                                                  bool skin);

/// The command value for `words` in `syntax`: each word quoted, joined by one blank.
std::string QuotedCommand(const std::vector<std::string>& words, CommandSyntax syntax);

/// The words of a command quoted by the rules of desktop entries, the quoting undone; nothing when
/// it is not well formed (an open quotation mark, a backslash before a character that takes none,
/// an unquoted character that desktop entries reserve).
std::optional<std::vector<std::string>> SplitDesktopEntryCommand(const std::string& command);

} // namespace pellamy

#endif
