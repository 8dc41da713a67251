#include "number_cell_delegate.h"

#include "number_format.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace vortn {

bool TNumberCellDelegate::FitText(QStyleOptionViewItem& option) const {
    if (!(option.features & QStyleOptionViewItem::HasDisplay) || option.text.isEmpty() || option.rect.isEmpty())
        return false;
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // The room the style draws the text in: its rectangle less its margins.
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &option, widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const int room = textRect.width() - 2 * margin;
    const QFontMetrics metrics(option.font);
    const QString shown =
            NumberThatFits(option.text, [&](const QString& s) { return metrics.horizontalAdvance(s) <= room; });
    if (shown.isEmpty() || shown == option.text) return false;
    option.text = shown;
    return true;
}

QString TNumberCellDelegate::ShownText(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    FitText(opt);
    return opt.text;
}

void TNumberCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    FitText(opt);
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
}

bool TNumberCellDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) {
    if (event && view && index.isValid() && event->type() == QEvent::ToolTip) {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString whole = opt.text;
        if (FitText(opt)) {
            QToolTip::showText(event->globalPos(), whole, view->viewport(), option.rect);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

}  // namespace vortn
