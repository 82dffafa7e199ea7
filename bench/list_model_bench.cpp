// SPDX-License-Identifier: GPL-3.0-or-later
// The file list with a million rows: the fill, a header-click sort by "Size", "Created" and "Name",
// and the heap each row costs, for the model alone and with the list view over it.
#include "app/qt/listviews/FileListModel.h"
#include "app/qt/listviews/SortListViews.h"
#include "lists/DisplayTexts.h"
#include "lists/FileRows.h"
#include "scan/FileEntry.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <random>
#include <string>
#include <vector>

using namespace pellamy;

namespace {

constexpr std::size_t kRows = 1'000'000;

// Names as a camera, a build and a download folder produce them: 10 to 30 bytes, a few dozen
// extensions, sizes spread over every unit, times over ten years.
std::vector<FileRow> MakeRows(std::size_t count)
{
    std::mt19937_64 random(42);
    const char* stems[] = {"IMG_2024%04u_%06zu", "report-%u-%zu", "f%zu_%u", "Invoice %u (%zu)",
                           "track%02u-%zu"};
    const char* extensions[] = {".jpg",  ".JPG", ".png", ".txt",    ".pdf",  ".mp3",  ".cpp",
                                ".h",    ".o",   "",     ".tar.gz", ".docx", ".xlsx", ".html",
                                ".json", ".log", ".bak", ".mkv",    ".zip",  ".py"};
    std::vector<FileRow> rows;
    rows.reserve(count);
    char name[96];
    for (std::size_t i = 0; i < count; ++i) {
        const auto pattern = random() % 5;
        const auto n = static_cast<unsigned>(random() % 10000);
        if (pattern == 2) {
            std::snprintf(name, sizeof name, stems[pattern], i, n);
        } else {
            std::snprintf(name, sizeof name, stems[pattern], n, i);
        }
        FileRow row;
        row.Name = std::string(name) + extensions[random() % 20];
        row.Attributes = Attr::kArchive | (random() % 7 == 0 ? Attr::kReadOnly : 0);
        row.Size = static_cast<std::int64_t>(random() % (std::uint64_t{1} << (random() % 36)));
        const auto seconds = static_cast<std::int64_t>(1'400'000'000 + random() % 315'000'000);
        row.CreationTime = FileTimeFromUnix(seconds, 0);
        row.LastWriteTime = FileTimeFromUnix(seconds + static_cast<std::int64_t>(random() % 1'000'000), 0);
        rows.push_back(std::move(row));
    }
    return rows;
}

const std::vector<FileRow>& Rows()
{
    static const std::vector<FileRow> rows = MakeRows(kRows);
    return rows;
}

// Bytes the allocator hands out now: small blocks plus mapped ones, with their headers.
std::size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void ProcessEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// A fill from rows as the file listing hands them over (moved in, grown row by row).
void BM_FileListFill(benchmark::State& state)
{
    const bool withView = state.range(0) != 0;
    const RegionalSettings settings;
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<FileListModel>();
        std::unique_ptr<TSortListView> view;
        if (withView) {
            view = std::make_unique<TSortListView>();
            view->setModel(model.get());
            view->resize(900, 600);
            view->show();
            ProcessEvents();
        }
        malloc_trim(0);
        // The rows arrive as the listing builds them; once moved in they are the model's own.
        const std::size_t before = HeapInUse();
        std::vector<FileRow> rows;
        for (const FileRow& row : Rows()) {
            rows.push_back(row);
        }
        state.ResumeTiming();
        model->SetRows(std::move(rows), settings);
        if (withView) {
            ProcessEvents();
        }
        state.PauseTiming();
        malloc_trim(0);
        state.counters["bytes_per_row"] =
            static_cast<double>(HeapInUse() - before) / static_cast<double>(kRows);
        view.reset();
        model.reset();
        state.ResumeTiming();
    }
}

// A header click on `column` from the caption order a fill leaves, as the view runs it with the
// standard handler assigned.
void BM_FileListSort(benchmark::State& state)
{
    const int column = static_cast<int>(state.range(0));
    const bool withView = state.range(1) != 0;
    FileListModel model;
    TSortListView view;
    view.OnCustomSort = LView2CustomSort;
    if (withView) {
        view.setModel(&model);
        view.resize(900, 600);
        view.show();
        view.selectionModel()->setCurrentIndex(model.index(0, 0), QItemSelectionModel::Select);
    }
    bool ascending = true;
    for (auto _ : state) {
        state.PauseTiming();
        model.SetRows(Rows(), RegionalSettings{});
        if (withView) {
            ProcessEvents();
        }
        state.ResumeTiming();
        model.SortByKeys(column, ascending);
        if (withView) {
            ProcessEvents();
        }
        ascending = !ascending;
    }
    state.SetLabel(std::string(kFileColumns[static_cast<std::size_t>(column)]) + (withView ? " +view" : ""));
}

} // namespace

BENCHMARK(BM_FileListFill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FileListSort)
    ->Args({5, 0})
    ->Args({2, 0})
    ->Args({1, 0})
    ->Args({5, 1})
    ->Args({2, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
