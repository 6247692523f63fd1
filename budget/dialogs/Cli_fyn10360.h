#pragma once

#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "services/lib/TMessages.h"
#include "services/ui/TfrmRotiGeral.h"

#include <string>

class TButtonFlat;
class TCheckBox;
class TDateEditPlus;
class TLabel;

// Generates the labour budget of the branches checked on the main screen's labour page from
// labour budgets the operator picks, over the complete period or a range of dates.
class TfrmcalMOOrca : public TfrmRotiGeral {
public:
    explicit TfrmcalMOOrca(TComponent* owner);
    ~TfrmcalMOOrca() override;

    TLabel* lblOrca = nullptr;
    TButtonFlat* btnOrca = nullptr;
    TLabel* lblDtIni = nullptr;
    TLabel* lblDtFin = nullptr;
    TDateEditPlus* depDtIni = nullptr;
    TDateEditPlus* depDtFin = nullptr;
    TCheckBox* chkPeriodoComp = nullptr;
    TClientDataSet cdsOrcamentos{"cdsOrcamentos"};
    TDataSource dtsOrcamentos{"dtsOrcamentos", &cdsOrcamentos};
    // The server's answer to the generation: one row with its Retorno.
    TClientDataSet cdsRetorno{"cdsRetorno"};
    TMessages msgPadrao;

    void FormClose(TObject* Sender, TCloseAction& Action) override;
    void sbtConfirmaClick(TObject* Sender) override;
    void sbtCancelClick(TObject* Sender) override;
    void chkPeriodoCompClick(TObject* Sender);
    // Offers the labour budgets that fit the loaded branches and keeps the chosen ones.
    void btnOrcaClick(TObject* Sender);
    // Refuses a range that is incomplete, reversed or outside the version's period.
    void validaData();

private:
    void CriaComponentes();
    // The server's answer as a packet; a failed call or another payload ends the operation.
    static DataPacket Pacote(const struct RemoteResult& answer, const char* method);
};

// The one labour dialog instance while it is open.
extern TfrmcalMOOrca* frmcalMOOrca;

// Shows the labour dialog modally; true when a generation ran (the budget must be reloaded).
bool CriaCalcMaoObraOrc();
