// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/listviews/SortListViews.h"

#include "scan/CaseFold.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QHelpEvent>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace pellamy {
namespace {

const QColor kArrowGrey(172, 168, 153);
const QColor kFuchsia(255, 0, 255);
// The share bar: the selection's colour, light enough that the cell's text reads through it.
constexpr int kShareBarAlpha = 70;

// Draws cells without the focus frame of the current cell: the row, not a cell, is what a report
// list selects, and the list frames the current row itself. A cell whose text is cut shows the
// whole text as its tooltip.
class RowDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override
    {
        if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip) {
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        }
        const QString text = CutText(view, option, index);
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
            return false;
        }
        QToolTip::showText(event->globalPos(), text, view->viewport(), view->visualRect(index));
        return true;
    }

    /// Draws the cell, then, for a cell with a share of the list's total size, a bar over that
    /// share of its width from the left, translucent so the text stays legible.
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QVariant share = index.data(SortListModel::kSizeShareRole);
        if (!share.isValid()) {
            return;
        }
        const double fraction = std::clamp(share.toDouble(), 0.0, 1.0);
        const int width = static_cast<int>(fraction * (option.rect.width() - 2) + 0.5);
        if (width <= 0) {
            return;
        }
        QColor bar = option.palette.color(QPalette::Active, QPalette::Highlight);
        if ((option.state & QStyle::State_Selected) != 0) {
            bar = option.palette.color(QPalette::Active, QPalette::HighlightedText);
        }
        bar.setAlpha(kShareBarAlpha);
        const QRect cell = option.rect.adjusted(1, 2, -1, -2);
        painter->fillRect(QRect(cell.left(), cell.top(), width, cell.height()), bar);
    }

    /// The whole text of the cell at `index` when the cell shows only part of it; empty otherwise.
    static QString CutText(const QAbstractItemView* view, const QStyleOptionViewItem& base, const QModelIndex& index)
    {
        QStyleOptionViewItem option = base;
        option.rect = view->visualRect(index);
        const auto* delegate = static_cast<const RowDelegate*>(view->itemDelegateForIndex(index));
        delegate->initStyleOption(&option, index);
        const QStyle* style = view->style();
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &option, view);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        const int needed = option.fontMetrics.horizontalAdvance(option.text) + 2 * margin;
        return needed > textRect.width() ? option.text : QString();
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

} // namespace

TSortListView::TSortListView(QWidget* parent)
    : QTableView(parent)
    , m_upArrow(SortArrowImage(true))
    , m_downArrow(SortArrowImage(false))
{
    setShowGrid(false);
    setWordWrap(false);
    setItemDelegate(new RowDelegate(this));
    setCornerButtonEnabled(false);
    // Tab moves on to the next control, as in a report list.
    setTabKeyNavigation(false);
    // Every row is one line high, fixed: Qt then never measures rows one by one, which a million
    // rows would make slow.
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(0);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    // The selection keeps its colours when the list loses focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setHighlightSections(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
        ColumnClick(column);
        // The current row stays in view wherever the sort put it.
        if (currentIndex().isValid()) {
            scrollTo(currentIndex());
        }
    });
}

void TSortListView::SetUseArrows(bool on)
{
    m_useArrows = on;
    if (SortListModel* model = ListModel(); model != nullptr && m_sortColumn != -1) {
        if (on) {
            ShowArrow();
        } else {
            model->SetColumnImage(m_sortColumn, QIcon());
        }
    }
}

void TSortListView::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    if (m_useArrows && m_sortColumn != -1) {
        ShowArrow();
    }
}

SortListModel* TSortListView::ListModel() const
{
    return qobject_cast<SortListModel*>(model());
}

const RegionalSettings& TSortListView::SettingsOf(const TSortListView* sender)
{
    static const RegionalSettings defaults;
    if (sender != nullptr) {
        if (const SortListModel* model = sender->ListModel(); model != nullptr) {
            return model->Settings();
        }
    }
    return defaults;
}

QImage TSortListView::SortArrowBitmap(bool up)
{
    QImage bitmap(9, 6, QImage::Format_RGB32);
    bitmap.fill(kFuchsia);
    // Rows of 1, 3, 5, 7 and 9 grey pixels, and one empty row at the broad end's far side.
    for (int step = 0; step < 5; ++step) {
        const int y = up ? step : 5 - step;
        for (int x = 4 - step; x <= 4 + step; ++x) {
            bitmap.setPixelColor(x, y, kArrowGrey);
        }
    }
    return bitmap;
}

QIcon TSortListView::SortArrowImage(bool up, QSize size)
{
    QImage arrow = SortArrowBitmap(up).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < arrow.height(); ++y) {
        for (int x = 0; x < arrow.width(); ++x) {
            if (arrow.pixelColor(x, y) == kFuchsia) {
                arrow.setPixelColor(x, y, Qt::transparent);
            }
        }
    }
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawImage((size.width() - arrow.width()) / 2, (size.height() - arrow.height()) / 2, arrow);
    painter.end();
    return QIcon(QPixmap::fromImage(image));
}

void TSortListView::ShowArrow()
{
    if (SortListModel* model = ListModel(); model != nullptr) {
        model->SetColumnImage(m_sortColumn, m_ascending ? m_upArrow : m_downArrow);
    }
}

void TSortListView::ColumnClick(int column)
{
    SortListModel* model = ListModel();
    if (m_sortColumn != -1 && m_sortColumn != column && model != nullptr) {
        model->SetColumnImage(m_sortColumn, QIcon());
    }
    m_ascending = column == m_sortColumn ? !m_ascending : true;
    m_sortColumn = column;
    if (m_useArrows) {
        ShowArrow();
    }
    if (model == nullptr) {
        if (QAbstractItemModel* other = this->model(); other != nullptr) {
            other->sort(column, m_ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        }
        return;
    }
    if (!OnCustomSort) {
        SortKeepingSelection([&] {
            return model->SortByComparison(
                column, m_ascending,
                [](int, std::string_view a, std::string_view b) { return CompareTextNoCase(a, b); });
        });
        return;
    }
    // The standard handler's order is what the model's keyed sort gives; a handler of any other
    // kind, even one that calls the standard handler, is asked once per comparison.
    if (const auto* handler = OnCustomSort.target<TSLVOnCustomSortProc>();
        handler != nullptr && *handler == model->StandardCustomSort()) {
        SortKeepingSelection([&] { return model->SortByKeys(column, m_ascending); });
        return;
    }
    SortKeepingSelection([&] {
        return model->SortByComparison(column, m_ascending,
                                       [this](int col, std::string_view a, std::string_view b) {
                                           int res = 0;
                                           bool handled = false;
                                           OnCustomSort(this, col, a, b, res, handled);
                                           return handled ? res : CompareTextNoCase(a, b);
                                       });
    });
}

QString TSortListView::CutCellText(const QModelIndex& index) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return RowDelegate::CutText(this, option, index);
}

void TSortListView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    // The current row in a frame while the list has the focus, so that the keyboard's place shows.
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid() || model() == nullptr) {
        return;
    }
    QRect row = visualRect(current.siblingAtColumn(0));
    row.setLeft(0);
    row.setRight(viewport()->width() - 1);
    if (!row.intersects(viewport()->rect())) {
        return;
    }
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = row;
    frame.state |= QStyle::State_KeyboardFocusChange;
    frame.backgroundColor = palette().color(selectionModel() != nullptr && selectionModel()->isRowSelected(current.row())
                                                ? QPalette::Highlight
                                                : QPalette::Base);
    QPainter painter(viewport());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

void TSortListView::SortKeepingSelection(const std::function<std::vector<std::uint32_t>()>& sort)
{
    // Qt carries a selection through a layout change by turning every selected row into a
    // persistent index and merging them into ranges again afterwards, which costs seconds on a
    // million rows. The selection is therefore taken out as one bit a row, the rows sorted with
    // nothing selected, and the same rows selected again in their new places as one range per run.
    // The current row and the anchor of shift-selection are persistent indexes of their own, which
    // the sort moves with their rows.
    QItemSelectionModel* selection = selectionModel();
    SortListModel* model = ListModel();
    if (selection == nullptr || model == nullptr || !selection->hasSelection()) {
        sort();
        return;
    }
    const std::size_t rows = model->RowCount();
    std::vector<bool> selected(rows, false);
    for (const QItemSelectionRange& range : selection->selection()) {
        const auto top = static_cast<std::size_t>(std::max(range.top(), 0));
        const auto bottom = std::min(static_cast<std::size_t>(std::max(range.bottom(), -1) + 1), rows);
        std::fill(selected.begin() + static_cast<std::ptrdiff_t>(std::min(top, bottom)),
                  selected.begin() + static_cast<std::ptrdiff_t>(bottom), true);
    }
    selection->clearSelection();
    std::vector<std::uint32_t> order;
    try {
        order = sort();
    } catch (...) {
        // A failed sort leaves the rows where they were, and so the selection.
        SelectRows(selected, {});
        throw;
    }
    SelectRows(selected, order);
}

void TSortListView::SelectRows(const std::vector<bool>& selected, const std::vector<std::uint32_t>& order)
{
    SortListModel* model = ListModel();
    const int lastColumn = model->ColumnCount() - 1;
    const std::size_t rows = std::min(selected.size(), model->RowCount());
    const auto isSelected = [&](std::size_t position) {
        const std::size_t row = position < order.size() ? order[position] : position;
        return row < selected.size() && selected[row];
    };
    QItemSelection runs;
    std::size_t position = 0;
    while (position < rows) {
        if (!isSelected(position)) {
            ++position;
            continue;
        }
        const std::size_t top = position;
        while (position < rows && isSelected(position)) {
            ++position;
        }
        runs.append(QItemSelectionRange(model->index(static_cast<int>(top), 0),
                                        model->index(static_cast<int>(position - 1), lastColumn)));
    }
    // Nothing is selected now, so Qt has no earlier selection to compare the new one with.
    selectionModel()->select(runs, QItemSelectionModel::Select);
}

} // namespace pellamy
