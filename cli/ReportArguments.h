// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_CLI_REPORTARGUMENTS_H
#define PELLAMY_CLI_REPORTARGUMENTS_H

#include "scan/ScanFolder.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace pellamy {

enum class ReportFormat { Table, Json, Csv, Xml, Html };

/// The order asked for with --sort: the rows as a click on the header of `Column` orders them,
/// or the reverse with `Descending`.
struct ReportSort
{
    std::size_t Column = 0;
    bool Descending = false;
};

/// What one run of pellamy-report was asked to do.
struct ReportArguments
{
    bool ShowHelp = false;
    bool ShowVersion = false;
    /// Empty for the type list; the names of a file list: one extension's, or every name.
    std::optional<NamePattern> FilePattern;
    ScanOptions Options;
    /// The folder and every folder below it, rather than the folder alone.
    bool Recursive = false;
    /// With `Recursive`: enter no folder on another file system than the folder's.
    bool OneFileSystem = false;
    ReportFormat Format = ReportFormat::Table;
    /// Empty: the rows in caption order.
    std::optional<ReportSort> Sort;
    std::optional<std::string> OutputFile;
    /// Empty: the working directory.
    std::string Folder;
};

/// A command line that cannot be run, with the reason for the usage message.
struct UsageError
{
    std::string Message;
};

/// Reads the arguments that follow the program name. Options may be given as "--name value" or
/// "--name=value"; "--" ends the options. The column of --sort is a caption of the list asked
/// for, in any letter case, optionally followed by ":desc" (or ":asc").
std::variant<ReportArguments, UsageError> ParseReportArguments(const std::vector<std::string>& args);

/// The usage text printed by --help and after a usage error.
std::string ReportUsage();

} // namespace pellamy

#endif
