#pragma once

#include "services/data/TClientDataSet.h"
#include "services/data/Variant.h"
#include "simulation/items/TfrmSimulaLinha.h"

#include <string>
#include <vector>

// The entry expenses of the result simulation: the budget items of type "E" of the simulated
// branches, by operation type or by expense type as the server's parameter says, each with its
// share of all entries and of billing, and the months of the selected item typed in place. On
// closing the months go back into the items it was given and the line total into the result
// screen.
class TfrmSimulaEntrada : public TfrmSimulaLinha {
public:
    explicit TfrmSimulaEntrada(TComponent* owner);
    ~TfrmSimulaEntrada() override;

    // An instance exists (set by the creator, cleared as the dialog closes).
    static inline bool boIdCriado = false;

    // The budget items: what the caller passed, and the working copy handed back.
    TClientDataSet cdsSimulaEntr{"cdsSimulaEntr"};
    TClientDataSet cdsSimulaOrig{"cdsSimulaOrig"};
    TClientDataSet cdsTpDespLanEnt{"cdsTpDespLanEnt"};
    // One row per entry item (upper grid) and the months of the items (lower grid).
    TClientDataSet cdsDespesasEnt{"cdsDespesasEnt"};
    TClientDataSet cdsValorMes{"cdsValorMes"};

    // The branch code and the billing value the caller gave.
    std::string stFilial;
    double vrFaturamento = 0;

    // --- Life ---
    void FormCreate(TObject* Sender) override;
    void FormActivate(TObject* Sender);
    // Writes the months back into the items, then closes.
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    std::vector<DataPacket> Pacotes() const override;

    // --- Loading ---
    void PreparaEntradas();
    // Entries are budgeted by operation type (else by expense type).
    bool PorOperacao() const;

    // --- Items and months ---
    void cdsDespesasEntAfterScroll(TClientDataSet& DataSet);
    void cdsValorMesBeforeEdit(TClientDataSet& DataSet);
    void cdsValorMesBeforePost(TClientDataSet& DataSet);
    void cdsValorMesAfterPost(TClientDataSet& DataSet);
    void cdsValorMesAfterScroll(TClientDataSet& DataSet);
    void dbgMesKeyPress(TObject* Sender, TKeyChar& Key);

    // --- Toolbar ---
    void sbtAlterarClick(TObject* Sender) override;
    void sbtConfirmarClick(TObject* Sender) override;
    void sbtCancelarClick(TObject* Sender) override;
    void sbtVerificarClick(TObject* Sender) override;
    void controlaMenu() override;

private:
    void CriaCampos();
    void CriaGrades();
    // The value of the current item of cdsSimulaEntr over the simulated period.
    double ValorDoPeriodo() const;
    // The billing of a branch in a calendar month, from the result screen (0 when unknown).
    double FaturamentoDoMes(const std::string& filial, int mes) const;
    // Shows the months of the selected item only.
    void FiltraMeses();
    // Every item's share of all entries and of billing.
    void RecalculaParticipacoes();
    // The item's months into its budget item; returns what was written.
    double DevolveMeses();
    // Drops the month being edited and the marks its edit made on the result screen.
    void DescartaEdicao();

    // The result screen's simulation flags as they were before the month now being edited.
    bool m_simulouAntes = false;
    bool m_simulaDeAntes = false;
};

// Shows the entry-expense simulation for a branch, the billing the shares are measured
// against and the items kept from an earlier opening (or an empty dataset); returns the data
// packet of the items with the simulated months.
Variant CriaSimulaEntra(const std::string& filial, double faturamento, TClientDataSet& itens);
