// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportArguments.h"

#include "lists/ColumnCaptions.h"
#include "lists/FileRows.h"
#include "scan/CaseFold.h"
#include "scan/TypeSummary.h"

#include <span>

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
    if (name == "csv") {
        return ReportFormat::Csv;
    }
    if (name == "xml") {
        return ReportFormat::Xml;
    }
    if (name == "html") {
        return ReportFormat::Html;
    }
    return std::nullopt;
}

std::string CaptionList(std::span<const std::string_view> captions)
{
    std::string out;
    for (std::size_t i = 0; i < captions.size(); ++i) {
        out += i == 0 ? "" : (i + 1 == captions.size() ? " or " : ", ");
        out += captions[i];
    }
    return out;
}

// "Size:desc" against the captions of the list: the column and direction, or the reason why not.
std::variant<ReportSort, UsageError> SortNamed(std::string text, std::span<const std::string_view> captions,
                                               std::string_view listName)
{
    ReportSort sort;
    if (const auto colon = text.rfind(':'); colon != std::string::npos) {
        const std::string direction = text.substr(colon + 1);
        if (CompareTextNoCase(direction, "desc") == 0) {
            sort.Descending = true;
        } else if (CompareTextNoCase(direction, "asc") != 0) {
            return UsageError{"--sort takes a column, optionally followed by :desc or :asc, not \"" + text +
                              "\""};
        }
        text.resize(colon);
    }
    for (std::size_t c = 0; c < captions.size(); ++c) {
        if (CompareTextNoCase(text, captions[c]) == 0) {
            sort.Column = c;
            return sort;
        }
    }
    return UsageError{"the " + std::string(listName) + " has no column \"" + text + "\": use " +
                      CaptionList(captions)};
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
    return "Usage: pellamy-report [--files EXT | --all-files] [--recursive [--one-file-system]]\n"
           "                      [--include-system] [--filter LETTERS]\n"
           "                      [--format table|json|csv|xml|html] [--sort COLUMN[:desc]]\n"
           "                      [--output FILE] [FOLDER]\n"
           "\n"
           "Shows what FOLDER (default: the working directory) contains, by file type.\n"
           "\n"
           "  --files EXT         list the files whose names end in EXT (\".txt\");\n"
           "                      \"\" the files without an extension\n"
           "  --all-files         list every file of the folder\n"
           "  -r, --recursive     FOLDER and every folder below it: the types of the whole tree, or\n"
           "                      its files named by their path below FOLDER (\"sub/a.txt\"). Links\n"
           "                      to folders are not followed, each folder is read once, and a file\n"
           "                      with several hard links counts once, as du counts it. Folders\n"
           "                      that cannot be read are left out and listed on standard error\n"
           "                      after the report, and the exit status is then 1\n"
           "  -x, --one-file-system\n"
           "                      with --recursive: stay on FOLDER's file system, as du -x does\n"
           "  --include-system    count devices, FIFOs and sockets too\n"
           "  --filter LETTERS    accept only files with one of the attributes R (read-only),\n"
           "                      H (hidden), S (system), A (archive); \"\" accepts nothing\n"
           "  --format FORMAT     table (default), json, or the window's reports: csv, xml, html\n"
           "                      (csv and html as the copy commands give them, for a file list\n"
           "                      with every row selected; xml as a saved file holds it)\n"
           "  --sort COLUMN[:desc]\n"
           "                      order the rows as a click on that column's header would\n"
           "                      (Type, Description, Number, Size for the type list; Type, Name,\n"
           "                      Created, Modified, Attribs, Size for a file list), before any\n"
           "                      format; \":desc\" reverses the order\n"
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
    std::optional<std::string> sortText;
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
                out.FilePattern = NamePattern::AllFiles();
            } else {
                std::string extension;
                if (!value(extension)) {
                    return UsageError{"--files needs an extension, such as .txt, or \"\""};
                }
                out.FilePattern = NamePattern::OfExtension(extension);
            }
        } else if (arg == "--recursive" || arg == "-r") {
            if (!noValue()) {
                return UsageError{"--recursive takes no value"};
            }
            out.Recursive = true;
        } else if (arg == "--one-file-system" || arg == "-x") {
            if (!noValue()) {
                return UsageError{"--one-file-system takes no value"};
            }
            out.OneFileSystem = true;
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
                return UsageError{"--format needs table, json, csv, xml or html"};
            }
            const auto format = FormatNamed(name);
            if (!format) {
                return UsageError{"unknown format \"" + name + "\": use table, json, csv, xml or html"};
            }
            out.Format = *format;
        } else if (arg == "--sort") {
            std::string column;
            if (!value(column)) {
                return UsageError{"--sort needs a column, such as Size or Size:desc"};
            }
            sortText = column;
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
    if (out.OneFileSystem && !out.Recursive) {
        return UsageError{"--one-file-system goes with --recursive"};
    }
    // The columns depend on the list, which may be chosen after --sort.
    if (sortText) {
        auto sort = out.FilePattern ? SortNamed(*sortText, kFileColumns, "file list")
                                    : SortNamed(*sortText, kTypeColumns, "type list");
        if (auto* error = std::get_if<UsageError>(&sort)) {
            return std::move(*error);
        }
        out.Sort = std::get<ReportSort>(sort);
    }
    return out;
}

} // namespace pellamy
