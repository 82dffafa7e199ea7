// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportArguments.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

ReportArguments Parsed(const std::vector<std::string>& args)
{
    auto result = ParseReportArguments(args);
    if (const auto* error = std::get_if<UsageError>(&result)) {
        ADD_FAILURE() << error->Message;
        return {};
    }
    return std::get<ReportArguments>(result);
}

std::string Refused(const std::vector<std::string>& args)
{
    auto result = ParseReportArguments(args);
    const auto* error = std::get_if<UsageError>(&result);
    return error != nullptr ? error->Message : std::string("<accepted>");
}

TEST(ParseReportArguments, DefaultsAreTheSettingsAtStart)
{
    const ReportArguments a = Parsed({});
    EXPECT_FALSE(a.FilePattern.has_value());
    EXPECT_FALSE(a.Options.ISF);
    EXPECT_FALSE(a.Options.AttrChk);
    EXPECT_EQ(a.Format, ReportFormat::Table);
    EXPECT_EQ(a.Folder, "");
    EXPECT_FALSE(a.OutputFile.has_value());
}

TEST(ParseReportArguments, FileListPatterns)
{
    EXPECT_EQ(Parsed({"--files", ".txt"}).FilePattern, NamePattern::OfExtension(".txt"));
    EXPECT_EQ(Parsed({"--files="}).FilePattern, NamePattern::OfExtension(""));
    EXPECT_EQ(Parsed({"--files", ""}).FilePattern->Text(), "*");
    EXPECT_EQ(Parsed({"--all-files"}).FilePattern, NamePattern::AllFiles());
    // The extension ".*" is a type like any other, not the pattern of every file.
    const auto star = Parsed({"--files", ".*"}).FilePattern;
    ASSERT_TRUE(star.has_value());
    EXPECT_FALSE(star->MatchesEverything());
    EXPECT_NE(star, NamePattern::AllFiles());
    EXPECT_NE(Refused({"--files", ".a", "--all-files"}), "<accepted>");
    EXPECT_NE(Refused({"--files"}), "<accepted>");
}

TEST(ParseReportArguments, FilterLettersTickTheirBoxesInAnyOrderAndCase)
{
    const ReportArguments a = Parsed({"--filter", "aR"});
    EXPECT_TRUE(a.Options.AttrChk);
    EXPECT_TRUE(a.Options.Boxes.roFile);
    EXPECT_FALSE(a.Options.Boxes.hidFile);
    EXPECT_FALSE(a.Options.Boxes.sysFile);
    EXPECT_TRUE(a.Options.Boxes.arcFile);
    const ReportArguments none = Parsed({"--filter", ""});
    EXPECT_TRUE(none.Options.AttrChk);
    EXPECT_EQ(AttributeFilterMask(none.Options.Boxes), 0u);
    EXPECT_NE(Refused({"--filter", "RX"}).find("RX"), std::string::npos);
}

TEST(ParseReportArguments, FolderOutputAndFormat)
{
    const ReportArguments a = Parsed({"--include-system", "--format=json", "-o", "out.json", "/srv/data"});
    EXPECT_TRUE(a.Options.ISF);
    EXPECT_EQ(a.Format, ReportFormat::Json);
    EXPECT_EQ(a.OutputFile, "out.json");
    EXPECT_EQ(a.Folder, "/srv/data");
    EXPECT_EQ(Parsed({"--", "--odd-folder"}).Folder, "--odd-folder");
    EXPECT_NE(Refused({"a", "b"}), "<accepted>");
    EXPECT_NE(Refused({"--format", "yaml"}).find("yaml"), std::string::npos);
    EXPECT_NE(Refused({"--bogus"}).find("--bogus"), std::string::npos);
    EXPECT_NE(Refused({"--include-system=yes"}), "<accepted>");
}

} // namespace
} // namespace pellamy
