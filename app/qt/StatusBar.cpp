// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/StatusBar.h"

#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace pellamy {

StatusBar::StatusBar(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setFixedHeight(23);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    const int widths[] = {450, kCountPanelWidth};
    for (int i = 0; i < 2; ++i) {
        auto* panel = new QLabel(this);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setFixedWidth(widths[i]);
        panel->setTextFormat(Qt::PlainText);
        panel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        panel->setAccessibleName(i == 0 ? QStringLiteral("Hint") : QStringLiteral("File count"));
        layout->addWidget(panel);
        m_panels[static_cast<std::size_t>(i)] = panel;
    }
    layout->addStretch(1);
}

QString StatusBar::PanelText(int panel) const
{
    return m_panels.at(static_cast<std::size_t>(panel))->text();
}

QString StatusBar::PanelTip(int panel) const
{
    return m_panels.at(static_cast<std::size_t>(panel))->toolTip();
}

void StatusBar::SetPanelTip(int panel, const QString& tip)
{
    m_panels.at(static_cast<std::size_t>(panel))->setToolTip(tip);
}

void StatusBar::SetPanelText(int panel, const QString& text)
{
    QLabel* label = m_panels.at(static_cast<std::size_t>(panel));
    label->setText(text);
    if (panel == 1) {
        // The count is never cut: its panel grows with its text, and keeps its width otherwise.
        const int frame = 2 * label->frameWidth() + 2 * label->margin() + 8;
        label->setFixedWidth(std::max(kCountPanelWidth, label->fontMetrics().horizontalAdvance(text) + frame));
    }
}

int StatusBar::PanelWidth(int panel) const
{
    return m_panels.at(static_cast<std::size_t>(panel))->maximumWidth();
}

void StatusBar::SetPanelWidth(int panel, int width)
{
    m_panels.at(static_cast<std::size_t>(panel))->setFixedWidth(width);
}

} // namespace pellamy
