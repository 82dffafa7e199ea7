// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_XDGCONTEXTMENUSTORE_H
#define PELLAMY_PLATFORM_POSIX_XDGCONTEXTMENUSTORE_H

#include "shell/RegistrationStore.h"

#include <optional>
#include <string>

namespace pellamy {

/// The context-menu registration as the Linux file managers read it, in the user's data folder:
/// for folders and for files each a Dolphin service menu (`kio/servicemenus/`), a Nemo action
/// (`nemo/actions/`) and a file-manager action read by Caja and PCManFM-Qt
/// (`file-manager/actions/`), and one Nautilus script (`nautilus/scripts/Run Pellamy`) that goes
/// with the folder class. The verb keys give the caption and the command keys write the files;
/// the folders' Dolphin service menu stands for the folders' verb key, so its presence alone means
/// "registered". A mount point is a folder, so the drives' keys can be opened and written but keep
/// nothing. Keys of other classes cannot be opened.
///
/// Command values use the quoting of desktop entries. In each file the word "%1" becomes the file
/// manager's placeholder for the selected item's path. Every file is written to a temporary file
/// beside its place and renamed into it once complete; the temporary file has no name where the
/// file system allows (O_TMPFILE), so a program killed while writing leaves nothing behind, and
/// otherwise a short one that SIGINT or SIGTERM removes. Nothing is written outside the data
/// folder. Keys cannot be opened without a data folder (an empty or relative path), and a folder
/// that cannot be made or a file that cannot be written fails with the system's reason; a
/// command or caption that is not UTF-8 text (a program path of other bytes) cannot be held, since
/// the file managers refuse a desktop entry that holds it.
class XdgContextMenuStore final : public RegistrationStore
{
public:
    /// A store in `dataFolder` (an absolute path; created with mode 0700 when first written).
    explicit XdgContextMenuStore(std::string dataFolder);

    CommandSyntax Syntax() const override { return CommandSyntax::DesktopEntry; }
    bool KeyExists(const std::string& key) override;
    void DeleteKeyTree(const std::string& key) override;
    std::unique_ptr<RegistrationKey> OpenOrCreateKey(const std::string& key,
                                                     RegistrationFailure& failure) override;

    enum class Class { Folders, Drives, Files };

private:
    class Key;

    RegistrationFailure WriteCommand(Class cls, const std::string& command);

    std::string m_dataFolder;
    std::string m_folderCaption;
    std::string m_fileCaption;
};

/// The user's data folder: `$XDG_DATA_HOME` when it is an absolute path, else `$HOME/.local/share`;
/// nothing when neither is set.
std::optional<std::string> UserDataFolder();

/// The full path of the running program as the system reports it (`/proc/self/exe`); empty when it
/// cannot be read.
std::string OwnProgramPath();

} // namespace pellamy

#endif
