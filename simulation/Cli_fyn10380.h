#pragma once

#include "services/lib/TMessages.h"
#include "services/ui/TfrmRotiGeral.h"

class TLabel;
class TNumberEdit;

// Asks for the share of a line that a percentage reduction keeps (0 to 100).
class TfrmReduConsFat : public TfrmRotiGeral {
public:
    explicit TfrmReduConsFat(TComponent* owner);
    ~TfrmReduConsFat() override;

    TLabel* lblCodTela = nullptr;
    TLabel* lblValor = nullptr;
    TNumberEdit* edtValor = nullptr;
    TLabel* lblPerc = nullptr;
    TMessages msgPadrao;

    void FormCreate(TObject* Sender) override;
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    void sbtConfirmaClick(TObject* Sender) override;
    // Refuses a percentage below 0 or above 100.
    void VdValor();

private:
    void CriaComponentes();
};

// The percentage dialog while it is open.
extern TfrmReduConsFat* frmReduConsFat;
// Whether the last percentage dialog was confirmed.
extern bool boConfReduConsFat;

// Shows the percentage dialog modally: the percentage confirmed, or 0 when it was closed.
double CriaReduConsFat();
