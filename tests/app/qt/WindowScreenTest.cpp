// SPDX-License-Identifier: GPL-3.0-or-later
// The window's first size and place on a real X server's screen, at the scale factor the test is
// run with (2 on a 1280 x 1024 screen by CTest: a 640 x 512 area for the window).

#include "app/qt/menu1.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using namespace pellamy;

class WindowScreenTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theFirstSizeFitsTheAvailableAreaCentred()
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
            QSKIP("needs an X server (run under xvfb-run)");
        }
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect window = form.frameGeometry();
        QVERIFY2(available.contains(window), qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                                            .arg(window.x())
                                                            .arg(window.y())
                                                            .arg(window.width())
                                                            .arg(window.height())
                                                            .arg(available.width())
                                                            .arg(available.height())));
        QVERIFY(std::abs(window.center().x() - available.center().x()) <= 20);
        QVERIFY(std::abs(window.center().y() - available.center().y()) <= 30);
        QVERIFY(form.minimumWidth() <= available.width());
    }
};

QTEST_MAIN(WindowScreenTest)
#include "WindowScreenTest.moc"
