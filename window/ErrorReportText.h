// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_WINDOW_ERRORREPORTTEXT_H
#define PELLAMY_WINDOW_ERRORREPORTTEXT_H

#include <string>

namespace pellamy {

/// The text the general error report shows for an error's message: the message as a sentence,
/// with a full stop added after a last character that is a letter, a digit or a closing mark; a
/// message that ends in a full stop or a question mark keeps its end.
std::string ErrorReportText(const std::string& message);

} // namespace pellamy

#endif
