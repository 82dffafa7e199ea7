// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy: the window program.

#include "app/qt/ErrorReport.h"
#include "window/StartupArguments.h"
#include "app/qt/menu1.h"

#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Help and version are answered before the application object exists, so they need no display.
    switch (pellamy::StartupRequestOf(std::vector<std::string>(argv + std::min(argc, 1), argv + argc))) {
    case pellamy::StartupRequest::ShowHelp:
        std::fputs(pellamy::StartupUsageText().c_str(), stdout);
        return 0;
    case pellamy::StartupRequest::ShowVersion:
        std::fputs("pellamy " PELLAMY_VERSION "\n", stdout);
        return 0;
    case pellamy::StartupRequest::OpenWindow:
        break;
    }

    pellamy::PellamyApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pellamy"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pellamy"));
    QApplication::setApplicationVersion(QStringLiteral(PELLAMY_VERSION));

    // The arguments as the system split them, byte for byte; the application object has already
    // taken Qt's own options out of argv.
    std::vector<std::string> args(argv + 1, argv + argc);

    // The window shows at once; the first folder is opened from the event loop, so that its scan
    // runs with the window drawn, and closing the window during it ends the program.
    pellamy::TForm1 form;
    form.show();
    QTimer::singleShot(0, &form, [&form, args] {
        form.FormCreate(args);
        // For start-up measurements: leave as soon as the window has been shown with its lists.
        if (qEnvironmentVariableIsSet("PELLAMY_QUIT_AFTER_START")) {
            QCoreApplication::quit();
        }
    });
    return QApplication::exec();
}
