// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ContextMenuRegistration.h"

#include "tests/shell/MemoryRegistrationStore.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

using Keys = RegistrationKeyNames;
using Writes = std::vector<std::pair<std::string, std::string>>;

const std::string kProgram = "/usr/bin/pellamy";

Writes SixKeys(const std::string& command)
{
    return {
        {"software\\classes\\directory\\shell\\stuff", "Run Pellamy"},
        {"software\\classes\\directory\\shell\\stuff\\command", command},
        {"software\\classes\\Drive\\shell\\stuff", "Run Pellamy"},
        {"software\\classes\\Drive\\shell\\stuff\\command", command},
        {"software\\classes\\*\\shell\\stuff", "Run Pellamy"},
        {"software\\classes\\*\\shell\\stuff\\command", command},
    };
}

TEST(ContextMenuRegistration, TogglesBetweenRegisteredAndUnregisteredOnEachUse)
{
    MemoryRegistrationStore store;
    const RegistrationOutcome first = ToggleContextMenuRegistration(store, kProgram, false);
    EXPECT_TRUE(first.Registered);
    EXPECT_FALSE(first.Failure);
    EXPECT_EQ(store.Writes, SixKeys("\"/usr/bin/pellamy\" \"%1\""));

    const RegistrationOutcome second = ToggleContextMenuRegistration(store, kProgram, false);
    EXPECT_FALSE(second.Registered);
    EXPECT_FALSE(second.Failure);
    EXPECT_EQ(store.Deleted, (std::vector<std::string>{Keys::FolderVerb, Keys::DriveVerb, Keys::FileVerb}));
    for (const auto& [key, value] : SixKeys("")) {
        EXPECT_FALSE(store.KeyExists(key)) << key;
    }
    EXPECT_EQ(store.Writes.size(), 6U) << "unregistering writes nothing";

    store.Writes.clear();
    EXPECT_TRUE(ToggleContextMenuRegistration(store, kProgram, false).Registered);
    EXPECT_EQ(store.Writes, SixKeys("\"/usr/bin/pellamy\" \"%1\""));
}

TEST(ContextMenuRegistration, SkinFlagAtRegisteringAddsTheSlashSPart)
{
    MemoryRegistrationStore withSkin;
    ToggleContextMenuRegistration(withSkin, kProgram, true);
    EXPECT_EQ(withSkin.Writes, SixKeys("\"/usr/bin/pellamy\" \"%1\" \"/s\""));

    MemoryRegistrationStore withoutSkin;
    ToggleContextMenuRegistration(withoutSkin, kProgram, false);
    EXPECT_EQ(withoutSkin.Value(Keys::FileCommand), "\"/usr/bin/pellamy\" \"%1\"");
}

TEST(ContextMenuRegistration, OnlyTheFolderVerbKeyDecides)
{
    // Drive and file keys without the folder key: everything is written again and overwritten.
    MemoryRegistrationStore leftovers;
    leftovers.OpenOrCreateKey(Keys::DriveCommand)->WriteDefaultValue("old");
    leftovers.OpenOrCreateKey(Keys::FileVerb)->WriteDefaultValue("old");
    leftovers.Writes.clear();
    EXPECT_TRUE(ToggleContextMenuRegistration(leftovers, kProgram, true).Registered);
    EXPECT_EQ(leftovers.Writes, SixKeys("\"/usr/bin/pellamy\" \"%1\" \"/s\""));
    EXPECT_EQ(leftovers.Value(Keys::DriveCommand), "\"/usr/bin/pellamy\" \"%1\" \"/s\"");
    EXPECT_EQ(leftovers.Value(Keys::FileVerb), "Run Pellamy");

    // The folder key alone: unregisters and deletes just it; its neighbours stay.
    MemoryRegistrationStore folderOnly;
    folderOnly.OpenOrCreateKey(Keys::FolderVerb);
    folderOnly.OpenOrCreateKey("software\\classes\\directory\\shell\\open");
    EXPECT_FALSE(ToggleContextMenuRegistration(folderOnly, kProgram, false).Registered);
    EXPECT_EQ(folderOnly.Deleted, std::vector<std::string>{Keys::FolderVerb});
    EXPECT_FALSE(folderOnly.KeyExists(Keys::FolderVerb));
    EXPECT_TRUE(folderOnly.KeyExists("software\\classes\\directory\\shell\\open"));
    EXPECT_TRUE(folderOnly.Writes.empty());
}

TEST(ContextMenuRegistration, KeysThatCannotBeOpenedAreSkippedSilently)
{
    MemoryRegistrationStore store;
    store.FailingOpens = {Keys::FolderCommand, Keys::DriveVerb};
    const RegistrationOutcome outcome = ToggleContextMenuRegistration(store, kProgram, false);
    EXPECT_TRUE(outcome.Registered);
    EXPECT_FALSE(outcome.Failure);
    Writes expected = SixKeys("\"/usr/bin/pellamy\" \"%1\"");
    expected.erase(expected.begin() + 2);
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(store.Writes, expected);
}

TEST(ContextMenuRegistration, ValueThatCannotBeWrittenStopsWithTheStoreErrorAndKeepsWhatWasWritten)
{
    MemoryRegistrationStore store;
    store.FailingWrites = {Keys::DriveCommand};
    const RegistrationOutcome outcome = ToggleContextMenuRegistration(store, kProgram, false);
    EXPECT_EQ(outcome.Failure, "Failed to set data for ''");
    Writes expected = SixKeys("\"/usr/bin/pellamy\" \"%1\"");
    expected.resize(3);
    EXPECT_EQ(store.Writes, expected);
    EXPECT_FALSE(store.KeyExists(Keys::FileVerb));

    // The folder key was written, so the next use unregisters.
    store.FailingWrites.clear();
    EXPECT_FALSE(ToggleContextMenuRegistration(store, kProgram, false).Registered);
}

TEST(ContextMenuRegistration, ProgramPathIsQuotedAsTheStoreFormatRequires)
{
    MemoryRegistrationStore commandLine(CommandSyntax::CommandLine);
    ToggleContextMenuRegistration(commandLine, "/opt/my apps/pellamy", false);
    EXPECT_EQ(commandLine.Value(Keys::FolderCommand), "\"/opt/my apps/pellamy\" \"%1\"");

    const std::string awkward = "/opt/my \"apps\"/$HOME/`id`/back\\slash/100%/pellamy";
    MemoryRegistrationStore desktop(CommandSyntax::DesktopEntry);
    ToggleContextMenuRegistration(desktop, awkward, true);
    const std::string command = desktop.Value(Keys::FileCommand).value_or("");
    EXPECT_EQ(command, "\"/opt/my \\\"apps\\\"/\\$HOME/\\`id\\`/back\\\\slash/100%/pellamy\" \"%1\" \"/s\"");
    EXPECT_EQ(SplitDesktopEntryCommand(command), (std::vector<std::string>{awkward, "%1", "/s"}));
}

TEST(ContextMenuRegistration, DesktopEntryCommandsThatAreNotWellFormedAreRefused)
{
    EXPECT_EQ(SplitDesktopEntryCommand("plain  \"two words\""),
              (std::vector<std::string>{"plain", "two words"}));
    EXPECT_EQ(SplitDesktopEntryCommand("a\"b c\"d"), std::vector<std::string>{"ab cd"});
    EXPECT_FALSE(SplitDesktopEntryCommand("\"open"));
    EXPECT_FALSE(SplitDesktopEntryCommand("/bin/$x"));
    EXPECT_FALSE(SplitDesktopEntryCommand("\"bad \\n escape\""));
    EXPECT_FALSE(SplitDesktopEntryCommand("\"dangling\\"));
}

} // namespace
} // namespace pellamy
