// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_TYPEINFOSOURCE_H
#define PELLAMY_SCAN_TYPEINFOSOURCE_H

#include <string>

namespace pellamy {

/// Where the description of a file type comes from: the system's type database in the program,
/// a fake in tests.
class TypeInfoSource
{
public:
    virtual ~TypeInfoSource() = default;

    /// The description of the type of files with `extension` (".txt", or empty for files without
    /// one). Never fails: a type the database does not know gets a made-up description.
    virtual std::string GetTypeDescription(const std::string& extension) = 0;
};

} // namespace pellamy

#endif
