// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_QT_MIMETYPEDESCRIPTIONS_H
#define PELLAMY_SHELL_QT_MIMETYPEDESCRIPTIONS_H

#include "scan/TypeInfoSource.h"

#include <QMimeDatabase>

#include <string>
#include <unordered_map>

namespace pellamy {

/// Type descriptions from the freedesktop MIME database: the comment of the MIME type that the
/// extension maps to. A type the database does not know reads "XYZ File" (the extension's letters
/// in capitals), and files without an extension read "File". Answers are cached per extension for
/// the life of the object.
class MimeTypeDescriptions final : public TypeInfoSource
{
public:
    std::string GetTypeDescription(const std::string& extension) override;

    /// The description that a type unknown to the database gets.
    static std::string UnknownTypeDescription(const std::string& extension);

private:
    QMimeDatabase m_database;
    std::unordered_map<std::string, std::string> m_cache;
};

} // namespace pellamy

#endif
