#pragma once

#include "services/data/DataPacket.h"
#include "services/data/TClientDataSet.h"
#include "simulation/items/TfrmSimulaLinha.h"

#include <string>
#include <vector>

class TDBGrid;

// The billing line of the result simulation service by service: the billing services of the
// simulated branches above, the months of the selected service below, where the budgeted
// quantity and the base price of a month are typed; the month's value and the service's
// total follow, and everything goes back to the result screen as the dialog closes.
class TfrmSimulaFat : public TfrmSimulaLinha {
public:
    explicit TfrmSimulaFat(TComponent* owner);
    ~TfrmSimulaFat() override;

    // Whether an instance exists.
    static inline bool boIdCriado = false;

    // The billing services, one row per service and branch (upper grid).
    TClientDataSet cdsServOrc{"cdsServOrc"};
    // The budget of each service and branch by month (not shown).
    TClientDataSet cdsSimulaItens{"cdsSimulaItens"};
    // The month rows of every service, shown filtered to the selected one.
    TClientDataSet cdsInseriItens{"cdsInseriItens"};
    // The month grid (the base's, under this dialog's name).
    TDBGrid* dbgItensSimulacao = nullptr;

    // From creation until the first load from the server.
    bool boCreate = false;
    // A reload ordered by the verify button is being rebuilt.
    bool boAtualiza = false;

    // --- Life ---
    void FormCreate(TObject* Sender) override;
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    std::vector<DataPacket> Pacotes() const override;

    // --- Loading ---
    void organizaItensFat();
    void cdsServOrcAfterScroll(TClientDataSet& DataSet);

    // --- Editing (SimulaFatEdicao.cpp) ---
    void cdsInseriItensBeforePost(TClientDataSet& DataSet);
    void cdsInseriItensBeforeEdit(TClientDataSet& DataSet);
    void cdsInseriItensBeforeInsert(TClientDataSet& DataSet);
    void cdsInseriItensBeforeDelete(TClientDataSet& DataSet);
    void cdsInseriItensAfterScroll(TClientDataSet& DataSet);
    void cdsServOrcBeforeEdit(TClientDataSet& DataSet);
    void cdsServOrcBeforeInsert(TClientDataSet& DataSet);
    void dbgItensSimulacaoKeyPress(TObject* Sender, TKeyChar& Key);
    void dbgPadraoKeyPress(TObject* Sender, TKeyChar& Key) override;
    void sbtAlterarClick(TObject* Sender) override;
    void sbtConfirmarClick(TObject* Sender) override;
    void sbtCancelarClick(TObject* Sender) override;
    void sbtVerificarClick(TObject* Sender) override;

private:
    void CriaDataSets();
    void CriaGrades();
    // The result screen's boSimulaFat as it was before the month edit in progress, so that
    // cancelling that edit does not forget months posted earlier.
    bool m_simulaFatAntes = false;
};

// Shows the billing simulation modally and returns its data: [0] the services, [1] the
// services by month, [2] the month rows.
std::vector<DataPacket> criaSimulaFat();
