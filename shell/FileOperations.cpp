// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FileOperations.h"

namespace pellamy {
namespace {

class FileOperationCategoryImpl final : public std::error_category
{
public:
    const char* name() const noexcept override { return "pellamy.file"; }
    std::string message(int value) const override
    {
        switch (static_cast<FileOperationError>(value)) {
        case FileOperationError::ChangedSinceListed:
            return "The file has changed since it was listed";
        }
        return "Unknown error";
    }
};

} // namespace

const std::error_category& FileOperationCategory()
{
    static const FileOperationCategoryImpl category;
    return category;
}

} // namespace pellamy
