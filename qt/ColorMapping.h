#pragma once

#include "services/ui/UiTypes.h"

#include <QColor>

// Resolves the control layer's colours, system colours included, to Qt colours.
class ColorMapping {
public:
    static QColor toQt(TColor color);
};
