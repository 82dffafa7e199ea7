// SPDX-License-Identifier: GPL-3.0-or-later
// window_bench FOLDER: drives the window on FOLDER as a user would and prints, one line a phase,
// its wall time in seconds, the resident memory it needed above what the process held before it
// (KiB) and, for the copy commands, the bytes it put on the clipboard:
//   start        the window made, the folder's type summary filled and the window shown
//   list-all     the double click that lists every file, with the first screen of rows painted
//   select-all   "Select all" on the file list
//   sort-N       a header click on column N of the fully selected list, painted again
//   sort-part    a header click with a partial selection (every row but the first, then every
//                tenth block of a hundred rows)
//   copy-*       each copy command on the selected rows (only those named after FOLDER, if any)
// The heap the file list's rows cost per row above the empty window is printed as bytes-per-row.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise; with
// WINDOW_BENCH_SCREENSHOT set, saves pictures of the window after the partial sorts.

#include "app/qt/ErrorReport.h"
#include "app/qt/menu1.h"
#include "app/qt/listviews/FileListModel.h"
#include "app/qt/listviews/SortListViews.h"
#include "app/qt/listviews/TypeListModel.h"
#include "bench/WindowBenchPhases.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPixmap>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <string>
#include <vector>

using namespace pellamy;
using namespace pellamy::bench;

namespace {

std::size_t ClipboardBytes()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    std::size_t bytes = 0;
    if (data != nullptr) {
        for (const QString& format : data->formats()) {
            bytes += static_cast<std::size_t>(data->data(format).size());
        }
    }
    return bytes;
}

// The copy commands named after the folder, or all of them when none is.
std::vector<std::string> g_copies;

// A copy command with the clipboard emptied first, so the earlier text is not part of its peak.
void CopyPhase(const char* name, QAction* command)
{
    if (!g_copies.empty() && std::find(g_copies.begin(), g_copies.end(), name) == g_copies.end()) {
        return;
    }
    QGuiApplication::clipboard()->clear();
    malloc_trim(0);
    std::size_t bytes = 0;
    Phase(
        name,
        [&] {
            command->trigger();
            bytes = ClipboardBytes();
        },
        &bytes);
}

// A picture of the window with the file list at its top, for a look at the lists and the selection
// after a sort: saved under WINDOW_BENCH_SCREENSHOT with `suffix` before its extension, when that
// is set.
void Picture(TForm1& form, const QString& suffix)
{
    form.LView2->scrollToTop();
    bench::Picture(form, "WINDOW_BENCH_SCREENSHOT", suffix);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: window_bench FOLDER [copy-names|copy-csv|copy-xml|copy-html|copy-files...]\n");
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const std::string folder = argv[1];
    g_copies.assign(argv + 2, argv + argc);
    PellamyApplication app(argc, argv);

    TForm1* form = StartPhase(folder);

    const std::size_t emptyHeap = HeapInUse();
    Phase("list-all", [&] {
        form->sLView->setCurrentIndex(form->TypeRows()->index(0, 0));
        form->sLViewDblClick();
    });
    const std::size_t rows = form->FileRows()->RowCount();
    if (rows == 0) {
        std::fprintf(stderr, "no files listed\n");
        return 1;
    }
    std::printf("%-12s %9zu rows %7.1f bytes-per-row\n", "rows", rows,
                static_cast<double>(HeapInUse() - emptyHeap) / static_cast<double>(rows));

    TSortListView* list = form->LView2;
    QHeaderView* header = list->horizontalHeader();
    Phase("select-all", [&] { form->Selectall1Click(); });
    for (const int column : {5, 1, 3}) {
        const std::string name = "sort-" + std::to_string(column);
        Phase(name.c_str(), [&] { Q_EMIT header->sectionClicked(column); });
    }
    const int total = static_cast<int>(rows);
    if (list->selectionModel()->selection().size() != 1 ||
        list->selectionModel()->selection().front().height() != total) {
        std::fprintf(stderr, "the sorts changed the selection\n");
        return 1;
    }

    CopyPhase("copy-names", form->Copyfilelist1);
    CopyPhase("copy-csv", form->Copyalldetails1);
    CopyPhase("copy-xml", form->XML1);
    CopyPhase("copy-html", form->CopyselectedfiledetailsasHTML1);
    CopyPhase("copy-files", form->Copyfiles1);

    // A partial selection: every row but the first, then every tenth block of a hundred rows.
    QItemSelectionModel* selection = list->selectionModel();
    selection->select(QItemSelection(form->FileRows()->index(0, 0), form->FileRows()->index(0, 5)),
                      QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    Phase("sort-part", [&] { Q_EMIT header->sectionClicked(5); });
    Picture(*form, "-part");
    QItemSelection blocks;
    for (int top = 0; top < total; top += 1000) {
        const int bottom = std::min(top + 99, total - 1);
        blocks.select(form->FileRows()->index(top, 0), form->FileRows()->index(bottom, 5));
    }
    selection->select(blocks, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Phase("sort-blocks", [&] { Q_EMIT header->sectionClicked(1); });
    std::printf("%-12s %9lld ranges\n", "", static_cast<long long>(selection->selection().size()));
    Picture(*form, "");
    delete form;
    return 0;
}
