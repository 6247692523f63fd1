#include "qt/KeyMapping.h"

#include <QKeyEvent>

namespace {

struct Pair {
    int qt;
    TKeyCode vk;
};

constexpr Pair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},       {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},  {Qt::Key_Enter, VK_RETURN},  {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},    {Qt::Key_PageUp, VK_PRIOR},  {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},        {Qt::Key_Home, VK_HOME},     {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},          {Qt::Key_Right, VK_RIGHT},   {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Insert, VK_INSERT},  {Qt::Key_Delete, VK_DELETE},
};

} // namespace

KeyMapping::Key KeyMapping::fromEvent(const QKeyEvent& event) {
    Key key;
    const Qt::KeyboardModifiers mods = event.modifiers();
    if (mods & Qt::ShiftModifier) key.shift |= ssShift;
    if (mods & Qt::ControlModifier) key.shift |= ssCtrl;
    if (mods & Qt::AltModifier) key.shift |= ssAlt;

    const int qk = event.key();
    if (qk == Qt::Key_Backtab) key.shift |= ssShift;
    for (const Pair& p : kKeys)
        if (p.qt == qk) key.code = p.vk;
    if (qk >= Qt::Key_F1 && qk <= Qt::Key_F12)
        key.code = static_cast<TKeyCode>(VK_F1 + (qk - Qt::Key_F1));
    else if (qk >= Qt::Key_0 && qk <= Qt::Key_9)
        key.code = static_cast<TKeyCode>('0' + (qk - Qt::Key_0));
    else if (qk >= Qt::Key_A && qk <= Qt::Key_Z)
        key.code = static_cast<TKeyCode>('A' + (qk - Qt::Key_A));

    if (!(key.shift & (ssCtrl | ssAlt))) {
        const QString text = event.text();
        if (text.size() == 1 || (text.size() == 2 && text[0].isHighSurrogate())) {
            const char32_t ch = text.toUcs4().value(0);
            // Control characters (Enter, Backspace, Escape) travel as their key codes.
            if (ch >= 0x20 && ch != 0x7F) key.typed = ch;
        }
    }
    return key;
}

int KeyMapping::toQtKey(TKeyCode code) {
    for (const Pair& p : kKeys)
        if (p.vk == code && p.qt != Qt::Key_Backtab && p.qt != Qt::Key_Enter) return p.qt;
    if (code >= VK_F1 && code <= VK_F12) return Qt::Key_F1 + (code - VK_F1);
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return code;
    return Qt::Key_unknown;
}

QKeySequence KeyMapping::toSequence(TShortCut shortcut) {
    if (shortcut == 0) return {};
    const int key = toQtKey(static_cast<TKeyCode>(shortcut & 0x1FFF));
    if (key == Qt::Key_unknown) return {};
    int mods = 0;
    if (shortcut & scShift) mods |= Qt::SHIFT;
    if (shortcut & scCtrl) mods |= Qt::CTRL;
    if (shortcut & scAlt) mods |= Qt::ALT;
    return QKeySequence(mods | key);
}
