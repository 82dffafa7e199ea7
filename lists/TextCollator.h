// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_LISTS_TEXTCOLLATOR_H
#define PELLAMY_LISTS_TEXTCOLLATOR_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace pellamy {

/// The user's locale-aware, case-sensitive text order, used to put list rows in caption order.
class TextCollator
{
public:
    virtual ~TextCollator() = default;

    /// Negative, zero or positive as `a` sorts before, with or after `b`.
    virtual int Compare(std::string_view a, std::string_view b) const = 0;

    /// The positions of `texts` in ascending order; equal texts keep their relative order.
    /// Implementations may prepare one key per text, so that a large list costs one locale
    /// conversion per row rather than one per comparison.
    virtual std::vector<std::size_t> SortedOrder(const std::vector<std::string_view>& texts) const;
};

/// Byte order: the collator of last resort, and a fixed order for tests.
class ByteCollator final : public TextCollator
{
public:
    int Compare(std::string_view a, std::string_view b) const override;
};

/// The order (position -> row) that puts `rowCount` rows ascending by their captions under
/// `collator`; rows with equal captions keep their relative order. Captions are extensions, so a
/// million rows carry a few hundred distinct ones: each distinct caption is collated once and the
/// rows are then placed by its rank.
std::vector<std::uint32_t> CaptionOrder(std::size_t rowCount,
                                        const std::function<std::string_view(std::size_t)>& caption,
                                        const TextCollator& collator);

} // namespace pellamy

#endif
