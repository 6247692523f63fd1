#pragma once

#include "services/ui/UiTypes.h"

#include <QKeySequence>

class QKeyEvent;

// Translates between Qt's keyboard events and the control layer's key codes.
class KeyMapping {
public:
    struct Key {
        TKeyCode code = 0; // 0 when the key has no code of its own (e.g. ',' or 'ç')
        TShiftState shift = 0;
        TKeyChar typed = 0; // the character the keyboard produced, 0 for none
    };

    static Key fromEvent(const QKeyEvent& event);
    // The Qt key for a virtual key code; Qt::Key_unknown when there is none.
    static int toQtKey(TKeyCode code);
    // The key sequence shown next to a menu item for a shortcut.
    static QKeySequence toSequence(TShortCut shortcut);
};
