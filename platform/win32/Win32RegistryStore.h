// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WIN32_WIN32REGISTRYSTORE_H
#define PELLAMY_PLATFORM_WIN32_WIN32REGISTRYSTORE_H

#include "shell/RegistrationStore.h"

#include <string>

namespace pellamy {

/// The context-menu registration in the current user's part of the registry (HKEY_CURRENT_USER),
/// so that it needs no administrator rights and touches no other user. Key names are used with
/// their letter case as given; keys are opened and created with KEY_READ | KEY_WRITE; a key is
/// deleted with its sub-keys, the last one first, then the key itself. Command values are command
/// lines: every word in double quotation marks.
class Win32RegistryStore final : public RegistrationStore
{
public:
    CommandSyntax Syntax() const override { return CommandSyntax::CommandLine; }
    bool KeyExists(const std::string& key) override;
    void DeleteKeyTree(const std::string& key) override;
    std::unique_ptr<RegistrationKey> OpenOrCreateKey(const std::string& key,
                                                     RegistrationFailure& failure) override;
};

/// The full path of the running program's own module (`GetModuleFileNameW`), as UTF-8.
std::string OwnProgramPath();

} // namespace pellamy

#endif
