// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/DisplayTexts.h"
#include "platform/win32/ShellTypeDescriptions.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32CaptionCollator.h"
#include "platform/win32/Win32RegionalSettings.h"
#include "platform/win32/WindowsApi.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

// A file type registered in the classes the shell reads, for the life of the test.
class RegisteredType
{
public:
    RegisteredType(const std::wstring& extension, const std::wstring& description)
        : m_extension(extension)
    {
        SetDefault(extension, kProgId);
        SetDefault(kProgId, description);
        ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    }
    RegisteredType(const RegisteredType&) = delete;
    RegisteredType& operator=(const RegisteredType&) = delete;
    ~RegisteredType()
    {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, m_extension.c_str());
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    }

private:
    static constexpr const wchar_t* kProgId = L"PellamyTestDocument";

    static void SetDefault(const std::wstring& key, const std::wstring& value)
    {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    std::wstring m_extension;
};

TEST(ShellTypeDescriptions, AKnownTypeReadsAsRegisteredAndAnUnknownOneNamesItsExtension)
{
    const RegisteredType type(L".pellamyknown", L"Pellamy Test D\u00f6cument");
    ShellTypeDescriptions descriptions;
    EXPECT_EQ(descriptions.GetTypeDescription(".pellamyknown"), "Pellamy Test D\xC3\xB6"
                                                                "cument");

    const std::string unknown = descriptions.GetTypeDescription(".qzxw");
    EXPECT_FALSE(unknown.empty());
    std::string upper = unknown;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    EXPECT_NE(upper.find("QZXW"), std::string::npos) << unknown;
    EXPECT_FALSE(descriptions.GetTypeDescription("").empty());
}

TEST(ShellTypeDescriptions, IconIndicesComeFromTheSystemImageList)
{
    if (ShellTypeDescriptions::SystemSmallImageList() == nullptr) {
        GTEST_SKIP() << "the shell offers no system image list here";
    }
    const int text = ShellTypeDescriptions::GetTypeIconIndex(".txt");
    EXPECT_GE(text, 0);
    EXPECT_EQ(ShellTypeDescriptions::GetTypeIconIndex(".txt"), text);
}

TEST(Win32RegionalSettings, ReadsTheFormsOfNamedLocales)
{
    // The locales' own data differ between versions of the system; what every version agrees on is
    // checked here, the conversions themselves below.
    const LocalDateTime afternoon{2024, 3, 7, 13, 5, 9, 0};
    const RegionalSettings german = Win32RegionalSettings("de-DE");
    EXPECT_EQ(german.DecimalSeparator, ",");
    EXPECT_EQ(german.DateSeparator, ".");
    EXPECT_EQ(german.TimeSeparator, ":");
    EXPECT_FALSE(german.TwelveHourClock);
    const std::string germanText = DateTimeText(afternoon, german);
    EXPECT_NE(germanText.find("3.2024 13:05:09"), std::string::npos) << germanText;

    const RegionalSettings american = Win32RegionalSettings("en-US");
    EXPECT_EQ(american.DecimalSeparator, ".");
    EXPECT_EQ(american.ShortDateFormat, "M/d/yyyy");
    EXPECT_TRUE(american.TwelveHourClock);
    EXPECT_FALSE(american.LeadingZeroInHours);
    EXPECT_FALSE(american.DesignatorFirst);
    EXPECT_EQ(american.AmDesignator, "AM");
    EXPECT_EQ(american.PmDesignator, "PM");
    EXPECT_EQ(DateTimeText(afternoon, american), "3/7/2024 1:05:09 PM");
    EXPECT_EQ(SizeText(1536, false, german), "1,5 KB");
}

TEST(Win32CaptionCollator, OrdersCaptionsByTheLocaleAndCase)
{
    const Win32CaptionCollator collator("en-US");
    EXPECT_LT(collator.Compare(".a", ".B"), 0);
    EXPECT_LT(collator.Compare(".B", ".c"), 0);
    EXPECT_LT(collator.Compare("", ".a"), 0);
    EXPECT_NE(collator.Compare(".a", ".A"), 0);
    EXPECT_EQ(collator.Compare(".a", ".A"), -collator.Compare(".A", ".a"));
    EXPECT_EQ(collator.Compare(".txt", ".txt"), 0);
    // Accented letters sort with their base letter, not after "z" as their bytes would.
    EXPECT_LT(collator.Compare(".\xC3\xA9t\xC3\xA9", ".f"), 0);

    const std::vector<std::string> captions = {".zip", ".Doc", ".doc", ".\xC3\xA9", ".b"};
    const std::vector<std::uint32_t> order = CaptionOrder(
        captions.size(), [&captions](std::size_t i) { return std::string_view(captions[i]); }, collator);
    std::vector<std::string> sorted;
    for (const std::uint32_t i : order) {
        sorted.push_back(captions[i]);
    }
    EXPECT_EQ(sorted.front(), ".b");
    EXPECT_EQ(sorted.back(), ".zip");
    EXPECT_LT(std::find(sorted.begin(), sorted.end(), ".Doc"),
              std::find(sorted.begin(), sorted.end(), ".\xC3\xA9"));
}

} // namespace
} // namespace pellamy
