// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportArguments.h"

namespace pellamy {
namespace {

std::optional<ReportFormat> FormatNamed(const std::string& name)
{
    if (name == "table") {
        return ReportFormat::Table;
    }
    if (name == "json") {
        return ReportFormat::Json;
    }
    return std::nullopt;
}

// "--filter RA": the attribute filter on, with the boxes of the letters ticked.
std::optional<AttributeFilterBoxes> BoxesFromLetters(const std::string& letters)
{
    AttributeFilterBoxes boxes{false, false, false, false};
    for (const char c : letters) {
        switch (c) {
        case 'R':
        case 'r':
            boxes.roFile = true;
            break;
        case 'H':
        case 'h':
            boxes.hidFile = true;
            break;
        case 'S':
        case 's':
            boxes.sysFile = true;
            break;
        case 'A':
        case 'a':
            boxes.arcFile = true;
            break;
        default:
            return std::nullopt;
        }
    }
    return boxes;
}

} // namespace

std::string ReportUsage()
{
    return "Usage: pellamy-report [--files EXT | --all-files] [--include-system] [--filter LETTERS]\n"
           "                      [--format table|json] [--output FILE] [FOLDER]\n"
           "\n"
           "Shows what FOLDER (default: the working directory) contains, by file type.\n"
           "\n"
           "  --files EXT         list the files whose names end in EXT (\".txt\"); \"\" lists every file\n"
           "  --all-files         list every file of the folder\n"
           "  --include-system    count devices, FIFOs and sockets too\n"
           "  --filter LETTERS    accept only files with one of the attributes R (read-only),\n"
           "                      H (hidden), S (system), A (archive); \"\" accepts nothing\n"
           "  --format FORMAT     table (default) or json\n"
           "  -o, --output FILE   write to FILE instead of standard output\n"
           "  --help              show this text\n"
           "  --version           show the version\n";
}

std::variant<ReportArguments, UsageError> ParseReportArguments(const std::vector<std::string>& args)
{
    ReportArguments out;
    bool folderSeen = false;
    bool optionsEnded = false;
    bool listChosen = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            if (folderSeen) {
                return UsageError{"more than one folder given: \"" + arg + "\""};
            }
            out.Folder = arg;
            folderSeen = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        auto value = [&](std::string& into) -> bool {
            if (inlineValue) {
                into = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) {
                return false;
            }
            into = args[++i];
            return true;
        };
        auto noValue = [&]() { return !inlineValue.has_value(); };

        if (arg == "--help" || arg == "-h") {
            out.ShowHelp = true;
        } else if (arg == "--version") {
            out.ShowVersion = true;
        } else if (arg == "--files" || arg == "--all-files") {
            if (listChosen) {
                return UsageError{"--files and --all-files may be given once, and not together"};
            }
            listChosen = true;
            if (arg == "--all-files") {
                if (!noValue()) {
                    return UsageError{"--all-files takes no value"};
                }
                out.FilePattern = "*.*";
            } else {
                std::string extension;
                if (!value(extension)) {
                    return UsageError{"--files needs an extension, such as .txt, or \"\""};
                }
                out.FilePattern = "*" + extension;
            }
        } else if (arg == "--include-system") {
            if (!noValue()) {
                return UsageError{"--include-system takes no value"};
            }
            out.Options.ISF = true;
        } else if (arg == "--filter") {
            std::string letters;
            if (!value(letters)) {
                return UsageError{"--filter needs attribute letters (R, H, S, A) or \"\""};
            }
            const auto boxes = BoxesFromLetters(letters);
            if (!boxes) {
                return UsageError{"--filter takes only the letters R, H, S and A, not \"" + letters + "\""};
            }
            out.Options.AttrChk = true;
            out.Options.Boxes = *boxes;
        } else if (arg == "--format") {
            std::string name;
            if (!value(name)) {
                return UsageError{"--format needs table or json"};
            }
            const auto format = FormatNamed(name);
            if (!format) {
                return UsageError{"unknown format \"" + name + "\": use table or json"};
            }
            out.Format = *format;
        } else if (arg == "--output" || arg == "-o") {
            std::string file;
            if (!value(file) || file.empty()) {
                return UsageError{"--output needs a file name"};
            }
            out.OutputFile = file;
        } else {
            return UsageError{"unknown option " + args[i]};
        }
    }
    return out;
}

} // namespace pellamy
