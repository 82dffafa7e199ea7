// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_PLATFORM_TEMPFOLDER_H
#define PELLAMY_TESTS_PLATFORM_TEMPFOLDER_H

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace pellamy {

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pellamy-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a temporary folder");
        }
        m_path = pattern;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        std::error_code ec;
        // Read-only entries inside must not stop the clean-up.
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(m_path, ec);
    }

    const std::filesystem::path& Path() const { return m_path; }
    std::string Slashed() const { return m_path.string() + "/"; }

    /// Writes a file of `size` bytes named `name` inside the folder.
    std::filesystem::path Write(const std::string& name, std::size_t size = 0) const
    {
        const auto path = m_path / name;
        std::ofstream out(path, std::ios::binary);
        out << std::string(size, 'x');
        return path;
    }

private:
    std::filesystem::path m_path;
};

} // namespace pellamy

#endif
