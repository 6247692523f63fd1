#pragma once

#include "services/data/TClientDataSet.h"
#include "services/net/TNetConnection.h"
#include "simulation/items/TfrmSimulaLinha.h"

#include <string>
#include <vector>

// The miscellaneous expenses of the simulated branches: each expense with its total, its share
// of all expenses and of billing, and below it the months of the period with their value and
// their share of the month's billing. A typed month goes into the expense's monthly values and
// the result screen takes them back when the dialog closes.
class TfrmSimulaDespDiv : public TfrmSimulaLinha {
public:
    explicit TfrmSimulaDespDiv(TComponent* owner);
    ~TfrmSimulaDespDiv() override;

    // An instance exists (created and not yet closed).
    static inline bool boIdCriado = false;

    // Its own connection to the budget server, open while the dialog lives.
    TNetConnection netSimulaDespDiv;
    // Expenses per branch (the upper grid).
    TClientDataSet cdsDespesas{"cdsDespesas"};
    // The twelve values of each expense and the branch's billing per month (not shown).
    TClientDataSet cdsMesDados{"cdsMesDados"};
    // The month rows of every expense (the lower grid, filtered to the selected one).
    TClientDataSet cdsMes{"cdsMes"};
    TDBGrid* dbgMes = nullptr;

    // Billing of the month being posted and branch of the posted expense.
    double vrMes = 0;
    std::string stFilial;

    // --- Life ---
    void FormCreate(TObject* Sender) override;
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    std::vector<DataPacket> Pacotes() const override;

    // --- Toolbar ---
    void sbtAlterarClick(TObject* Sender) override;
    void sbtConfirmarClick(TObject* Sender) override;
    void sbtCancelarClick(TObject* Sender) override;
    void sbtProcurarClick(TObject* Sender) override;
    void sbtVerificarClick(TObject* Sender) override;
    void HabilitaBotoes();
    void controlaMenu() override;

    // --- Datasets and grids ---
    void cdsDespesasAfterScroll(TClientDataSet& DataSet);
    void cdsDespesasAfterPost(TClientDataSet& DataSet);
    void cdsMesBeforePost(TClientDataSet& DataSet);
    void cdsMesBeforeEdit(TClientDataSet& DataSet);
    void cdsMesBeforeInsert(TClientDataSet& DataSet);
    void cdsMesBeforeDelete(TClientDataSet& DataSet);
    void cdsMesAfterScroll(TClientDataSet& DataSet);
    void dbgMesKeyPress(TObject* Sender, TKeyChar& Key);

private:
    void CriaColunas();
    void CriaDatasets();
    // The expenses kept on the result screen, or the budget's when there are none to take.
    void Carrega();
    // GetDespesas for a branch list or code into cdsDespesas and cdsMesDados, then the month
    // rows of the period rebuilt from them.
    void CarregaDoServidor(std::string& lista);
    void MontaMeses();
    // The month filter of the selected expense.
    void FiltraMeses();
};

// Shows the dialog modally; its packets: expenses, their monthly values, the month rows.
std::vector<DataPacket> CriaSimulaDespDiv();
