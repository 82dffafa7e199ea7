// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_SHELL_MEMORYREGISTRATIONSTORE_H
#define PELLAMY_TESTS_SHELL_MEMORYREGISTRATIONSTORE_H

#include "shell/RegistrationStore.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace pellamy {

/// A registration store in memory: a tree of keys, each with an optional default value. Keys
/// named in `FailingOpens` cannot be opened, values of keys in `FailingWrites` cannot be written.
class MemoryRegistrationStore final : public RegistrationStore
{
public:
    explicit MemoryRegistrationStore(CommandSyntax syntax = CommandSyntax::CommandLine)
        : m_syntax(syntax)
    {}

    CommandSyntax Syntax() const override { return m_syntax; }

    bool KeyExists(const std::string& key) override { return Keys.count(key) != 0; }

    void DeleteKeyTree(const std::string& key) override
    {
        Deleted.push_back(key);
        for (auto it = Keys.begin(); it != Keys.end();) {
            const bool below = it->first.size() > key.size() && it->first.compare(0, key.size(), key) == 0 &&
                               it->first[key.size()] == '\\';
            it = it->first == key || below ? Keys.erase(it) : std::next(it);
        }
    }

    std::unique_ptr<RegistrationKey> OpenOrCreateKey(const std::string& key, RegistrationFailure& failure) override
    {
        if (FailingOpens.count(key) != 0) {
            failure = "Cannot open " + key;
            return nullptr;
        }
        for (std::size_t slash = key.find('\\'); slash != std::string::npos;
             slash = key.find('\\', slash + 1)) {
            Keys.emplace(key.substr(0, slash), std::nullopt);
        }
        Keys.emplace(key, std::nullopt);
        return std::make_unique<Key>(*this, key);
    }

    /// The key with its value, or nothing for a missing key or one without a value.
    std::optional<std::string> Value(const std::string& key) const
    {
        const auto it = Keys.find(key);
        return it == Keys.end() ? std::nullopt : it->second;
    }

    std::map<std::string, std::optional<std::string>> Keys;
    /// Every value written, in order: key and value.
    std::vector<std::pair<std::string, std::string>> Writes;
    std::vector<std::string> Deleted;
    std::set<std::string> FailingOpens;
    std::set<std::string> FailingWrites;

private:
    class Key final : public RegistrationKey
    {
    public:
        Key(MemoryRegistrationStore& store, std::string name)
            : m_store(store)
            , m_name(std::move(name))
        {}
        RegistrationFailure WriteDefaultValue(const std::string& value) override
        {
            if (m_store.FailingWrites.count(m_name) != 0) {
                return "Failed to set data for ''";
            }
            m_store.Keys[m_name] = value;
            m_store.Writes.emplace_back(m_name, value);
            return std::nullopt;
        }

    private:
        MemoryRegistrationStore& m_store;
        std::string m_name;
    };

    CommandSyntax m_syntax;
};

} // namespace pellamy

#endif
