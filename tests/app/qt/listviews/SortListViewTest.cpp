// SPDX-License-Identifier: GPL-3.0-or-later
// The sortable list view: header clicks, the two lists' comparison handlers, the owner's event and
// the sort arrows.
#include "ListTestSupport.h"
#include "app/qt/listviews/FileListModel.h"
#include "app/qt/listviews/TypeListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(pellamy::RegionalSettings)

using namespace pellamy;
using namespace pellamy::test;

namespace {

// A view over its own model, shown so that its header can be clicked.
template <typename Model>
struct Shown
{
    Shown()
    {
        view.setModel(&model);
        QVERIFY(ShowForClicks(view));
    }
    Model model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
    TSortListView view;
};

RegionalSettings DayMonthYear()
{
    RegionalSettings s;
    s.ShortDateFormat = "dd/MM/yyyy";
    return s;
}

RegionalSettings MonthDayYear()
{
    RegionalSettings s;
    s.ShortDateFormat = "M/d/yy";
    s.TwelveHourClock = true;
    s.LeadingZeroInHours = false;
    return s;
}

// Clicks the row at `row` as the user does, with `modifiers` held.
void ClickRow(TSortListView& view, int row, Qt::KeyboardModifiers modifiers)
{
    const QRect cell = view.visualRect(view.model()->index(row, 1));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, cell.center());
}

// The names of the selected rows, in name order.
QStringList SelectedNames(const TSortListView& view)
{
    QStringList names;
    for (const QModelIndex& row : view.selectionModel()->selectedRows(1)) {
        names << row.data().toString();
    }
    names.sort();
    return names;
}

} // namespace

class SortListViewTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void startsUnsortedWithTheListOptions()
    {
        TSortListView view;
        QCOMPARE(view.SortColumn(), -1);
        QVERIFY(view.SortAscending());
        QVERIFY(!view.UseArrows());
        QVERIFY(!view.OnCustomSort);
        QCOMPARE(view.selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(view.editTriggers(), QAbstractItemView::NoEditTriggers);
        // A report list: no row header, no grid, the column header above the rows.
        QVERIFY(view.verticalHeader()->isHidden());
        QVERIFY(!view.showGrid());
        QVERIFY(!view.header()->isHidden());
        QCOMPARE(view.palette().color(QPalette::Inactive, QPalette::Highlight),
                 view.palette().color(QPalette::Active, QPalette::Highlight));
    }

    void headerClicksFlipTheSameColumnAndKeepStateAcrossFills()
    {
        Shown<TypeListModel> list;
        list.view.OnCustomSort = sLViewCustomSort;
        const std::vector<TypeRow> rows = {Type(".b", "B file", 3, 2LL * 1073741824 + 5),
                                           Type(".a", "A file", 10, 1572864),
                                           Type(".c", "C file", 9, 524288)};
        list.model.SetRows(rows, RegionalSettings{});
        QCOMPARE(ColumnTexts(list.model, 0), QStringList({".a", ".b", ".c"}));

        ClickHeader(list.view, 3);
        QCOMPARE(list.view.SortColumn(), 3);
        QVERIFY(list.view.SortAscending());
        QCOMPARE(ColumnTexts(list.model, 3), QStringList({"512 KB", "1.5 MB", "2 GB"}));

        ClickHeader(list.view, 3);
        QVERIFY(!list.view.SortAscending());
        QCOMPARE(ColumnTexts(list.model, 3), QStringList({"2 GB", "1.5 MB", "512 KB"}));

        ClickHeader(list.view, 2);
        QCOMPARE(list.view.SortColumn(), 2);
        QVERIFY(list.view.SortAscending());
        QCOMPARE(ColumnTexts(list.model, 2), QStringList({"3", "9", "10"}));

        // A refill puts the rows back in caption order and leaves column and direction alone.
        list.model.SetRows(rows, RegionalSettings{});
        QCOMPARE(ColumnTexts(list.model, 0), QStringList({".a", ".b", ".c"}));
        QCOMPARE(list.view.SortColumn(), 2);
        QVERIFY(list.view.SortAscending());
        list.model.Clear();
        QCOMPARE(list.view.SortColumn(), 2);
        list.model.SetRows(rows, RegionalSettings{});
        ClickHeader(list.view, 2);
        QVERIFY(!list.view.SortAscending());
        QCOMPARE(ColumnTexts(list.model, 2), QStringList({"10", "9", "3"}));
        ClickHeader(list.view, 1);
        QVERIFY(list.view.SortAscending());
        QCOMPARE(ColumnTexts(list.model, 1), QStringList({"A file", "B file", "C file"}));
    }

    void sizesOrderByUnitThenNumber()
    {
        Shown<FileListModel> list;
        list.view.OnCustomSort = LView2CustomSort;
        list.model.SetRows({File("a", 1073741824), File("b", 1048577), File("c", 1048576),
                            File("d", 1073741825), File("e", 1024 * 1024 * 1023)},
                           RegionalSettings{});
        ClickHeader(list.view, 5);
        QCOMPARE(ColumnTexts(list.model, 5), QStringList({"1024 KB", "1 MB", "1023 MB", "1024 MB", "1 GB"}));
        ClickHeader(list.view, 5);
        QCOMPARE(ColumnTexts(list.model, 5), QStringList({"1 GB", "1024 MB", "1023 MB", "1 MB", "1024 KB"}));
    }

    void sizesReadWithTheDecimalSeparatorOfTheFill()
    {
        Shown<TypeListModel> list;
        list.view.OnCustomSort = sLViewCustomSort;
        RegionalSettings comma;
        comma.DecimalSeparator = ",";
        list.model.SetRows(
            {Type(".a", "", 1, 1700), Type(".b", "", 1, 1600), Type(".c", "", 1, 1024 * 1024 * 3 / 2)},
            comma);
        ClickHeader(list.view, 3);
        QCOMPARE(ColumnTexts(list.model, 3), QStringList({"1,56 KB", "1,66 KB", "1,5 MB"}));
    }

    void handlersDecideOnlyTheirColumns_data()
    {
        QTest::addColumn<bool>("fileList");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("handled");
        QTest::addColumn<int>("result");
        QTest::newRow("number 9 before 10") << false << 2 << "9"
                                            << "10" << true << -1;
        QTest::newRow("number equal") << false << 2 << "10"
                                      << "10" << true << 0;
        QTest::newRow("type size 512 KB before 1.5 MB") << false << 3 << "512 KB"
                                                        << "1.5 MB" << true << -1;
        QTest::newRow("type size 2 GB after 1.5 MB") << false << 3 << "2 GB"
                                                     << "1.5 MB" << true << 1;
        QTest::newRow("type size 1024 KB before 1 MB") << false << 3 << "1024 KB"
                                                       << "1 MB" << true << -1;
        QTest::newRow("type size 1024 MB before 1 GB") << false << 3 << "1024 MB"
                                                       << "1 GB" << true << -1;
        QTest::newRow("equal sizes") << false << 3 << "1.5 KB"
                                     << "1.5 KB" << true << 0;
        QTest::newRow("type caption left to the list") << false << 0 << ".TXT"
                                                       << ".txt" << false << 0;
        QTest::newRow("description left to the list") << false << 1 << "b"
                                                      << "A" << false << 0;
        QTest::newRow("file size") << true << 5 << "1 GB"
                                   << "1024 MB" << true << 1;
        QTest::newRow("created equal to the second") << true << 2 << "05/03/2024 10:00:01"
                                                     << "05/03/2024 10:00:01" << true << 0;
        QTest::newRow("created earlier") << true << 2 << "05/03/2024 10:00:01"
                                         << "04/04/2024" << true << -1;
        QTest::newRow("modified later") << true << 3 << "05/03/2025"
                                        << "04/04/2024 23:59:59" << true << 1;
        QTest::newRow("name left to the list") << true << 1 << "b"
                                               << "a" << false << 0;
        QTest::newRow("attribs left to the list") << true << 4 << "RA"
                                                  << "A" << false << 0;
    }

    void handlersDecideOnlyTheirColumns()
    {
        QFETCH(bool, fileList);
        QFETCH(int, column);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, handled);
        QFETCH(int, result);
        int res = 0;
        bool wasHandled = false;
        const std::string a = first.toStdString();
        const std::string b = second.toStdString();
        // Without a sender the handlers read with the default settings: "dd/MM/yyyy", ".".
        (fileList ? LView2CustomSort : sLViewCustomSort)(nullptr, column, a, b, res, wasHandled);
        QCOMPARE(wasHandled, handled);
        QCOMPARE(res, result);
    }

    void createdSortsByTimeInEitherDateOrder_data()
    {
        QTest::addColumn<RegionalSettings>("settings");
        QTest::newRow("day-month-year") << DayMonthYear();
        QTest::newRow("month-day-year, 12-hour") << MonthDayYear();
    }

    void createdSortsByTimeInEitherDateOrder()
    {
        QFETCH(RegionalSettings, settings);
        Shown<FileListModel> list;
        list.view.OnCustomSort = LView2CustomSort;
        // As text these sort differently in both formats; by time they run a, b, c, d, e.
        list.model.SetRows(
            {File("e", 1, Unix(2024, 12, 1, 9, 0, 0)), File("a", 1, Unix(2023, 2, 11, 13, 0, 0)),
             File("c", 1, Unix(2024, 1, 2, 0, 0, 0)), File("b", 1, Unix(2023, 11, 2, 8, 30, 0)),
             File("d", 1, Unix(2024, 1, 2, 0, 0, 1))},
            settings);
        ClickHeader(list.view, 2);
        QCOMPARE(ColumnTexts(list.model, 1), QStringList({"a", "b", "c", "d", "e"}));
        ClickHeader(list.view, 2);
        QCOMPARE(ColumnTexts(list.model, 1), QStringList({"e", "d", "c", "b", "a"}));
    }

    void textColumnsCompareIgnoringCaseAndEqualRowsKeepTheirPlaces()
    {
        Shown<FileListModel> list;
        list.view.OnCustomSort = LView2CustomSort;
        list.model.SetCollator(std::make_shared<ByteCollator>());
        list.model.SetRows({File("x.txt", 1, 0, 0, Attr::kArchive),
                            File("y.TXT", 2, 0, 0, Attr::kReadOnly | Attr::kArchive),
                            File("z.Doc", 3, 0, 0, Attr::kHidden | Attr::kArchive)},
                           RegionalSettings{});
        QCOMPARE(ColumnTexts(list.model, 1), QStringList({"z.Doc", "y.TXT", "x.txt"}));
        ClickHeader(list.view, 0);
        QCOMPARE(ColumnTexts(list.model, 1), QStringList({"z.Doc", "y.TXT", "x.txt"}));
        // Descending reverses unequal rows only: .TXT and .txt stay as they were.
        ClickHeader(list.view, 0);
        QCOMPARE(ColumnTexts(list.model, 1), QStringList({"y.TXT", "x.txt", "z.Doc"}));
        ClickHeader(list.view, 4);
        QCOMPARE(ColumnTexts(list.model, 4), QStringList({"A", "HA", "RA"}));
    }

    void descriptionSortsAsText()
    {
        Shown<TypeListModel> list;
        list.view.OnCustomSort = sLViewCustomSort;
        list.model.SetRows({Type(".a", "b text", 1, 1), Type(".b", "A text", 1, 1),
                            Type(".c", "10 text", 1, 1), Type(".d", "9 text", 1, 1)},
                           RegionalSettings{});
        ClickHeader(list.view, 1);
        QCOMPARE(ColumnTexts(list.model, 1), QStringList({"10 text", "9 text", "A text", "b text"}));
    }

    void ownersHandlerIsAskedPerComparisonAndAnswersForAscendingOrder()
    {
        Shown<TypeListModel> list;
        int calls = 0;
        bool entryStateRight = true;
        bool senderRight = true;
        // Orders "Number" backwards and leaves every other column to the list.
        list.view.OnCustomSort = [&](TSortListView* sender, int column, std::string_view a,
                                     std::string_view b, int& res, bool& handled) {
            ++calls;
            entryStateRight = entryStateRight && res == 0 && !handled;
            senderRight = senderRight && sender == &list.view;
            if (column == 2) {
                res = std::stoi(std::string(b)) - std::stoi(std::string(a));
                handled = true;
            } else {
                res = 12345; // ignored: not handled
            }
        };
        list.model.SetRows({Type(".a", "x", 1, 1), Type(".b", "Y", 3, 1), Type(".c", "z", 2, 1)},
                           RegionalSettings{});
        ClickHeader(list.view, 2);
        QVERIFY(calls > 0);
        QVERIFY(entryStateRight);
        QVERIFY(senderRight);
        QCOMPARE(ColumnTexts(list.model, 2), QStringList({"3", "2", "1"}));
        ClickHeader(list.view, 2);
        QCOMPARE(ColumnTexts(list.model, 2), QStringList({"1", "2", "3"}));
        ClickHeader(list.view, 1);
        QCOMPARE(ColumnTexts(list.model, 1), QStringList({"x", "Y", "z"}));
    }

    void withoutHandlerEveryColumnIsText()
    {
        Shown<TypeListModel> list;
        list.model.SetRows({Type(".a", "", 10, 1), Type(".b", "", 9, 1)}, RegionalSettings{});
        ClickHeader(list.view, 2);
        QCOMPARE(ColumnTexts(list.model, 2), QStringList({"10", "9"}));
    }

    void selectionStaysOnItsRowThroughASort()
    {
        Shown<FileListModel> list;
        list.view.OnCustomSort = LView2CustomSort;
        list.view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        list.model.SetRows({File("a.x", 30), File("b.x", 10), File("c.x", 20)}, RegionalSettings{});
        list.view.selectionModel()->select(list.model.index(0, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list.view.setCurrentIndex(list.model.index(0, 1));
        ClickHeader(list.view, 5);
        QCOMPARE(ColumnTexts(list.model, 1), QStringList({"b.x", "c.x", "a.x"}));
        const QModelIndexList selected = list.view.selectionModel()->selectedRows(1);
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().data().toString(), QString("a.x"));
        QCOMPARE(list.view.currentIndex().data().toString(), QString("a.x"));
    }

    void sortsKeepTheSelectedRowsAndTheCurrentRow_data()
    {
        QTest::addColumn<int>("handler");
        QTest::newRow("text comparison") << 0;
        QTest::newRow("standard handler") << 1;
        QTest::newRow("owner's handler") << 2;
    }

    void sortsKeepTheSelectedRowsAndTheCurrentRow()
    {
        QFETCH(int, handler);
        Shown<FileListModel> list;
        if (handler == 1) {
            list.view.OnCustomSort = LView2CustomSort;
        } else if (handler == 2) {
            list.view.OnCustomSort = [](TSortListView* sender, int column, std::string_view a,
                                        std::string_view b, int& res, bool& handled) {
                LView2CustomSort(sender, column, a, b, res, handled);
            };
        }
        list.view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        list.model.SetRows({File("a.x", 50), File("b.x", 10), File("c.x", 70), File("d.x", 20),
                            File("e.x", 60), File("f.x", 30)},
                           RegionalSettings{});
        ClickRow(list.view, 0, Qt::NoModifier);
        ClickRow(list.view, 2, Qt::ShiftModifier);
        ClickRow(list.view, 4, Qt::ControlModifier);
        const QStringList chosen{"a.x", "b.x", "c.x", "e.x"};
        QCOMPARE(SelectedNames(list.view), chosen);

        // Sizes ascending: b d f a e c, so the four rows make two runs.
        ClickHeader(list.view, 5);
        QCOMPARE(ColumnTexts(list.model, 1), QStringList({"b.x", "d.x", "f.x", "a.x", "e.x", "c.x"}));
        QCOMPARE(SelectedNames(list.view), chosen);
        QCOMPARE(list.view.selectionModel()->selection().size(), 2);
        QCOMPARE(list.view.currentIndex().siblingAtColumn(1).data().toString(), QString("e.x"));

        ClickHeader(list.view, 5);
        QCOMPARE(ColumnTexts(list.model, 1), QStringList({"c.x", "e.x", "a.x", "f.x", "d.x", "b.x"}));
        QCOMPARE(SelectedNames(list.view), chosen);
        QCOMPARE(list.view.selectionModel()->selection().size(), 2);

        ClickHeader(list.view, 1);
        QCOMPARE(SelectedNames(list.view), chosen);
        QCOMPARE(list.view.currentIndex().siblingAtColumn(1).data().toString(), QString("e.x"));
        QVERIFY(list.view.selectionModel()->isRowSelected(3) == false);
    }

    void shiftClickAfterASortExtendsFromTheSameRow()
    {
        Shown<FileListModel> list;
        list.view.OnCustomSort = LView2CustomSort;
        list.view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        list.model.SetRows(
            {File("a.x", 50), File("b.x", 10), File("c.x", 70), File("d.x", 20), File("e.x", 60)},
            RegionalSettings{});
        ClickRow(list.view, 1, Qt::NoModifier);
        ClickHeader(list.view, 5); // b d a e c
        ClickRow(list.view, 2, Qt::ShiftModifier);
        QCOMPARE(SelectedNames(list.view), QStringList({"a.x", "b.x", "d.x"}));
    }

    void selectAllStaysOneRangeThroughSorts()
    {
        Shown<FileListModel> list;
        list.view.OnCustomSort = LView2CustomSort;
        list.view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        std::vector<FileRow> rows;
        for (int i = 0; i < 2000; ++i) {
            rows.push_back(File("f" + std::to_string(i) + ".x", (i * 7919) % 2000));
        }
        list.model.SetRows(std::move(rows), RegionalSettings{});
        list.view.setCurrentIndex(list.model.index(10, 0));
        const QString current = list.view.currentIndex().siblingAtColumn(1).data().toString();
        list.view.selectAll();
        for (const int column : {5, 1, 5}) {
            ClickHeader(list.view, column);
            const QItemSelection selection = list.view.selectionModel()->selection();
            QCOMPARE(selection.size(), 1);
            QCOMPARE(selection.front().top(), 0);
            QCOMPARE(selection.front().bottom(), 1999);
            QCOMPARE(selection.front().left(), 0);
            QCOMPARE(selection.front().right(), 5);
            QCOMPARE(list.view.currentIndex().siblingAtColumn(1).data().toString(), current);
        }
        // A sort with nothing selected selects nothing.
        list.view.clearSelection();
        ClickHeader(list.view, 1);
        QVERIFY(!list.view.selectionModel()->hasSelection());
    }

    void arrowsShowOnTheSortedColumnOnly()
    {
        Shown<FileListModel> list;
        list.view.OnCustomSort = LView2CustomSort;
        list.model.SetRows({File("a", 1), File("b", 2)}, RegionalSettings{});
        ClickHeader(list.view, 5);
        QVERIFY(!list.model.headerData(5, Qt::Horizontal, Qt::DecorationRole).isValid());

        list.view.SetUseArrows(true);
        const auto imageOf = [&](int column) {
            return list.model.headerData(column, Qt::Horizontal, Qt::DecorationRole)
                .value<QIcon>()
                .pixmap(16)
                .toImage();
        };
        const QImage up = TSortListView::SortArrowImage(true).pixmap(16).toImage();
        const QImage down = TSortListView::SortArrowImage(false).pixmap(16).toImage();
        QCOMPARE(imageOf(5), up);
        ClickHeader(list.view, 5);
        QCOMPARE(imageOf(5), down);
        ClickHeader(list.view, 1);
        QVERIFY(!list.model.headerData(5, Qt::Horizontal, Qt::DecorationRole).isValid());
        QCOMPARE(imageOf(1), up);
        list.view.SetUseArrows(false);
        QVERIFY(!list.model.headerData(1, Qt::Horizontal, Qt::DecorationRole).isValid());
    }

    void arrowBitmapsAreGreyTrianglesOnFuchsia()
    {
        const QColor grey(172, 168, 153);
        const QColor fuchsia(255, 0, 255);
        for (const bool up : {true, false}) {
            const QImage bitmap = TSortListView::SortArrowBitmap(up);
            QCOMPARE(bitmap.size(), QSize(9, 6));
            const std::vector<int> widths =
                up ? std::vector<int>{1, 3, 5, 7, 9, 0} : std::vector<int>{0, 9, 7, 5, 3, 1};
            for (int y = 0; y < 6; ++y) {
                int greys = 0;
                for (int x = 0; x < 9; ++x) {
                    const QColor c = bitmap.pixelColor(x, y);
                    QVERIFY(c == grey || c == fuchsia);
                    greys += c == grey ? 1 : 0;
                }
                QCOMPARE(greys, widths[static_cast<std::size_t>(y)]);
                if (greys > 0) {
                    QCOMPARE(bitmap.pixelColor(4, y), grey);
                }
            }
        }
        // Centred on 16 x 16 with the fuchsia made transparent: the tip at (3 + 4, 5).
        const QImage image = TSortListView::SortArrowImage(true).pixmap(16).toImage();
        QCOMPARE(image.pixelColor(7, 5), grey);
        QCOMPARE(image.pixelColor(6, 5).alpha(), 0);
        QCOMPARE(image.pixelColor(3, 9), grey);
        QCOMPARE(image.pixelColor(11, 9), grey);
        QCOMPARE(image.pixelColor(7, 10).alpha(), 0);
    }
};

QTEST_MAIN(SortListViewTest)
#include "SortListViewTest.moc"
