#include "qt/GridDelegate.h"

#include "qt/Glyphs.h"
#include "qt/GridModel.h"

#include <QPainter>

#include <algorithm>
#include <array>

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    // Every role at once: the grid's cell style is asked once per cell drawn. The grid's own
    // styles say which cell is selected, so Qt's selection look stays out.
    std::array<QModelRoleData, 8> roles{QModelRoleData(Qt::BackgroundRole),
                                        QModelRoleData(GridModel::EditingRole),
                                        QModelRoleData(Qt::DisplayRole),
                                        QModelRoleData(Qt::TextAlignmentRole),
                                        QModelRoleData(GridModel::EditorSelectionRole),
                                        QModelRoleData(GridModel::PictureRole),
                                        QModelRoleData(Qt::ForegroundRole),
                                        QModelRoleData(Qt::FontRole)};
    index.multiData(roles);
    const QVariant& background = roles[0].data();
    const bool editing = roles[1].data().toBool();
    const QString text = roles[2].data().toString();
    const int align = roles[3].data().toInt();
    const QRect textRect = option.rect.adjusted(3, 0, -3, 0);

    painter->save();
    if (editing) {
        painter->fillRect(option.rect, option.palette.color(QPalette::Base));
        painter->setPen(option.palette.color(QPalette::Highlight));
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter->setPen(option.palette.color(QPalette::Text));
        const QRect& r = textRect;
        const QFontMetrics fm = painter->fontMetrics();
        const int textWidth = fm.horizontalAdvance(text);
        const int x0 = (align & Qt::AlignRight) ? r.right() - textWidth : r.left();
        const QPoint selection = roles[4].data().toPoint();
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
    const auto picture = static_cast<TCheckPicture>(roles[5].data().toInt());
    if (picture != TCheckPicture::None) {
        const QPixmap pm = Glyphs::checkPicture(picture);
        const QPoint at =
            option.rect.center() - QPoint(pm.width() / 2, pm.height() / 2) + QPoint(1, 1);
        painter->drawPixmap(at, pm);
        painter->restore();
        return;
    }
    painter->setPen(roles[6].data().value<QColor>());
    if (roles[7].data().isValid()) painter->setFont(roles[7].data().value<QFont>());
    const QString elided =
        painter->fontMetrics().elidedText(text, Qt::ElideRight, textRect.width());
    painter->drawText(textRect, align, elided);
    painter->restore();
}
