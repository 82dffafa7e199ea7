// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/MimeTypeDescriptions.h"

namespace pellamy {

std::string MimeTypeDescriptions::UnknownTypeDescription(const std::string& extension)
{
    if (extension.empty() || extension == ".") {
        return "File";
    }
    std::string out;
    for (std::size_t i = 1; i < extension.size(); ++i) {
        const char c = extension[i];
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c;
    }
    return out + " File";
}

std::string MimeTypeDescriptions::GetTypeDescription(const std::string& extension)
{
    if (const auto it = m_cache.find(extension); it != m_cache.end()) {
        return it->second;
    }
    std::string description;
    if (!extension.empty()) {
        const QMimeType type = m_database.mimeTypeForFile(
            QLatin1String("x") + QString::fromStdString(extension), QMimeDatabase::MatchExtension);
        if (type.isValid() && !type.isDefault()) {
            description = type.comment().toStdString();
        }
    }
    if (description.empty()) {
        description = UnknownTypeDescription(extension);
    }
    m_cache.emplace(extension, description);
    return description;
}

} // namespace pellamy
