#pragma once

#include "services/ui/UiTypes.h"

#include <string>

class TForm;
class TWinControl;

enum class MessageKind { Error, Warning, Information, Confirmation };
enum class MessageButtons { Ok, YesNo, OkCancel };

// Everything a screen shows outside its own controls. The headless implementation answers
// from a script and records; the renderer's shows real windows.
class Platform {
public:
    virtual ~Platform() = default;

    // Shows a message and waits for the answer: mrOk, mrYes, mrNo or mrCancel.
    virtual TModalResult MessageBox(MessageKind kind, const std::string& text,
                                    MessageButtons buttons) = 0;
    // Runs the form as a modal dialog until its ModalResult is set (TForm::ShowModal calls
    // this between showing and closing the form) and returns that result.
    virtual TModalResult ShowModal(TForm& form) = 0;
    // Shows a form without waiting: a child window of the shell.
    virtual void ShowForm(TForm& form) = 0;
    // The form was hidden or closed.
    virtual void HideForm(TForm& form) = 0;
    // The screen cursor.
    virtual void SetCursor(TCursor cursor) = 0;
    virtual TCursor Cursor() const = 0;
    // The progress window: kind 1 or 6 with a text; showing again replaces the text.
    virtual void ShowProgress(int kind, const std::string& text) = 0;
    virtual void HideProgress() = 0;
    // The keyboard focus of a shown form moved to `control` (nullptr: the form itself).
    virtual void FocusChanged(TForm& form, TWinControl* control) {}
    // Redraw now (the screens' repaint after activation).
    virtual void Repaint(TForm& form) {}
};
