// SPDX-License-Identifier: GPL-3.0-or-later
// Type descriptions and icons: one image-list index per distinct icon, answers cached per
// extension, and icons even where no icon theme is installed.
#include "shell/qt/TypeIcons.h"

#include "ListTestSupport.h"
#include "app/qt/listviews/FileListModel.h"

#include <QStandardPaths>
#include <QtTest>

using namespace pellamy;

class TypeIconsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void descriptionsComeFromTheMimeDatabase()
    {
        QCOMPARE(GetTypeDescription(".txt"), std::string("plain text document"));
        QCOMPARE(GetTypeDescription(".zzqx"), std::string("ZZQX File"));
        QCOMPARE(GetTypeDescription(""), std::string("File"));
    }

    void eachDistinctIconTakesOneIndex()
    {
        TypeImageList images;
        TypeIcons icons(images);
        const int text = icons.IconIndex(".txt");
        QCOMPARE(icons.IconIndex(".txt"), text);
        QCOMPARE(icons.IconIndex(".TXT"), text); // the same MIME type, so the same icon
        QCOMPARE(icons.IconIndex(".zzq1"), icons.IconIndex(".zzq2"));
        QVERIFY(icons.IconIndex(".png") != text);
        // A thousand unknown extensions and a thousand files of known types add no icon each.
        const int before = images.Count();
        for (int i = 0; i < 1000; ++i) {
            icons.IconIndex(".u" + std::to_string(i));
            icons.IconIndex(i % 2 ? ".txt" : ".png");
        }
        QCOMPARE(images.Count(), before);
        for (int i = 0; i < images.Count(); ++i) {
            QVERIFY2(!images.Icon(i).pixmap(16).isNull(), qPrintable(images.Name(i)));
        }
        QVERIFY(images.Icon(images.Count()).isNull());
        QVERIFY(images.Icon(-1).isNull());
    }

    void filesWithoutExtensionGetAnIcon()
    {
        TypeImageList images;
        TypeIcons icons(images);
        const int index = icons.IconIndex("");
        QVERIFY(index >= 0);
        QVERIFY(!images.Icon(index).pixmap(16).isNull());
    }

    void bundledIconsAreThereWithoutATheme()
    {
        for (const char* name : {"text-x-generic", "application-x-generic", "image-x-generic",
                                 "audio-x-generic", "video-x-generic", "package-x-generic"}) {
            const QIcon icon(QStringLiteral(":/pellamy/icons/") + QLatin1String(name) +
                             QStringLiteral(".xpm"));
            QCOMPARE(icon.pixmap(16).size(), QSize(16, 16));
        }
        ConfigureIconTheme();
        const QStringList searchPaths = QIcon::themeSearchPaths();
        const QString theme = QIcon::themeName();
        const QString fallback = QIcon::fallbackThemeName();
        // A machine with no icon theme at all: only the bundled set on the fallback path is left.
        QIcon::setThemeSearchPaths({});
        QIcon::setThemeName(QStringLiteral("pellamy-no-theme"));
        QIcon::setFallbackThemeName(QStringLiteral("pellamy-no-theme"));
        TypeImageList images;
        TypeIcons icons(images);
        const int picture = icons.IconIndex(".png");
        const int text = icons.IconIndex(".txt");
        const int unknown = icons.IconIndex(".zzq");
        QCOMPARE(images.Name(picture), QString("image-x-generic"));
        QCOMPARE(images.Name(text), QString("text-x-generic"));
        QCOMPARE(images.Name(unknown), QString("application-x-generic"));
        for (const int index : {picture, text, unknown}) {
            QVERIFY(!images.Icon(index).pixmap(16).isNull());
        }
        // Not even the fallback path: the bundled document still shows.
        const QStringList fallbackPaths = QIcon::fallbackSearchPaths();
        QIcon::setFallbackSearchPaths({});
        TypeImageList bare;
        TypeIcons bareIcons(bare);
        QVERIFY(!bare.Icon(bareIcons.IconIndex(".png")).pixmap(16).isNull());
        QIcon::setFallbackSearchPaths(fallbackPaths);
        QIcon::setThemeSearchPaths(searchPaths);
        QIcon::setThemeName(theme);
        QIcon::setFallbackThemeName(fallback);
    }

    void theWindowListBindsToTheSharedListWithoutOwningIt()
    {
        QCOMPARE(InitShellIconCache(true), 0);
        auto imageList = std::make_unique<ImageList>();
        QVERIFY(imageList->Handle() == nullptr);
        QVERIFY(imageList->Icon(0).isNull());
        AttachSystemImageList(*imageList, true);
        QCOMPARE(imageList->Handle(), &TypeImageList::Shared());
        QCOMPARE(imageList->IconSize(), QSize(16, 16));
        const int index = GetTypeIconIndex(".txt");
        QCOMPARE(GetTypeIconIndex(".txt"), index);
        QVERIFY(!imageList->Icon(index).isNull());
        const int count = TypeImageList::Shared().Count();
        imageList.reset();
        QCOMPARE(TypeImageList::Shared().Count(), count);
        QVERIFY(!TypeImageList::Shared().Icon(index).isNull());
    }

    void rowsShowTheIconOfTheirType()
    {
        ImageList imageList;
        AttachSystemImageList(imageList, true);
        FileListModel model;
        model.SetRows({test::File("a.txt", 1), test::File("b.png", 1), test::File("c.TXT", 1)},
                      RegionalSettings{});
        QVERIFY(!model.index(0, 0).data(Qt::DecorationRole).isValid());
        model.SetImages(&imageList);
        for (int row = 0; row < 3; ++row) {
            const auto extension = model.CellText(static_cast<std::size_t>(row), 0);
            const QIcon shown = model.index(row, 0).data(Qt::DecorationRole).value<QIcon>();
            QCOMPARE(shown.pixmap(16).toImage(),
                     imageList.Icon(GetTypeIconIndex(extension)).pixmap(16).toImage());
            QVERIFY(!model.index(row, 1).data(Qt::DecorationRole).isValid());
        }
    }
};

QTEST_MAIN(TypeIconsTest)
#include "TypeIconsTest.moc"
