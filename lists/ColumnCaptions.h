// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_LISTS_COLUMNCAPTIONS_H
#define PELLAMY_LISTS_COLUMNCAPTIONS_H

#include <array>
#include <string_view>

namespace pellamy {

/// The column captions of the type list.
inline constexpr std::array<std::string_view, 4> kTypeColumns = {"Type", "Description", "Number", "Size"};

/// The column captions of the file list.
inline constexpr std::array<std::string_view, 6> kFileColumns = {"Type",     "Name",    "Created",
                                                                 "Modified", "Attribs", "Size"};

} // namespace pellamy

#endif
