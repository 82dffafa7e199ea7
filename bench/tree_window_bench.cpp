// SPDX-License-Identifier: GPL-3.0-or-later
// tree_window_bench FOLDER [ESC_MS]: the window with "Sub-folders" on a large tree, driven as a
// user would. Prints one line a phase with its wall time in seconds and the resident memory it
// needed above what the process held before it (KiB):
//   start        the window made on FOLDER alone and shown
//   sub-folders  a click on "Sub-folders": the tree walked and its type list shown
//   list-all     every file of the tree listed (the filter's "*"), the first rows painted
//   sort-1       a header click on "Name" of those rows
//   sort-5       a header click on "Size"
// then
//   rows         the file rows and the heap they cost per row above the window before the listing
//   esc-to-end   F5 walks the tree again and Esc comes ESC_MS (default 1000) milliseconds later:
//                the time from Esc to the end of the stopped walk, and whether the lists stayed
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise; with
// TREE_WINDOW_BENCH_SCREENSHOT set, saves pictures of the window after the walk and the listing.

#include "app/qt/ErrorReport.h"
#include "app/qt/listviews/FileListModel.h"
#include "app/qt/listviews/SortListViews.h"
#include "app/qt/listviews/TypeListModel.h"
#include "bench/WindowBenchPhases.h"
#include "app/qt/menu1.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace pellamy;

using namespace pellamy::bench;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: tree_window_bench FOLDER [ESC_MS]\n", stderr);
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const std::string folder = argv[1];
    const int escAfterMs = argc > 2 ? std::atoi(argv[2]) : 1000;
    PellamyApplication app(argc, argv);

    TForm1* form = StartPhase(folder);
    Phase("sub-folders", [&] { form->SubFolders->click(); });
    const std::size_t types = form->TypeRows()->RowCount();
    if (!form->SubFolders->isChecked() || types == 0) {
        std::fputs("the tree was not summed\n", stderr);
        return 1;
    }
    Picture(*form, "TREE_WINDOW_BENCH_SCREENSHOT", QStringLiteral("-types"));

    malloc_trim(0);
    const std::size_t heapBefore = HeapInUse();
    Phase("list-all", [&] { form->Core().BuildFileList(NamePattern::AllFiles()); });
    const std::size_t rows = form->FileRows()->RowCount();
    if (rows == 0) {
        std::fputs("no files listed\n", stderr);
        return 1;
    }
    malloc_trim(0);
    const std::size_t heapAfter = HeapInUse();
    Picture(*form, "TREE_WINDOW_BENCH_SCREENSHOT", QStringLiteral("-files"));
    Phase("sort-1", [&] { Q_EMIT form->LView2->horizontalHeader()->sectionClicked(1); });
    Phase("sort-5", [&] { Q_EMIT form->LView2->horizontalHeader()->sectionClicked(5); });
    std::printf("%-12s %9zu rows %7.1f bytes-per-row\n", "rows", rows,
                static_cast<double>(heapAfter - heapBefore) / static_cast<double>(rows));

    // Esc during a walk: the lists keep what they showed.
    QElapsedTimer clock;
    qint64 escAt = -1;
    clock.start();
    QTimer::singleShot(escAfterMs, form, [&] {
        escAt = clock.nsecsElapsed();
        QCoreApplication::postEvent(form, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    const bool finished = form->Core().BuildTypeSummary();
    const qint64 endedAt = clock.nsecsElapsed();
    if (finished || escAt < 0) {
        std::printf("esc-to-end        n/a (the walk ended before Esc, after %.3f s)\n",
                    static_cast<double>(endedAt) / 1e9);
    } else {
        const bool kept = form->TypeRows()->RowCount() == types && form->FileRows()->RowCount() == rows;
        std::printf("esc-to-end   %9.3f s lists-%s\n", static_cast<double>(endedAt - escAt) / 1e9,
                    kept ? "kept" : "changed");
    }
    std::fflush(stdout);
    delete form;
    return 0;
}
