#pragma once

#include "services/data/TClientDataSet.h"
#include "simulation/items/TfrmSimulaLinha.h"

#include <string>
#include <vector>

class TfrmSimulaResult;

// The labour line of the result simulation: the labour lines of each branch (a labour budget
// and a labour type) above, the months of the selected line below with the value and its
// share of the branch's billing. A typed month goes into the line's months and its total.
class TfrmSimulaMaoObra : public TfrmSimulaLinha {
public:
    // A dialog is open (the next opening reuses it).
    static inline bool boIdCriado = false;

    explicit TfrmSimulaMaoObra(TComponent* owner);
    ~TfrmSimulaMaoObra() override;

    // The labour lines, shown in dbgPadrao.
    TClientDataSet cdsTpMaoObra{"cdsTpMaoObra"};
    // The months of each labour line (not shown).
    TClientDataSet cdsSimulaItensMo{"cdsSimulaItensMo"};
    // The month rows of the selected line, shown in dbgItensSimulacao.
    TClientDataSet cdsInseriItens{"cdsInseriItens"};
    TDBGrid* dbgItensSimulacao = nullptr;
    // Set once the lines came from the server at creation.
    bool boCreate = false;

    // --- Life ---
    void FormCreate(TObject* Sender) override;
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    std::vector<DataPacket> Pacotes() const override;

    // --- Lines and their months ---
    void cdsTpMaoObraAfterScroll(TClientDataSet& DataSet);
    void cdsTpMaoObraBeforeEdit(TClientDataSet& DataSet);
    // Rebuilds the month rows of the selected line, in the budget year's order.
    void organizaItensMo();
    void cdsInseriItensBeforeEdit(TClientDataSet& DataSet);
    void cdsInseriItensBeforePost(TClientDataSet& DataSet);
    void cdsInseriItensAfterPost(TClientDataSet& DataSet);
    void cdsInseriItensAfterScroll(TClientDataSet& DataSet);
    void cdsInseriItensBeforeInsert(TClientDataSet& DataSet);
    void cdsInseriItensBeforeDelete(TClientDataSet& DataSet);
    void dbgItensSimulacaoKeyPress(TObject* Sender, TKeyChar& Key);
    void dbgPadraoKeyPress(TObject* Sender, TKeyChar& Key) override;

    // --- Toolbar ---
    void sbtAlterarClick(TObject* Sender) override;
    void sbtConfirmarClick(TObject* Sender) override;
    void sbtCancelarClick(TObject* Sender) override;
    void sbtVerificarClick(TObject* Sender) override;
    void controlaMenu() override;

private:
    static bool TemLinhas(const TClientDataSet& ds);
    // The server's labour lines and months of the result screen's branches and period.
    void CarregaDoServidor(double base);
    // The result screen's labour data from the previous opening, if any is pending there.
    bool RetomaSimulacao();
    // Positions cdsSimulaItensMo on the selected line; false when it has none.
    bool LocalizaMesesDaLinha();
    // The billing of the selected line's branch in a calendar month (0 when unknown).
    double FaturamentoDoMes(int mes) const;

    // Whether the line was already simulated before the month now edited.
    bool m_simulavaAntes = false;
    // The line's own total and share are being written: not an operator's edit.
    bool m_gravandoLinha = false;
};

// Shows the labour dialog modally; its labour lines, their months and the month rows of the
// selected line, for the result screen to keep.
std::vector<DataPacket> criaSimulaMo();
