// SPDX-License-Identifier: GPL-3.0-or-later
// The two row models: texts made on demand with the settings of the fill, the caption order after
// a fill, the keyed column sort against a comparison per pair, and the rows as the reports read
// them.
#include "ListTestSupport.h"
#include "platform/qt/QtCaptionCollator.h"
#include "scan/CaseFold.h"
#include "app/qt/listviews/FileListModel.h"
#include "app/qt/listviews/ListViewRows.h"
#include "app/qt/listviews/TypeListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <memory>
#include <random>

Q_DECLARE_METATYPE(pellamy::RegionalSettings)

using namespace pellamy;
using namespace pellamy::test;

namespace {

std::shared_ptr<const TextCollator> EnglishCollation()
{
    return std::make_shared<QtCaptionCollator>(QLocale(QLocale::English, QLocale::UnitedStates));
}

// Rows with many ties and near misses in every column: sizes around the unit boundaries, times
// a second apart and across the two-digit-year window, names differing only in case.
std::vector<FileRow> AwkwardRows(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    const std::vector<std::int64_t> sizes = {
        0,       1,       1023,       1024,       1536,       524288,     1048575,    1048576,
        1048577, 1572864, 1073741823, 1073741824, 1073741825, 1610612736, 5368709120, 1099511627776};
    const std::vector<std::int64_t> times = {
        Unix(1931, 5, 6, 7, 8, 9),    Unix(1999, 12, 31, 23, 59, 59), Unix(2000, 1, 1),
        Unix(2000, 1, 1, 0, 0, 1),    Unix(2024, 3, 5, 12, 0, 0),     Unix(2024, 5, 3, 0, 30, 0),
        Unix(2029, 12, 31, 13, 1, 2), Unix(2031, 1, 1, 11, 59, 59)};
    const std::vector<std::string> stems = {"a", "A", "b", "report", "Report", "_x", "z1", "Z10", "é"};
    const std::vector<std::string> extensions = {"", ".txt", ".TXT", ".Txt", ".doc", ".a", ".tar.gz"};
    const std::vector<std::uint32_t> attributes = {
        Attr::kArchive, Attr::kReadOnly | Attr::kArchive,   Attr::kHidden | Attr::kArchive,
        Attr::kSystem,  Attr::kArchive | Attr::kCompressed, 0};
    std::vector<FileRow> rows;
    for (std::size_t i = 0; i < count; ++i) {
        auto pick = [&random](const auto& list) { return list[random() % list.size()]; };
        FileRow row =
            File(pick(stems) + std::to_string(random() % 3) + pick(extensions), pick(sizes),
                 pick(times) + static_cast<std::int64_t>(random() % 2), pick(times), pick(attributes));
        row.Name += "#" + std::to_string(i); // unique names: an order shows in the names alone
        if (i % 11 == 0) {
            row.CreationTime = ~FileTime{0}; // beyond year 9999: shown as an empty text
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

class ListModelsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void fileCellsAreTheRowTextsOfTheFillSettings()
    {
        FileListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        RegionalSettings settings;
        settings.DecimalSeparator = ",";
        settings.ShortDateFormat = "yyyy-MM-dd";
        const FileRow row = File("notes.Txt", 1536, Unix(2024, 5, 1, 14, 2, 3), Unix(2024, 5, 2),
                                 Attr::kReadOnly | Attr::kHidden | Attr::kArchive);
        model.SetRows({row}, settings);
        QCOMPARE(model.columnCount(), 6);
        for (int column = 0; column < 6; ++column) {
            const std::string text = model.Table().CellText(0, static_cast<std::size_t>(column));
            QCOMPARE(model.CellText(0, column), text);
            QCOMPARE(model.index(0, column).data().toString().toStdString(), text);
        }
        QCOMPARE(model.index(0, 5).data().toString(), QString("1,5 KB"));
        QCOMPARE(model.index(0, 2).data().toString(), QString("2024-05-01 14:02:03"));
        QCOMPARE(model.index(0, 3).data().toString(), QString("2024-05-02"));
        QCOMPARE(model.index(0, 4).data().toString(), QString("RHA"));
        QCOMPARE(model.index(0, 5).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
                 int(Qt::AlignRight));
        QCOMPARE(model.index(0, 1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
                 int(Qt::AlignLeft));
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QString("Created"));
        QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QString("Modified"));
        QVERIFY(!(model.index(0, 1).flags() & Qt::ItemIsEditable));
        // No image list: no icons.
        QVERIFY(!model.index(0, 0).data(Qt::DecorationRole).isValid());
    }

    void rowsKeepTheirOwnNamesThroughSortsAndRefills()
    {
        FileListModel model;
        // Empty, short, long and multi-byte names; each size tells which name belongs to it.
        const std::vector<std::string> names = {"",
                                                "a",
                                                "short.txt",
                                                std::string(300, 'x') + ".bin",
                                                "\xc3\xa9t\xc3\xa9 photo.JPG",
                                                "mid-length name.tar.gz"};
        std::vector<FileRow> rows;
        for (std::size_t i = 0; i < names.size(); ++i) {
            rows.push_back(File(names[i], static_cast<std::int64_t>(i) * 1024,
                                Unix(2020, 1, 1) + static_cast<std::int64_t>(i), Unix(2021, 1, 1),
                                i % 2 == 0 ? Attr::kReadOnly : Attr::kArchive));
        }
        const auto matchesItsName = [&](std::size_t at) {
            const FileRow row = model.Row(at);
            const auto i = static_cast<std::size_t>(row.Size / 1024);
            return i < names.size() && row.Name == names[i] &&
                   row.Attributes == (i % 2 == 0 ? Attr::kReadOnly : Attr::kArchive) &&
                   row.CreationTime == FileTimeFromUnix(Unix(2020, 1, 1) + static_cast<std::int64_t>(i), 0) &&
                   model.CellText(at, 1) == names[i] && model.Caption(at) == ExtensionOf(names[i]) &&
                   model.CellText(at, 0) == std::string(ExtensionOf(names[i]));
        };
        for (int round = 0; round < 2; ++round) {
            model.SetRows(rows, RegionalSettings{});
            QCOMPARE(model.RowCount(), names.size());
            for (const int column : {1, 5, 2, 0}) {
                model.SortByKeys(column, column != 5);
                for (std::size_t at = 0; at < model.RowCount(); ++at) {
                    QVERIFY2(matchesItsName(at),
                             qPrintable(QString("row %1 after column %2").arg(at).arg(column)));
                }
            }
        }
        // A smaller refill replaces every name.
        model.SetRows({File("only.one", 7)}, RegionalSettings{});
        QCOMPARE(model.RowCount(), std::size_t{1});
        QCOMPARE(model.Row(0).Name, std::string("only.one"));
        QCOMPARE(model.CellText(0, 0), std::string(".one"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, model.Row(1));
    }

    void typeCellsAreTheRowTexts()
    {
        TypeListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const TypeRow row = Type(".gz", "Gzip archive", 12, 3LL * 1073741824);
        model.SetRows({row}, RegionalSettings{});
        for (int column = 0; column < 4; ++column) {
            QCOMPARE(model.index(0, column).data().toString().toStdString(),
                     model.Table().CellText(0, static_cast<std::size_t>(column)));
        }
        QCOMPARE(ColumnTexts(model, 3), QStringList({"3 GB"}));
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QString("Number"));
        QCOMPARE(model.index(0, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
                 int(Qt::AlignRight));
    }

    void aFillIsOneResetEndingInCaptionOrder()
    {
        FileListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.SetCollator(EnglishCollation());
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
        model.SetRows({File("c.b", 1), File("README", 1), File("a.B", 1), File("x.a", 1), File(".profile", 1),
                       File("Makefile", 1), File("y.a", 1)},
                      RegionalSettings{});
        QCOMPARE(resets.size(), 1);
        QCOMPARE(layouts.size(), 0);
        // Empty captions first; equal captions keep the order they came in; lower case before
        // upper case under the English collation.
        QCOMPARE(ColumnTexts(model, 1),
                 QStringList({"README", "Makefile", "x.a", "y.a", "c.b", "a.B", ".profile"}));
        model.Clear();
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(resets.size(), 2);
    }

    void rowsGatheredFromAScanFillAsFileRowsDo()
    {
        const std::vector<FileRow> files{
            File("c.b", 1, 100, 200), File("a name well past any short-string buffer.b", 2, 300, 400),
            File("README", 3, 500, 600, Attr::kReadOnly), File(std::string("\xff\xfe.a"), 4, 700, 800),
            File("x.a", 5, 900, 1000)};
        FileListModel fromRows;
        fromRows.SetCollator(EnglishCollation());
        fromRows.SetRows({File("earlier.z", 9)}, RegionalSettings{});
        QAbstractItemModelTester tester(&fromRows, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&fromRows, &QAbstractItemModel::modelReset);
        FileListModel::Rows gathered;
        for (const FileRow& file : files) {
            DirectoryEntryView entry;
            entry.Name = file.Name;
            entry.Attributes = file.Attributes;
            entry.Size = file.Size;
            entry.CreationTime = file.CreationTime;
            entry.LastAccessTime = 1;
            entry.LastWriteTime = file.LastWriteTime;
            gathered.Add(entry);
        }
        QCOMPARE(gathered.Count(), files.size());
        fromRows.SetRows(std::move(gathered), RegionalSettings{});
        QCOMPARE(resets.size(), 1);

        FileListModel fromFiles;
        fromFiles.SetCollator(EnglishCollation());
        fromFiles.SetRows(files, RegionalSettings{});
        QCOMPARE(fromRows.RowCount(), files.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            const FileRow a = fromRows.Row(i);
            const FileRow b = fromFiles.Row(i);
            QCOMPARE(a.Name, b.Name);
            QCOMPARE(fromRows.Name(i), std::string_view(b.Name));
            QCOMPARE(a.Attributes, b.Attributes);
            QCOMPARE(a.Size, b.Size);
            QCOMPARE(a.CreationTime, b.CreationTime);
            QCOMPARE(a.LastWriteTime, b.LastWriteTime);
        }
        QCOMPARE(fromRows.Name(0), std::string_view("README"));
        QCOMPARE(fromRows.Row(0).Size, std::int64_t{3});
    }

    void typeRowsComeInCaptionOrder()
    {
        TypeListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.SetCollator(EnglishCollation());
        model.SetRows(
            {Type(".txt", "", 1, 1), Type(".Z", "", 1, 1), Type("", "File", 2, 1), Type(".a", "", 1, 1)},
            RegionalSettings{});
        QCOMPARE(ColumnTexts(model, 0), QStringList({"", ".a", ".txt", ".Z"}));
    }

    void keyedSortAgreesWithTheHandlerWhereTextsReadBack_data()
    {
        QTest::addColumn<RegionalSettings>("settings");
        // Formats whose texts read back to the times they show: there the order by the values
        // behind the texts and the handler's order of the texts are one order.
        RegionalSettings dayFirst;
        RegionalSettings monthFirst;
        monthFirst.ShortDateFormat = "M/d/yyyy";
        monthFirst.TwelveHourClock = true;
        monthFirst.LeadingZeroInHours = false;
        RegionalSettings dotted;
        dotted.ShortDateFormat = "dd.MM.yyyy";
        dotted.DateSeparator = ".";
        dotted.DecimalSeparator = ",";
        QTest::newRow("dd/MM/yyyy") << dayFirst;
        QTest::newRow("M/d/yyyy, 12-hour") << monthFirst;
        QTest::newRow("dd.MM.yyyy, decimal comma") << dotted;
    }

    void keyedSortAgreesWithTheHandlerWhereTextsReadBack()
    {
        QFETCH(RegionalSettings, settings);
        const std::vector<FileRow> rows = AwkwardRows(400, 7);
        TSortListView keyed;
        TSortListView compared;
        FileListModel keyedModel;
        FileListModel comparedModel;
        QAbstractItemModelTester tester(&keyedModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
        keyed.setModel(&keyedModel);
        compared.setModel(&comparedModel);
        QVERIFY(ShowForClicks(keyed));
        QVERIFY(ShowForClicks(compared));
        keyed.OnCustomSort = LView2CustomSort;
        // The same rule wrapped: the list can no longer tell it is the standard one.
        compared.OnCustomSort = [](TSortListView* sender, int column, std::string_view a, std::string_view b,
                                   int& res,
                                   bool& handled) { LView2CustomSort(sender, column, a, b, res, handled); };
        keyedModel.SetRows(rows, settings);
        comparedModel.SetRows(rows, settings);
        for (const int column : {5, 5, 2, 2, 3, 1, 0, 0, 4, 4, 1, 3}) {
            ClickHeader(keyed, column);
            ClickHeader(compared, column);
            QCOMPARE(ColumnTexts(keyedModel, 1), ColumnTexts(comparedModel, 1));
            // And the order is one the rule itself accepts, pair by pair.
            for (std::size_t row = 1; row < keyedModel.RowCount(); ++row) {
                int res = 0;
                bool handled = false;
                const std::string a = keyedModel.CellText(row - 1, column);
                const std::string b = keyedModel.CellText(row, column);
                LView2CustomSort(&keyed, column, a, b, res, handled);
                const int order = handled ? res : CompareTextNoCase(a, b);
                QVERIFY2(keyed.SortAscending() ? order <= 0 : order >= 0, (a + " / " + b).c_str());
            }
        }
    }

    void typeKeyedSortMatchesTheComparisonSort()
    {
        std::vector<TypeRow> rows;
        for (int i = 0; i < 60; ++i) {
            rows.push_back(Type(".e" + std::to_string(i), (i % 2 ? "Text " : "text ") + std::to_string(i % 7),
                                (i * 37) % 23,
                                (static_cast<std::int64_t>(i) * 104729LL * (i % 5 + 1)) << (i % 23)));
        }
        TSortListView keyed;
        TSortListView compared;
        TypeListModel keyedModel;
        TypeListModel comparedModel;
        keyed.setModel(&keyedModel);
        compared.setModel(&comparedModel);
        QVERIFY(ShowForClicks(keyed));
        QVERIFY(ShowForClicks(compared));
        keyed.OnCustomSort = sLViewCustomSort;
        compared.OnCustomSort = [](TSortListView* sender, int column, std::string_view a, std::string_view b,
                                   int& res,
                                   bool& handled) { sLViewCustomSort(sender, column, a, b, res, handled); };
        keyedModel.SetRows(rows, RegionalSettings{});
        comparedModel.SetRows(rows, RegionalSettings{});
        for (const int column : {3, 3, 2, 2, 1, 1, 0}) {
            ClickHeader(keyed, column);
            ClickHeader(compared, column);
            QCOMPARE(ColumnTexts(keyedModel, 0), ColumnTexts(comparedModel, 0));
        }
    }

    // Texts whose order is not their values' order: two-digit years, a 12-hour clock, decimal
    // commas. The standard handlers' header sorts follow the values.
    void headerSortsFollowTheValuesBehindTheTexts()
    {
        RegionalSettings german;
        german.ShortDateFormat = "dd.MM.yy";
        german.DateSeparator = ".";
        german.DecimalSeparator = ",";
        TSortListView view;
        FileListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        view.setModel(&model);
        QVERIFY(ShowForClicks(view));
        view.OnCustomSort = LView2CustomSort;
        model.SetRows({File("new.a", 1572864, Unix(2030, 6, 1, 12), Unix(2030, 6, 1, 12)),
                       File("old.b", 524288, Unix(1950, 6, 1, 12), Unix(1950, 6, 1, 12)),
                       File("mid.c", 1258291, Unix(1999, 6, 1, 12), Unix(1999, 6, 1, 12)),
                       File("big.d", 2LL * 1073741824 + 1, Unix(2029, 1, 1), Unix(2029, 1, 1))},
                      german);
        QCOMPARE(model.CellText(0, 3), std::string("01.06.30 12:00:00"));
        ClickHeader(view, 3);
        QCOMPARE(ColumnTexts(model, 1), QStringList({"old.b", "mid.c", "big.d", "new.a"}));
        ClickHeader(view, 3);
        QCOMPARE(ColumnTexts(model, 1), QStringList({"new.a", "big.d", "mid.c", "old.b"}));
        ClickHeader(view, 2);
        QCOMPARE(ColumnTexts(model, 1), QStringList({"old.b", "mid.c", "big.d", "new.a"}));
        ClickHeader(view, 5);
        QCOMPARE(ColumnTexts(model, 5), QStringList({"512 KB", "1,2 MB", "1,5 MB", "2 GB"}));

        RegionalSettings twelveHour;
        twelveHour.ShortDateFormat = "M/d/yy";
        twelveHour.TwelveHourClock = true;
        twelveHour.LeadingZeroInHours = false;
        model.SetRows(
            {File("one.a", 1, 0, Unix(2024, 3, 5, 13)), File("eleven.b", 1, 0, Unix(2024, 3, 5, 11)),
             File("midnight.c", 1, 0, Unix(2024, 3, 5, 0, 30)), File("noon.d", 1, 0, Unix(2024, 3, 5, 12))},
            twelveHour);
        QCOMPARE(model.CellText(0, 3), std::string("3/5/24 1:00:00 PM"));
        ClickHeader(view, 3); // another column than the last: ascending
        QCOMPARE(ColumnTexts(model, 1), QStringList({"midnight.c", "eleven.b", "noon.d", "one.a"}));

        TSortListView typeView;
        TypeListModel types;
        typeView.setModel(&types);
        QVERIFY(ShowForClicks(typeView));
        typeView.OnCustomSort = sLViewCustomSort;
        types.SetRows({Type(".a", "", 10, 1572864), Type(".b", "", 9, 1258291), Type(".c", "", 100, 524288),
                       Type(".d", "", 1, ByteCount{1} << 63)},
                      german);
        ClickHeader(typeView, 3);
        QCOMPARE(ColumnTexts(types, 3), QStringList({"512 KB", "1,2 MB", "1,5 MB", "8589934592 GB"}));
        ClickHeader(typeView, 2);
        QCOMPARE(ColumnTexts(types, 2), QStringList({"1", "9", "10", "100"}));
    }

    // Rows whose texts are equal (sizes with one text, times within one second) keep their order
    // in both directions; times without a text come first.
    void rowsShowingTheSameValueKeepTheirOrder()
    {
        TSortListView view;
        FileListModel model;
        view.setModel(&model);
        QVERIFY(ShowForClicks(view));
        view.OnCustomSort = LView2CustomSort;
        const std::int64_t second = Unix(2024, 3, 5, 10);
        auto row = [&](std::string name, std::int64_t size, std::uint32_t nanoseconds) {
            FileRow r = File(std::move(name), size);
            r.LastWriteTime = FileTimeFromUnix(second, nanoseconds);
            return r;
        };
        FileRow never = row("never.e", 1000, 0);
        never.LastWriteTime = kNoFileTime;
        model.SetRows({row("first.a", 1538, 900'000'000), row("second.b", 1536, 0),
                       row("third.c", 1537, 500'000'000), row("later.d", 1600, 0), never},
                      RegionalSettings{});
        QCOMPARE(model.CellText(0, 5), model.CellText(1, 5));
        ClickHeader(view, 5);
        QCOMPARE(ColumnTexts(model, 1),
                 QStringList({"never.e", "first.a", "second.b", "third.c", "later.d"}));
        ClickHeader(view, 5);
        QCOMPARE(ColumnTexts(model, 1),
                 QStringList({"later.d", "first.a", "second.b", "third.c", "never.e"}));
        model.SetRows(
            {row("first.a", 1, 900'000'000), row("second.b", 1, 0), never, row("third.c", 1, 500'000'000)},
            RegionalSettings{});
        ClickHeader(view, 3);
        QCOMPARE(ColumnTexts(model, 1), QStringList({"never.e", "first.a", "second.b", "third.c"}));
        ClickHeader(view, 3);
        QCOMPARE(ColumnTexts(model, 1), QStringList({"first.a", "second.b", "third.c", "never.e"}));
    }

    void reportsReadTheRowsAsDisplayedWithTheSelection()
    {
        TSortListView view;
        FileListModel model;
        view.setModel(&model);
        QVERIFY(ShowForClicks(view));
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        view.OnCustomSort = LView2CustomSort;
        model.SetRows({File("b.txt", 3000, 0, 300), File("a.txt", 1000, 0, 100), File("c.txt", 2000, 0, 200)},
                      RegionalSettings{});
        ClickHeader(view, 5);
        view.selectionModel()->select(model.index(1, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        view.selectionModel()->select(model.index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        const ListViewRows rows(view);
        QCOMPARE(rows.RowCount(), std::size_t{3});
        QCOMPARE(rows.ColumnCount(), std::size_t{6});
        QCOMPARE(rows.CellText(0, 1), std::string("a.txt"));
        QCOMPARE(rows.CellText(1, 1), std::string("c.txt"));
        QCOMPARE(rows.CellText(2, 5), std::string("2.93 KB"));
        QCOMPARE(rows.CellText(0, 0), std::string(".txt"));
        QCOMPARE(rows.CellText(0, 6), std::string());
        QCOMPARE(rows.CellText(3, 0), std::string());
        QVERIFY(!rows.IsSelected(0));
        QVERIFY(rows.IsSelected(1));
        QVERIFY(rows.IsSelected(2));
        QVERIFY(!rows.IsSelected(3));
        // What each row showed of its file goes with it through the sort, for the file commands.
        QCOMPARE(rows.Listed(1)->Size, std::int64_t{2000});
        QCOMPARE(rows.Listed(1)->LastWriteTime, FileTimeFromUnix(200, 0));
        QVERIFY(!rows.Listed(3));

        view.selectAll();
        const ListViewRows all(view);
        QVERIFY(all.IsSelected(0) && all.IsSelected(1) && all.IsSelected(2));
    }

    void aListWithoutRowModelGivesNoRows()
    {
        TSortListView view;
        const ListViewRows rows(view);
        QCOMPARE(rows.RowCount(), std::size_t{0});
        QCOMPARE(rows.ColumnCount(), std::size_t{0});
    }
};

QTEST_MAIN(ListModelsTest)
#include "ListModelsTest.moc"
