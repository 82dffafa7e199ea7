// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/Skin.h"

#include <QApplication>

namespace pellamy {
namespace {

bool g_active = false;

} // namespace

QString Skin::StyleSheet()
{
    // A calm slate theme: dark frame bands, light lists, one accent colour for selections.
    return QStringLiteral(R"(
QWidget {
    background-color: #e9edf2;
    color: #1d2733;
    selection-background-color: #3d6fa6;
    selection-color: #ffffff;
}
QFrame#Panel1, QFrame#Panel3 {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3b4d63, stop:1 #2b3a4c);
    color: #f2f5f8;
    border-top: 1px solid #5a6f88;
    border-bottom: 1px solid #1c2733;
}
QFrame#Panel1 QLabel, QFrame#Panel3 QLabel, QFrame#Panel1 QCheckBox, QFrame#Panel3 QCheckBox {
    background: transparent;
    color: #f2f5f8;
}
QCheckBox::indicator {
    width: 12px;
    height: 12px;
    border: 1px solid #8da2bb;
    border-radius: 2px;
    background: #f7f9fb;
}
QCheckBox::indicator:checked {
    background: #5d93cf;
    border-color: #d6e4f3;
    image: none;
}
QTreeView, QTableView, QListView, QListWidget {
    background-color: #ffffff;
    alternate-background-color: #f3f6f9;
    border: 1px solid #b7c3d0;
}
QTreeView::item:hover, QListView::item:hover {
    background-color: #dce8f5;
    color: #1d2733;
}
QTreeView::item:selected, QTableView::item:selected, QListView::item:selected {
    background-color: #3d6fa6;
    color: #ffffff;
}
QHeaderView::section {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f4f6f9, stop:1 #dde3ea);
    color: #1d2733;
    border: none;
    border-right: 1px solid #c3ccd6;
    border-bottom: 1px solid #aab6c3;
    padding: 2px 3px;
}
QSplitter::handle {
    background-color: #c9d2dc;
}
QSplitter::handle:hover {
    background-color: #9fb3c9;
}
QComboBox, QLineEdit {
    background-color: #ffffff;
    border: 1px solid #9fb0c2;
    border-radius: 2px;
    padding: 1px 4px;
}
QComboBox QAbstractItemView {
    background-color: #ffffff;
    selection-background-color: #3d6fa6;
}
QPushButton {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdfdfe, stop:1 #dfe5ec);
    border: 1px solid #8fa2b7;
    border-radius: 3px;
    padding: 3px 14px;
}
QPushButton:default {
    border: 1px solid #3d6fa6;
}
QPushButton:pressed {
    background-color: #c9d6e4;
}
QMenu {
    background-color: #fbfcfd;
    border: 1px solid #8fa2b7;
    padding: 2px;
}
QMenu::item {
    padding: 4px 22px 4px 22px;
    background: transparent;
}
QMenu::item:selected {
    background-color: #3d6fa6;
    color: #ffffff;
}
QMenu::separator {
    height: 1px;
    background: #c3ccd6;
    margin: 3px 6px;
}
QStatusBar, QFrame#StatusBar1 {
    background-color: #2b3a4c;
    color: #e6ebf1;
}
QFrame#StatusBar1 QLabel {
    background-color: #2b3a4c;
    color: #e6ebf1;
    border: 1px solid #45576c;
    padding: 0 4px;
}
QScrollBar:vertical, QScrollBar:horizontal {
    background: #eef1f5;
    border: none;
    margin: 0;
}
QScrollBar:vertical { width: 12px; }
QScrollBar:horizontal { height: 12px; }
QScrollBar::handle {
    background: #b3c0ce;
    border-radius: 4px;
    min-height: 24px;
    min-width: 24px;
    margin: 2px;
}
QScrollBar::handle:hover { background: #8ea2b8; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
QScrollBar::add-page, QScrollBar::sub-page { background: none; }
QDialog, QMessageBox {
    background-color: #e9edf2;
}
)");
}

void Skin::SetActive(bool on)
{
    g_active = on;
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        app->setStyleSheet(on ? StyleSheet() : QString());
    }
}

bool Skin::IsActive()
{
    return g_active;
}

} // namespace pellamy
