// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/ErrorReportText.h"

namespace pellamy {

std::string ErrorReportText(const std::string& message)
{
    // Characters up to "." (blanks, "!", quotes, brackets, "," "-" ".") end the text as they are,
    // and so does a question mark; every later one, letters, digits and ":" among them, and every
    // character outside ASCII, is followed by a full stop.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.' && message.back() != '?') {
        return message + '.';
    }
    return message;
}

} // namespace pellamy
