#pragma once

#include "services/data/TClientDataSet.h"
#include "services/lib/TMessages.h"
#include "services/ui/TfrmRotiGeral.h"

class TCheckBox;
class TDateEditPlus;
class TLabel;

// Asks for the period the server calculates over: the version's complete period or a range of
// dates inside it. Confirming sets StrOperac "S" and DataTCalc, DataIniCalc, DataFinCalc;
// closing otherwise leaves those and sets StrOperac "N".
class TfrmPerCalc : public TfrmRotiGeral {
public:
    explicit TfrmPerCalc(TComponent* owner);
    ~TfrmPerCalc() override;

    TLabel* lblPerDe = nullptr;
    TLabel* lblPerAte = nullptr;
    TDateEditPlus* depPerDe = nullptr;
    TDateEditPlus* depPerAte = nullptr;
    TCheckBox* chbPerTot = nullptr;
    // A copy of the main screen's version: its DATAINI and DATAFIN bound the dates.
    TClientDataSet cdsVersaoOrca{"cdsVersaoOrca"};
    TMessages msgPadrao;

    void FormCreate(TObject* Sender) override;
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    void sbtConfirmaClick(TObject* Sender) override;
    void chbPerTotClick(TObject* Sender);
    // Refuses a range that is incomplete, reversed or outside the version's period.
    void ValidaData();

private:
    void CriaComponentes();
};

// The one period dialog instance while it is open.
extern TfrmPerCalc* frmPerCalc;

// Shows the period dialog modally; the caller then reads StrOperac.
void criaPerCalc();
