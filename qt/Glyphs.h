#pragma once

#include "services/ui/TCellStyle.h"

#include <QIcon>
#include <QPixmap>

#include <string>

// The pictures of buttons and check cells, drawn by the renderer so that no image files ship.
class Glyphs {
public:
    // A button's icon: by glyph name when given, else by the button's name; a null icon
    // when nothing fits.
    static QIcon icon(const std::string& glyph, const std::string& buttonName,
                      const std::string& hint);
    // The 16x16 check-box picture of a grid cell or an image control.
    static QPixmap checkPicture(TCheckPicture picture);
    // The application's window icon.
    static QIcon applicationIcon();
    // The picture named by an image control ("check", "uncheck", "gray"); null when unknown.
    static QPixmap named(const std::string& name);
};
