// How a grid cell shows a number its column is too narrow for: with fewer
// significant digits and its exponent kept, never cut so that it reads as
// another number; the cell's whole text is its tooltip and its editor's.
#pragma once

#include <QStyledItemDelegate>

namespace vortn {

class TNumberCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The text the cell of `index` shows in `option`'s rectangle.
    QString ShownText(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    // The option's text made to fit its rectangle; true when it was changed.
    bool FitText(QStyleOptionViewItem& option) const;
};

}  // namespace vortn
