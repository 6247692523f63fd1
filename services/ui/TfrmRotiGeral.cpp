#include "services/ui/TfrmRotiGeral.h"

#include "services/ui/TButtonFlat.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TPanel.h"

TfrmRotiGeral::TfrmRotiGeral(TComponent* owner) : TForm(owner) {
    SetName("frmRotiGeral");
    SetBounds(0, 0, 480, 320);
    SetKeyPreview(true);
    panBotoes = Add<TPanel>("panBotoes", this);
    panBotoes->SetAlign(alBottom);
    panBotoes->SetBounds(0, 280, 480, 40);
    sbtConfirma = Add<TButtonFlat>("sbtConfirma", panBotoes);
    sbtConfirma->SetCaption("Confirma");
    sbtConfirma->SetBounds(300, 6, 84, 28);
    sbtCancel = Add<TButtonFlat>("sbtCancel", panBotoes);
    sbtCancel->SetCaption("Cancela");
    sbtCancel->SetBounds(390, 6, 84, 28);
    Resized();
    sbtConfirma->OnClick = [this](TObject* s) { sbtConfirmaClick(s); };
    sbtCancel->OnClick = [this](TObject* s) { sbtCancelClick(s); };
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    OnKeyDown = [this](TObject* s, TKeyCode& k, TShiftState sh) { FormKeyDown(s, k, sh); };
}

void TfrmRotiGeral::Resized() {
    if (!panBotoes) return;
    panBotoes->SetBounds(0, Height() - 40, Width(), 40);
    sbtCancel->SetBounds(Width() - 90, 6, 84, 28);
    sbtConfirma->SetBounds(Width() - 180, 6, 84, 28);
}

void TfrmRotiGeral::sbtConfirmaClick(TObject*) {}

void TfrmRotiGeral::sbtCancelClick(TObject*) {
    if (Modal())
        SetModalResult(mrCancel);
    else
        Close();
}

void TfrmRotiGeral::FormCreate(TObject*) {}

void TfrmRotiGeral::FormClose(TObject*, TCloseAction& Action) {
    Action = caFree;
}

void TfrmRotiGeral::FormKeyDown(TObject*, TKeyCode& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE && Shift == 0) {
        Key = 0;
        sbtCancelClick(sbtCancel);
    } else if (Key == VK_RETURN && Shift == 0 && ActiveControl() &&
               !dynamic_cast<TDBGrid*>(ActiveControl()) &&
               !dynamic_cast<TButton*>(ActiveControl())) {
        Key = 0;
        SelectNext(ActiveControl(), true);
    }
}
