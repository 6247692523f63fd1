#pragma once

#include <QStyledItemDelegate>

// Paints grid cells: check pictures centred, and the cell under the in-place editor as an
// edit box with a caret, since the typing itself goes to the control layer.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
