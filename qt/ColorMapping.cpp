#include "qt/ColorMapping.h"

#include <QApplication>
#include <QPalette>

QColor ColorMapping::toQt(TColor color) {
    if (!IsSystemColor(color))
        return QColor((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
    const QPalette pal = QApplication::palette();
    switch (color) {
    case clWindow:
        return pal.color(QPalette::Base);
    case clWindowText:
        return pal.color(QPalette::Text);
    case clBtnFace:
        return pal.color(QPalette::Button);
    case clInfoBk:
        return pal.color(QPalette::ToolTipBase);
    case clHighlight:
        return pal.color(QPalette::Highlight);
    case clHighlightText:
        return pal.color(QPalette::HighlightedText);
    default:
        return pal.color(QPalette::Window);
    }
}
