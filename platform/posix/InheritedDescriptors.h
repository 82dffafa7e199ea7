// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_INHERITEDDESCRIPTORS_H
#define PELLAMY_PLATFORM_POSIX_INHERITEDDESCRIPTORS_H

#include <optional>
#include <sys/types.h>

namespace pellamy {

/// What identifies the open file behind a descriptor: the file (device and inode, which tell a
/// pipe, socket or terminal apart as well), its type and the access mode it was opened with.
struct DescriptorIdentity
{
    dev_t Device = 0;
    ino_t Inode = 0;
    mode_t Type = 0;
    int AccessMode = 0;

    bool operator==(const DescriptorIdentity&) const = default;
};

/// The open file behind `fd` now; nothing when it is not open.
std::optional<DescriptorIdentity> IdentityOfDescriptor(int fd);

/// The identity `fd` had when the process started, when `fd` is one of the descriptors the process
/// inherited and still refers to the same open file (the same file, type and access mode); nothing
/// for a descriptor the program opened itself, one it closed since, or a number it reused for
/// another file.
///
/// The descriptors are recorded once, from the executable's pre-initialisation array, which runs
/// before any constructor of the program or of the libraries it loads, so nothing the program opens
/// can be taken for one it was given. A program in which that recording did not run knows no
/// inherited descriptor, and this gives nothing for every `fd`.
std::optional<DescriptorIdentity> InheritedDescriptor(int fd);

} // namespace pellamy

#endif
