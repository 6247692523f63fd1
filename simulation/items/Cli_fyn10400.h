#pragma once

#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "simulation/items/TfrmSimulaLinha.h"

#include <string>
#include <vector>

// The general lines of the result simulation (taxes, recoverable taxes, taxes on profit,
// investments, depreciation and the administrative fee) item by item: one dialog for the six,
// told by the caller which line it works on. The line's total travels through the result
// screen's value box of the line: read when the dialog opens, written when it closes.
class TfrmSimulGeral : public TfrmSimulaLinha {
public:
    explicit TfrmSimulGeral(TComponent* owner);
    ~TfrmSimulGeral() override;

    static inline bool boIdCriado = false;

    // Items of every general line; the dialog shows one letter's.
    TClientDataSet cdsServico{"cdsServico"};
    TDataSource dtsServico{"dtsServico", &cdsServico};
    // Month rows of every item.
    TClientDataSet cdsInsereItens{"cdsInsereItens"};
    // A reload from the budget arrives here first.
    TClientDataSet cdsAuxServico{"cdsAuxServico"};
    TClientDataSet cdsAuxInsereItens{"cdsAuxInsereItens"};
    TClientDataSet cdsTotaItem{"cdsTotaItem"};
    // The month grid (dbgMeses under its own name).
    TDBGrid* dbgItens = nullptr;

    // The line's letter, the result screen's value box of the line, the line's total and the
    // value of the month row before its edit.
    std::string stOrcamento;
    std::string stNumberEdit;
    double doTotalGeral = 0;
    double doVrAnterior = 0;
    // A reload ordered by the verify button is under way.
    bool boAtualiza = false;

    // Loads the items and month rows the result screen keeps and shows the letter's.
    void Prepara(const std::string& letra, const std::string& titulo, const std::string& campo);
    // Replaces the letter's items and months with the budget's, from the server.
    void getSimulacao();
    // Column titles and the tax column for the line.
    void RotulaColunas();

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    void cdsServicoAfterScroll(TClientDataSet& DataSet);
    void cdsInsereItensBeforeEdit(TClientDataSet& DataSet);
    void cdsInsereItensBeforePost(TClientDataSet& DataSet);
    void cdsInsereItensAfterPost(TClientDataSet& DataSet);
    void cdsInsereItensBeforeInsert(TClientDataSet& DataSet);
    void dbgItensKeyPress(TObject* Sender, TKeyChar& Key);
    void sbtAlterarClick(TObject* Sender) override;
    void sbtVerificarClick(TObject* Sender) override;
    void controlaMenu() override;
    void habilitaBotoes(bool flag);
    // The selected month row may be changed: a month of the simulated period, open to the
    // operator's phase, of an item and branch neither effected nor approved.
    bool MesEditavel() const;

    std::vector<DataPacket> Pacotes() const override;

private:
    void CriaComponentes();
    // In-place typing only in the value column of a month that may be changed.
    void AjustaEdicao();
    // The result screen's value box of the line.
    class TNumberEdit* CampoDaLinha() const;
};

// Shows the general item dialog for one line: its letter, window title and the name of the
// result screen's value box of the line. Returns the items and the month rows.
std::vector<DataPacket> criaSimulGeral(const std::string& letra, const std::string& titulo,
                                       const std::string& campo);
