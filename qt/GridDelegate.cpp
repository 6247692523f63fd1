#include "qt/GridDelegate.h"

#include "qt/Glyphs.h"
#include "qt/GridModel.h"

#include <QPainter>

#include <algorithm>

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const QVariant background = index.data(Qt::BackgroundRole);
    const bool editing = index.data(GridModel::EditingRole).toBool();
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    // The grid's own styles say which cell is selected; Qt's selection look stays out.
    opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    opt.rect = option.rect.adjusted(3, 0, -3, 0);

    painter->save();
    if (editing) {
        painter->fillRect(option.rect, option.palette.color(QPalette::Base));
        painter->setPen(option.palette.color(QPalette::Highlight));
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter->setPen(option.palette.color(QPalette::Text));
        const QString text = index.data(Qt::DisplayRole).toString();
        const QRect r = opt.rect;
        const int align = index.data(Qt::TextAlignmentRole).toInt();
        const QFontMetrics fm = painter->fontMetrics();
        const int textWidth = fm.horizontalAdvance(text);
        const int x0 = (align & Qt::AlignRight) ? r.right() - textWidth : r.left();
        const QPoint selection = index.data(GridModel::EditorSelectionRole).toPoint();
        const int start = std::clamp(selection.x(), 0, static_cast<int>(text.size()));
        const int length = std::clamp(selection.y(), 0, static_cast<int>(text.size()) - start);
        const int selLeft = x0 + fm.horizontalAdvance(text.left(start));
        if (length > 0) {
            // The selected part, as an edit box shows it: typing replaces it.
            const int selWidth = fm.horizontalAdvance(text.mid(start, length));
            painter->fillRect(QRect(selLeft, r.top() + 2, selWidth, r.height() - 4),
                              option.palette.color(QPalette::Highlight));
        }
        painter->drawText(QRect(x0, r.top(), textWidth + 1, r.height()),
                          Qt::AlignLeft | Qt::AlignVCenter, text);
        if (length > 0) {
            painter->setPen(option.palette.color(QPalette::HighlightedText));
            painter->drawText(QRect(selLeft, r.top(), r.right() - selLeft + 1, r.height()),
                              Qt::AlignLeft | Qt::AlignVCenter, text.mid(start, length));
        } else {
            const int x = std::min(selLeft, r.right());
            painter->drawLine(x, r.top() + 3, x, r.bottom() - 3);
        }
        painter->restore();
        return;
    }
    if (background.isValid()) painter->fillRect(option.rect, background.value<QColor>());
    const auto picture = static_cast<TCheckPicture>(index.data(GridModel::PictureRole).toInt());
    if (picture != TCheckPicture::None) {
        const QPixmap pm = Glyphs::checkPicture(picture);
        const QPoint at =
            option.rect.center() - QPoint(pm.width() / 2, pm.height() / 2) + QPoint(1, 1);
        painter->drawPixmap(at, pm);
        painter->restore();
        return;
    }
    painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
    if (index.data(Qt::FontRole).isValid())
        painter->setFont(index.data(Qt::FontRole).value<QFont>());
    const int align = index.data(Qt::TextAlignmentRole).toInt();
    const QString text = painter->fontMetrics().elidedText(index.data(Qt::DisplayRole).toString(),
                                                           Qt::ElideRight, opt.rect.width());
    painter->drawText(opt.rect, align, text);
    painter->restore();
}
