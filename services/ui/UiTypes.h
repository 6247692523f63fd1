#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Root of everything an event can name as its sender.
class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Virtual key codes as the keyboard reports them (letters and digits are their upper-case
// character codes).
using TKeyCode = std::uint16_t;
// A typed character; 0 means "dropped".
using TKeyChar = char32_t;

enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = unsigned;

using TKeyEvent = std::function<void(TObject* Sender, TKeyCode& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, TKeyChar& Key)>;

inline constexpr TKeyCode VK_BACK = 8;
inline constexpr TKeyCode VK_TAB = 9;
inline constexpr TKeyCode VK_RETURN = 13;
inline constexpr TKeyCode VK_ESCAPE = 27;
inline constexpr TKeyCode VK_SPACE = 32;
inline constexpr TKeyCode VK_PRIOR = 33;
inline constexpr TKeyCode VK_NEXT = 34;
inline constexpr TKeyCode VK_END = 35;
inline constexpr TKeyCode VK_HOME = 36;
inline constexpr TKeyCode VK_LEFT = 37;
inline constexpr TKeyCode VK_UP = 38;
inline constexpr TKeyCode VK_RIGHT = 39;
inline constexpr TKeyCode VK_DOWN = 40;
inline constexpr TKeyCode VK_INSERT = 45;
inline constexpr TKeyCode VK_DELETE = 46;
inline constexpr TKeyCode VK_F1 = 112;
inline constexpr TKeyCode VK_F2 = 113;
inline constexpr TKeyCode VK_F3 = 114;
inline constexpr TKeyCode VK_F4 = 115;
inline constexpr TKeyCode VK_F5 = 116;
inline constexpr TKeyCode VK_F6 = 117;
inline constexpr TKeyCode VK_F7 = 118;
inline constexpr TKeyCode VK_F8 = 119;
inline constexpr TKeyCode VK_F9 = 120;
inline constexpr TKeyCode VK_F10 = 121;
inline constexpr TKeyCode VK_F11 = 122;
inline constexpr TKeyCode VK_F12 = 123;

// A menu shortcut: key code plus modifier bits.
using TShortCut = std::uint32_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

// Builds a shortcut from a key and its modifiers.
TShortCut ShortCut(TKeyCode key, TShiftState shift);
// "F3", "Ctrl+L", "Shift+F5"; empty for no shortcut.
std::string ShortCutToText(TShortCut shortcut);
// Inverse of ShortCutToText; 0 when the text names no key.
TShortCut TextToShortCut(const std::string& text);
// Key name used by tests and scripts ("F5", "Enter", "Tab", "A"); 0 when unknown.
TKeyCode KeyFromName(const std::string& name);
// The character a key types, or 0 when it types none.
TKeyChar KeyToChar(TKeyCode key, TShiftState shift);

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7
};

enum TCursor { crDefault, crHourGlass };
enum TFormStyle { fsNormal, fsMDIChild };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

// 0x00RRGGBB for plain colours; system colours carry the high bit and are resolved by the
// renderer.
using TColor = std::uint32_t;
constexpr TColor RGB(unsigned r, unsigned g, unsigned b) {
    return (TColor(r & 0xFF) << 16) | (TColor(g & 0xFF) << 8) | TColor(b & 0xFF);
}
inline constexpr TColor clSystemFlag = 0x80000000u;
inline constexpr TColor clDefault = clSystemFlag | 0;
inline constexpr TColor clWindow = clSystemFlag | 1;
inline constexpr TColor clWindowText = clSystemFlag | 2;
inline constexpr TColor clBtnFace = clSystemFlag | 3;
inline constexpr TColor clInfoBk = clSystemFlag | 4;
inline constexpr TColor clHighlight = clSystemFlag | 5;
inline constexpr TColor clHighlightText = clSystemFlag | 6;
inline constexpr TColor clBlack = RGB(0, 0, 0);
inline constexpr TColor clWhite = RGB(255, 255, 255);
inline constexpr TColor clGray = RGB(128, 128, 128);
inline constexpr TColor clOlive = RGB(128, 128, 0);
inline constexpr TColor clRed = RGB(255, 0, 0);
inline constexpr TColor clNavy = RGB(0, 0, 128);
inline constexpr bool IsSystemColor(TColor c) {
    return (c & clSystemFlag) != 0;
}
