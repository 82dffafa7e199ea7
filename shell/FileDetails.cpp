// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FileDetails.h"

namespace pellamy {

std::string ModeLetters(std::uint32_t mode)
{
    const char letters[] = "rwxrwxrwx";
    std::string text;
    for (int i = 0; i < 9; ++i) {
        text += (mode & (0400u >> i)) != 0 ? letters[i] : '-';
    }
    return text;
}

} // namespace pellamy
