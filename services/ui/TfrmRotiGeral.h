#pragma once

#include "services/ui/TForm.h"

class TPanel;
class TButtonFlat;

// The dialog: a button bar with confirm and cancel. Screens extend the handlers; confirming
// closes only when the screen says so (it sets ModalResult or calls Close).
class TfrmRotiGeral : public TForm {
public:
    explicit TfrmRotiGeral(TComponent* owner);

    TPanel* panBotoes = nullptr;
    TButtonFlat* sbtConfirma = nullptr;
    TButtonFlat* sbtCancel = nullptr;

    virtual void sbtConfirmaClick(TObject* Sender);
    // Closes the dialog as cancelled.
    virtual void sbtCancelClick(TObject* Sender);
    virtual void FormCreate(TObject* Sender);
    // Closing frees the dialog.
    virtual void FormClose(TObject* Sender, TCloseAction& Action);
    // Esc cancels; Enter outside a grid moves to the next control.
    virtual void FormKeyDown(TObject* Sender, TKeyCode& Key, TShiftState Shift);

protected:
    // The button bar follows the dialog's width: confirm and cancel stay at its right edge.
    void Resized() override;
};
