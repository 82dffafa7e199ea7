// SPDX-License-Identifier: GPL-3.0-or-later
// A header click in the window and pellamy-report --sort put the rows of a folder of awkward names
// in one order, for every column of both lists and in both directions.

#include "app/qt/menu1.h"
#include "app/qt/listviews/ListTestSupport.h"
#include "app/qt/listviews/SortListViews.h"
#include "app/qt/listviews/TypeListModel.h"

#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pellamy;

namespace {

// German dates show two-digit years ("31.12.99" sorts after "01.01.05" as text) and sizes a decimal
// comma; the window reads its settings from the locale at start, pellamy-report from the same
// variable.
constexpr const char* kLocale = "de_DE.UTF-8";

// A file of `size` bytes (sparse) whose times are all `unixTime`.
void MakeFile(const QString& path, qint64 size, qint64 unixTime)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(size));
    file.close();
    const timespec times[2] = {{static_cast<time_t>(unixTime), 0}, {static_cast<time_t>(unixTime), 0}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

// Every row's texts, top to bottom, as the view shows them.
QList<QStringList> ShownRows(const TSortListView& view)
{
    QList<QStringList> rows;
    const QAbstractItemModel& model = *view.model();
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column) {
            cells << model.index(row, column).data().toString();
        }
        rows << cells;
    }
    return rows;
}

} // namespace

class SortAgreementTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // The rows of pellamy-report's JSON for `arguments` on the folder, sorted by `column`.
    QList<QStringList> ReportRows(QStringList arguments, const QString& column, bool ascending)
    {
        QProcess report;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(kLocale));
        environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
        report.setProcessEnvironment(environment);
        arguments << QStringLiteral("--format") << QStringLiteral("json") << QStringLiteral("--sort")
                  << column + (ascending ? QString() : QStringLiteral(":desc")) << m_dir.path();
        report.start(QStringLiteral(PELLAMY_REPORT_EXE), arguments);
        if (!report.waitForFinished(60000) || report.exitCode() != 0) {
            qWarning() << "pellamy-report failed:" << report.readAllStandardError();
            return {};
        }
        QList<QStringList> rows;
        const QJsonArray array = QJsonDocument::fromJson(report.readAllStandardOutput()).object()[u"rows"].toArray();
        for (const QJsonValue& row : array) {
            QStringList cells;
            for (const QJsonValue& cell : row.toObject()[u"cells"].toArray()) {
                cells << cell.toString();
            }
            rows << cells;
        }
        return rows;
    }

    // Each column of `view`, clicked once and again on rows put back in caption order by
    // `refill`, against pellamy-report run with `arguments`.
    void ExpectEveryColumnAgrees(TForm1& form, TSortListView& view, const std::function<void()>& refill,
                                 const QStringList& arguments)
    {
        for (int column = 0; column < view.model()->columnCount(); ++column) {
            const QString caption = view.model()->headerData(column, Qt::Horizontal).toString();
            refill();
            for (int click = 0; click < 2; ++click) {
                test::ClickHeader(view, column);
                QCOMPARE(view.SortColumn(), column);
                const QList<QStringList> shown = ShownRows(view);
                QVERIFY(shown.size() >= 5);
                QCOMPARE(shown, ReportRows(arguments, caption, view.SortAscending()));
            }
        }
        (void)form;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        const locale_t german = ::newlocale(LC_ALL_MASK, kLocale, nullptr);
        if (german == nullptr) {
            QSKIP("the de_DE.UTF-8 locale is not installed here: scripts/setup.sh makes it as root");
        }
        ::freelocale(german);
        qputenv("LC_ALL", kLocale);
        const QString dir = m_dir.path() + u'/';
        // Ties of size, time and type; two-digit years on both sides of 2000; afternoons and
        // mornings; sizes of every unit, two of them with one text ("0,98 KB"); letter case.
        const qint64 y1999 = 946'594'800; // 1999-12-30 23:00
        const qint64 y2005 = 1'104'577'200; // 2005-01-01 11:00
        MakeFile(dir + QStringLiteral("same a.txt"), 1000, y1999);
        MakeFile(dir + QStringLiteral("same b.TXT"), 1000, y1999);
        MakeFile(dir + QStringLiteral("same c.txt"), 1001, y1999);
        MakeFile(dir + QStringLiteral("Zebra.txt"), 2048, y2005);
        MakeFile(dir + QStringLiteral("apple.TXT"), 1536, y2005 + 13 * 3600);
        MakeFile(dir + QStringLiteral("night.log"), 0, y2005 + 23 * 3600);
        MakeFile(dir + QStringLiteral("morning.log"), qint64{3} << 20, y2005 + 9 * 3600);
        MakeFile(dir + QStringLiteral("big.iso"), qint64{5} << 30, y1999 - 86400 * 400);
        MakeFile(dir + QStringLiteral("README"), 17, y2005);
        MakeFile(dir + QStringLiteral("Ärger, \"quoted\".csv"), 1'500'000, y1999 + 60);
        MakeFile(dir + QStringLiteral("ärger.csv"), 1'500'001, y1999 + 61);
        MakeFile(dir + QStringLiteral(".hidden"), 5, y2005);
        MakeFile(dir + QStringLiteral("two.dots.tar.gz"), 777'777, y2005 - 1);
        MakeFile(dir + QStringLiteral("UPPER.GZ"), 777'777, y2005 - 1);
        QCOMPARE(::chmod(QFile::encodeName(dir + QStringLiteral("README")).constData(), 0444), 0);
    }

    void headerClicksAndSortOptionAgreeOnEveryColumn()
    {
        TForm1 form;
        form.FormCreate({QFile::encodeName(m_dir.path()).toStdString()});
        QVERIFY(form.TypeRows()->RowCount() >= 5);

        // The type list: the summary again puts its rows back in caption order.
        ExpectEveryColumnAgrees(form, *form.sLView, [&form] { form.BuildTypeSummary(); }, {});

        // The list of every file, as a double click on a type lists it.
        const auto listAll = [&form] {
            form.BuildTypeSummary();
            form.sLView->selectionModel()->select(form.TypeRows()->index(0, 0),
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            form.sLViewDblClick();
        };
        ExpectEveryColumnAgrees(form, *form.LView2, listAll, {QStringLiteral("--all-files")});
    }
};

QTEST_MAIN(SortAgreementTest)
#include "SortAgreementTest.moc"
