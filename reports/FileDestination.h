// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_FILEDESTINATION_H
#define PELLAMY_REPORTS_FILEDESTINATION_H

#include <optional>
#include <string>
#include <string_view>

namespace pellamy {

/// Writes `bytes` to the file `path`, replacing it only once the whole text is written: the text
/// goes to a temporary file beside the target, which is flushed and renamed over it. An existing
/// target keeps its permission bits.
///
/// Returns nothing on success, else the message for the user: "Cannot create file "%s". %s" (the
/// full path and the system's reason) when the target cannot be written, including a target
/// marked read-only, or "Stream write error" when writing stops short. On failure the earlier
/// file is left as it was and no temporary file remains.
std::optional<std::string> WriteFileReplacing(const std::string& path, std::string_view bytes);

} // namespace pellamy

#endif
