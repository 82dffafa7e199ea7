// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/WindowControls.h"

#include <array>

namespace pellamy {
namespace {

constexpr std::string_view kAttributesHint = "Attributes  - filter files with one or more of selected attributes";

// The one-letter check boxes are announced by the attribute their letter stands for.
constexpr std::array kControls = {
    WindowControl{"ISF", "Include System Files (not recommended)",
                  "Playing with  system files can be dangerous - don't do it unless you know what you are doing!",
                  "Include System Files (not recommended)", 9, 6, 281, 17},
    WindowControl{"LView2", "", "Double click a file to open it.  Popup menu on right button", "Files"},
    WindowControl{"roFile", "R", kAttributesHint, "R: read-only", 27, 7, 38, 17},
    WindowControl{"hidFile", "H", kAttributesHint, "H: hidden", 69, 7, 38, 17},
    WindowControl{"sysFile", "S", kAttributesHint, "S: system", 111, 7, 38, 17},
    WindowControl{"arcFile", "A", "Attributes  - select attributes to use in filter", "A: archive", 153, 7, 38, 17},
    WindowControl{"AttrChk", "Filter", "Filter files by selected attributes when checked", "Filter", 200, 8, 57, 16},
    WindowControl{"SubFolders", "Sub-folders", "Sum the folder and every folder below it", "Sub-folders", 266, 8, 90,
                  16},
    WindowControl{"sLView", "", "Click on file type to list files - double click any type to show all file types",
                  "Types"},
    WindowControl{"JvDriveCombo1", "", "", "Drives"},
    WindowControl{"dList", "", "", "Folders"},
    WindowControl{"Form1", "Pellamy", "", "Pellamy"},
    WindowControl{"Panel1", "Pellamy (Previously Corvanta)", "", ""},
    WindowControl{"Panel3Caption", "?", "", "Totals"},
    WindowControl{"JvSplitter1", "", "", "Between folders and types"},
    WindowControl{"JvSplitter2", "", "", "Between types and files"},
    WindowControl{"StatusBar1", "", "", "Status"},
};

} // namespace

std::span<const WindowControl> WindowControls()
{
    return kControls;
}

const WindowControl& ControlNamed(std::string_view name)
{
    static const WindowControl none{};
    for (const WindowControl& control : kControls) {
        if (control.Name == name) {
            return control;
        }
    }
    return none;
}

} // namespace pellamy
