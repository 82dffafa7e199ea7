// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_CASEFOLD_H
#define PELLAMY_SCAN_CASEFOLD_H

#include <string>
#include <string_view>

namespace pellamy {

/// Appends `text` to `out` with letters mapped to lower case, so that two texts that differ only in
/// letter case give the same result. ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic letters
/// are folded; other characters, and bytes that are not valid UTF-8, are kept as they are.
void AppendFolded(std::string_view text, std::string& out);

/// `text` folded as by `AppendFolded`.
std::string FoldCase(std::string_view text);

/// True when `a` and `b` are equal ignoring letter case in the sense of `FoldCase`.
bool EqualsNoCase(std::string_view a, std::string_view b);

/// The list views' case-insensitive text comparison: bytes compared after mapping a-z to A-Z, no
/// other folding and no locale; a prefix sorts first. Negative, zero or positive.
int CompareTextNoCase(std::string_view a, std::string_view b);

} // namespace pellamy

#endif
