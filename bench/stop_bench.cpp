// SPDX-License-Identifier: GPL-3.0-or-later
// The window's answer while it reads a large folder: how long after the program starts the window
// is shown, and how long after Esc the scan has ended. Starts the window on FOLDER as the program
// does, presses Esc ESC_MS milliseconds after the scan began, and prints
//   shown       s   from the start of main to the window's first paint
//   esc-to-end  s   from the Esc key to the end of the stopped scan
//   stopped     yes when the lists were left as they were (empty at start-up)
//
//     stop_bench FOLDER [ESC_MS]

#include "app/qt/ErrorReport.h"
#include "app/qt/menu1.h"
#include "app/qt/listviews/TypeListModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Notes the time of the window's first paint.
class FirstPaint final : public QObject
{
public:
    FirstPaint(const QElapsedTimer& clock, qint64& at)
        : m_clock(clock)
        , m_at(at)
    {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_at < 0) {
            m_at = m_clock.nsecsElapsed();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& m_clock;
    qint64& m_at;
};

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    if (argc < 2) {
        std::fputs("usage: stop_bench FOLDER [ESC_MS]\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    const int escAfterMs = argc > 2 ? std::atoi(argv[2]) : 1000;
    pellamy::PellamyApplication app(argc, argv);

    qint64 shownAt = -1;
    qint64 escAt = -1;
    qint64 endedAt = -1;
    pellamy::TForm1 form;
    FirstPaint paint(clock, shownAt);
    form.installEventFilter(&paint);
    form.show();
    QTimer::singleShot(0, &form, [&] {
        QTimer::singleShot(escAfterMs, &form, [&] {
            escAt = clock.nsecsElapsed();
            QCoreApplication::postEvent(&form, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        });
        form.FormCreate({folder});
        endedAt = clock.nsecsElapsed();
        QCoreApplication::quit();
    });
    QApplication::exec();

    std::printf("shown      %8.3f s\n", static_cast<double>(shownAt) / 1e9);
    if (escAt >= 0) {
        std::printf("esc-to-end %8.3f s\n", static_cast<double>(endedAt - escAt) / 1e9);
    } else {
        std::printf("esc-to-end      n/a (the scan ended before Esc, after %.3f s)\n",
                    static_cast<double>(endedAt) / 1e9);
    }
    std::printf("stopped    %s\n", form.TypeRows()->RowCount() == 0 ? "yes" : "no");
    return 0;
}
