// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/CommaText.h"

namespace pellamy {
namespace {

bool NeedsQuotes(std::string_view item)
{
    for (const char c : item) {
        const auto code = static_cast<unsigned char>(c);
        if ((code >= 1 && code <= 32) || c == '"' || c == ',') {
            return true;
        }
    }
    return false;
}

template <typename Items>
std::string Join(const Items& items)
{
    std::string out;
    bool first = true;
    for (const auto& item : items) {
        if (!first) {
            out += ',';
        }
        first = false;
        AppendCommaItem(out, item);
    }
    return out;
}

} // namespace

void AppendCommaItem(std::string& out, std::string_view item)
{
    if (!NeedsQuotes(item)) {
        out += item;
        return;
    }
    out += '"';
    // The runs between double quotes are appended whole; each quote is doubled.
    for (std::size_t quote = item.find('"'); quote != std::string_view::npos; quote = item.find('"')) {
        out.append(item.substr(0, quote + 1));
        out += '"';
        item.remove_prefix(quote + 1);
    }
    out.append(item);
    out += '"';
}

std::string CommaText(std::span<const std::string> items)
{
    return Join(items);
}

std::string CommaText(std::span<const std::string_view> items)
{
    return Join(items);
}

std::string CommaText(std::initializer_list<std::string_view> items)
{
    return Join(items);
}

} // namespace pellamy
