// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_STATUSBAR_H
#define PELLAMY_APP_QT_STATUSBAR_H

#include <QFrame>

#include <array>

class QLabel;

namespace pellamy {

/// The window's status bar `StatusBar1`: a 23-pixel band with two text panels of set widths,
/// panel 0 for the hint line and panel 1 for the file count.
class StatusBar final : public QFrame
{
    Q_OBJECT

public:
    /// The width of the count panel (1) for a short count; a longer one widens it.
    static constexpr int kCountPanelWidth = 80;

    explicit StatusBar(QWidget* parent = nullptr);

    QString PanelText(int panel) const;
    QString PanelTip(int panel) const;
    /// Shows `text` in `panel`; the count panel grows to hold its whole text.
    void SetPanelText(int panel, const QString& text);
    /// The tooltip of `panel`; an empty text takes it away.
    void SetPanelTip(int panel, const QString& tip);
    int PanelWidth(int panel) const;
    void SetPanelWidth(int panel, int width);

private:
    std::array<QLabel*, 2> m_panels{};
};

} // namespace pellamy

#endif
