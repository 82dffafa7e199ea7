// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WIN32_WIN32CAPTIONCOLLATOR_H
#define PELLAMY_PLATFORM_WIN32_WIN32CAPTIONCOLLATOR_H

#include "lists/TextCollator.h"

#include <string>

namespace pellamy {

/// Caption order of a locale (the user's by default), case-sensitive, through `CompareStringEx`.
/// Texts that the locale holds equal but whose bytes differ are ordered by their bytes, so the
/// order never depends on the input order.
class Win32CaptionCollator final : public TextCollator
{
public:
    /// `localeName` as Windows names locales ("sv-SE"); empty for the user's own.
    explicit Win32CaptionCollator(std::string localeName = {});

    int Compare(std::string_view a, std::string_view b) const override;

private:
    std::wstring m_localeName;
};

} // namespace pellamy

#endif
