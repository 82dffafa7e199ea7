// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_ELIDEDLABEL_H
#define PELLAMY_APP_QT_ELIDEDLABEL_H

#include <QLabel>

namespace pellamy {

/// A one-line label that, when its whole text does not fit, shows its end after an ellipsis and
/// the whole text as its tooltip, so a cut text never reads as another. `text()` stays the whole
/// text.
class ElidedLabel final : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

    /// The text as drawn now: the whole text, or "…" and as much of its end as fits.
    QString ShownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace pellamy

#endif
