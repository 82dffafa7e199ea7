// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/ErrorReport.h"

#include "window/ErrorReportText.h"

#include "app/qt/MessageBoxes.h"

#include <QMessageBox>

#include <exception>

namespace pellamy {
namespace {

void ShowInMessageBox(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text, QMessageBox::Ok);
    FitCaption(box);
    box.exec();
}

PellamyApplication::ErrorReporter g_reporter = &ShowInMessageBox;

} // namespace

QString ErrorReportText(const QString& message)
{
    return QString::fromStdString(ErrorReportText(message.toStdString()));
}

PellamyApplication::PellamyApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{}

bool PellamyApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowErrorReport(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowErrorReport(QStringLiteral("Unknown error"));
    }
    return false;
}

void PellamyApplication::ShowErrorReport(const QString& message)
{
    g_reporter(ErrorReportText(message));
}

void PellamyApplication::SetErrorReporter(ErrorReporter reporter)
{
    g_reporter = reporter != nullptr ? reporter : &ShowInMessageBox;
}

} // namespace pellamy
