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
    RegistrationFailure failure;
    leftovers.OpenOrCreateKey(Keys::DriveCommand, failure)->WriteDefaultValue("old");
    leftovers.OpenOrCreateKey(Keys::FileVerb, failure)->WriteDefaultValue("old");
    leftovers.Writes.clear();
    EXPECT_TRUE(ToggleContextMenuRegistration(leftovers, kProgram, true).Registered);
    EXPECT_EQ(leftovers.Writes, SixKeys("\"/usr/bin/pellamy\" \"%1\" \"/s\""));
    EXPECT_EQ(leftovers.Value(Keys::DriveCommand), "\"/usr/bin/pellamy\" \"%1\" \"/s\"");
    EXPECT_EQ(leftovers.Value(Keys::FileVerb), "Run Pellamy");

    // The folder key alone: unregisters and deletes just it; its neighbours stay.
    MemoryRegistrationStore folderOnly;
    folderOnly.OpenOrCreateKey(Keys::FolderVerb, failure);
    folderOnly.OpenOrCreateKey("software\\classes\\directory\\shell\\open", failure);
    EXPECT_FALSE(ToggleContextMenuRegistration(folderOnly, kProgram, false).Registered);
    EXPECT_EQ(folderOnly.Deleted, std::vector<std::string>{Keys::FolderVerb});
    EXPECT_FALSE(folderOnly.KeyExists(Keys::FolderVerb));
    EXPECT_TRUE(folderOnly.KeyExists("software\\classes\\directory\\shell\\open"));
    EXPECT_TRUE(folderOnly.Writes.empty());
}

TEST(ContextMenuRegistration, AKeyThatCannotBeOpenedOrWrittenFailsAndTakesBackWhatWasWritten)
{
    const std::string earlier = "software\\classes\\directory\\shell\\open";
    for (const char* failing : {Keys::FolderVerb, Keys::FolderCommand, Keys::DriveVerb, Keys::DriveCommand,
                                Keys::FileVerb, Keys::FileCommand}) {
        for (const bool opening : {true, false}) {
            SCOPED_TRACE(std::string(failing) + (opening ? " cannot be opened" : " cannot be written"));
            MemoryRegistrationStore store;
            RegistrationFailure failure;
            store.OpenOrCreateKey(earlier, failure)->WriteDefaultValue("kept");
            (opening ? store.FailingOpens : store.FailingWrites).insert(failing);
            const RegistrationOutcome outcome = ToggleContextMenuRegistration(store, kProgram, false);
            EXPECT_EQ(outcome.Failure, opening ? "Cannot open " + std::string(failing)
                                               : std::string("Failed to set data for ''"));
            // Nothing of the registration stays, so the next use registers again; other keys stay.
            for (const auto& [key, value] : SixKeys("")) {
                EXPECT_FALSE(store.KeyExists(key)) << key;
            }
            EXPECT_EQ(store.Value(earlier), "kept");

            store.FailingOpens.clear();
            store.FailingWrites.clear();
            const RegistrationOutcome again = ToggleContextMenuRegistration(store, kProgram, false);
            EXPECT_TRUE(again.Registered);
            EXPECT_FALSE(again.Failure);
        }
    }
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
