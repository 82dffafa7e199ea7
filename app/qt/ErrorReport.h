// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_ERRORREPORT_H
#define PELLAMY_APP_QT_ERRORREPORT_H

#include <QApplication>
#include <QString>

namespace pellamy {

/// The text of the general error report: the message with a full stop appended when it is not
/// empty and its last character has a higher code than the full stop, a question mark excepted (a
/// letter or a digit gets one; "!", "?", a blank or a full stop does not).
QString ErrorReportText(const QString& message);

/// The application object. An exception that escapes an event handler is shown in a message box
/// captioned with the application title, and the program goes on with the next event.
class PellamyApplication final : public QApplication
{
public:
    PellamyApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    /// Shows the general error report for `message`. Tests replace the box with a recorder.
    static void ShowErrorReport(const QString& message);
    using ErrorReporter = void (*)(const QString& text);
    static void SetErrorReporter(ErrorReporter reporter);
};

} // namespace pellamy

#endif
