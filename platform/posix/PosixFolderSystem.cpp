// temporary stand-in until the platform branch lands
#include "platform/posix/PosixFolderSystem.h"
#include "platform/posix/FolderAccess.h"
namespace pellamy {
std::vector<Drive> PosixFolderSystem::MountedDrives() { return {}; }
FolderListing PosixFolderSystem::ReadFolderListing(const std::string&, bool, std::error_code&) { return {}; }
bool PosixFolderSystem::IsFolder(const std::string& path) { return pellamy::IsFolder(path); }
bool PosixFolderSystem::CanEnterFolder(const std::string& path) { return pellamy::CanEnterFolder(path); }
bool PosixFolderSystem::SetWorkingFolder(const std::string& folder) { return pellamy::SetWorkingFolder(folder); }
bool PosixFolderSystem::MakeFolders(const std::string& folder) { return pellamy::MakeFolders(folder); }
std::string PosixFolderSystem::WorkingFolder() { return pellamy::WorkingFolder(); }
}
