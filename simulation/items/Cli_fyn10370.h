#pragma once

#include "services/data/TClientDataSet.h"
#include "simulation/items/TfrmSimulaLinha.h"

#include <string>
#include <vector>

class TfrmSimulaResult;

// The consumption line of the result simulation, service by service: each branch's
// consumption services with their diners, value and share of net billing, and the months of
// the selected service, whose diners and value the operator changes.
class TfrmSimulaCons : public TfrmSimulaLinha {
public:
    static inline bool boIdCriado = false;

    explicit TfrmSimulaCons(TComponent* owner);
    ~TfrmSimulaCons() override;

    // The services, ordered by diners, most first.
    TClientDataSet cdsSimulaCons{"cdsSimulaCons"};
    // Per service and branch, the twelve months' value and diners by calendar month.
    TClientDataSet cdsSimulaConsMes{"cdsSimulaConsMes"};
    // The month rows of every service; the grid shows the selected service's.
    TClientDataSet cdsInsereItens{"cdsInsereItens"};
    // The month grid (the base's, under this dialog's name).
    TDBGrid* dbgItensSimulacao = nullptr;

    // The consumption of all services when the data was loaded: a confirmed total that
    // differs from it marks the line simulated.
    double doTotalConsumo = 0;
    // Branch and service of the selected service row.
    std::string lineCdfilial, lineServFili;

    // --- Life ---
    void FormCreate(TObject* Sender) override;
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    std::vector<DataPacket> Pacotes() const override;

    // --- Loading ---
    // The services and their months as the budget holds them.
    void getSimulaCons();

    // --- Datasets and grids ---
    void cdsSimulaConsAfterScroll(TClientDataSet& DataSet);
    void cdsInsereItensBeforePost(TClientDataSet& DataSet);
    void cdsInsereItensAfterScroll(TClientDataSet& DataSet);
    void cdsInsereItensBeforeInsert(TClientDataSet& DataSet);
    void cdsInsereItensBeforeEdit(TClientDataSet& DataSet);
    void dbgItensSimulacaoKeyPress(TObject* Sender, TKeyChar& Key);

    // --- Toolbar ---
    void sbtAlterarClick(TObject* Sender) override;
    void sbtConfirmarClick(TObject* Sender) override;
    void sbtCancelarClick(TObject* Sender) override;
    void sbtVerificarClick(TObject* Sender) override;
    void mnuSairClick(TObject* Sender) override;

    // --- Enabling ---
    void HabilitaBotoes();
    void EnableButtons(bool editando);
    // The selected service's month rows carry its item flag: effected or approved services
    // are not written by the save, so they are not edited here either.
    bool ItemEfetivado() const override;
    // A number field's value, 0 when empty.
    static double Numero(const TField& campo);

private:
    // The dialog's own edits of month rows for the guard's lifetime.
    class EdicaoInterna {
    public:
        explicit EdicaoInterna(bool& flag) : m_flag(flag) { m_flag = true; }
        ~EdicaoInterna() { m_flag = false; }
        EdicaoInterna(const EdicaoInterna&) = delete;
        EdicaoInterna& operator=(const EdicaoInterna&) = delete;

    private:
        bool& m_flag;
    };

    void CriaDataSets();
    void CriaGrades();
    // Orders the services by diners, most first, and selects the first.
    void OrdenaServicos();
    // Shows the selected service's month rows.
    void FiltraMeses();
    // The average cost of every month row, from its value and diners.
    void AtualizaCustoMedio();
    // The average cost of the current month row.
    void PoeCustoMedio();
    // The line is marked simulated when a change was posted or the total moved.
    void VerificaSimulacao();
    // The sum of VRCONSUMO over all services.
    double TotalConsumo() const;
    // The month row's calendar month is closed to the operator's phase.
    bool MesFechado() const;

    // A month value or diners changed since the data was loaded.
    bool m_boAlterou = false;
    // The dialog's own edits of month rows, not the operator's.
    bool m_boInterno = false;
};

// Shows the consumption simulation modally; returns the packets of cdsSimulaCons,
// cdsSimulaConsMes and cdsInsereItens as it closed.
std::vector<DataPacket> criaSimulaCons();
