#pragma once

#include "budget/ModuleState.h"
#include "services/data/DataPacket.h"
#include "services/data/TDataSource.h"
#include "services/ui/Application.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TfrmPadraoGrid.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <typeinfo>
#include <vector>

class TClientDataSet;
class TfrmCalcOrcaOper;
class TfrmSimulaResult;
class TDBGrid;
class TDBNavigator;
class TDBText;
class TField;
class TLabel;
class TPanel;

// One line of the result simulation worked on item by item and month by month: the line's
// items in the upper grid (dbgPadrao), the months of the selected item in the lower grid,
// typed in place on the value columns of the months the budget phase lets be calculated.
// The dialogs of the six kinds of line derive from it and hand their datasets back to the
// result screen as they close.
class TfrmSimulaLinha : public TfrmPadraoGrid {
public:
    explicit TfrmSimulaLinha(TComponent* owner);
    ~TfrmSimulaLinha() override;

    // A month of the budget year: its position in the year (1..12, from the version's first
    // month) and its calendar number (1..12).
    struct MesDoAno {
        int posicao;
        int mes;
    };

    TLabel* lblCodTela = nullptr;
    // The name of the selected item, shown between the grids.
    TDBText* dbtNome = nullptr;
    TPanel* panMeses = nullptr;
    // The month grid; each dialog gives it its own name.
    TDBGrid* dbgMeses = nullptr;
    TPanel* panRodape = nullptr;
    TDBNavigator* dbnPadrao = nullptr;
    TDataSource dtsMeses{"dtsMeses"};

    // The result simulation the dialog works for, and the main screen whose budget it holds.
    static TfrmSimulaResult& Resultado();
    static TfrmCalcOrcaOper& Principal();
    // A number field of the current row; 0 when it is null or the dataset has no such field.
    static double Valor(const TClientDataSet& ds, const std::string& campo);

    // --- The months of the period ---
    // The months shown for a period ("T": the whole year, else one calendar month "1".."12"),
    // in the order of a budget year starting at `primeiroMes`.
    static std::vector<MesDoAno> MesesDoAno(int primeiroMes, const std::string& stMes);
    // The months of the result screen's period, in the loaded version's order.
    static std::vector<MesDoAno> MesesDoPeriodo();
    // The first month of the loaded version's budget year (1 when unknown).
    static int PrimeiroMesDoAno();
    // "JAN".."DEZ".
    static std::string Abreviatura(int mes);
    // The main screen's phase permission of a calendar month ("N": it may not be calculated).
    static std::string PermissaoDoMes(int mes);
    // Two digits, as month positions are keyed ("01".."12").
    static std::string Ajusta(int numero);
    // The month name of the catalog ("Janeiro".."Dezembro").
    std::string NomeMes(int mes) const;
    // The calendar month of a catalog name; 0 when none.
    int MesDoNome(const std::string& nome) const;
    // Share of `valor` in `base`, in percent to two places; 0 when the base is 0.
    static double Participacao(double valor, double base);

    // --- Editing ---
    // The keys that move or end an edit and pass in any column: backspace, tab, enter and the
    // character codes 37 to 40 and 44 to 46.
    static bool TeclaDeControle(TKeyChar key);
    // The month grid's key filter: other columns than the value ones take only the control
    // keys; an effected item takes none; signs and exponents never; a value typed past 100
    // characters stops with the catalog's `chaveInvalido` message.
    void FiltraTeclaMes(TKeyChar& Key, std::initializer_list<const char*> colunasDeValor,
                        bool efetivado, const std::string& chaveInvalido = "ValorInvalido");
    // In-place typing in the month grid follows the month's phase permission.
    void AjustaEdicaoDoMes();
    // Values typed in the month grid are read as the main screen reads them.
    void LigaValorDigitado(TField& field);
    // The month rows are being edited.
    bool EditandoMeses() const;
    // A Yes/No question from the catalog; true on Yes.
    bool Pergunta(const std::string& chave) const;

    // --- Enabling ---
    // Enables the toolbar for the dialog's state (run on grid focus and state changes).
    virtual void controlaMenu();
    // The toolbar for given edit and search permissions; insert, delete and printing are
    // never offered, confirm and cancel only while the months are edited.
    void Habilita(bool alterar, bool procurar);
    // The selected item is closed to simulation: effected ("E") or approved ("A"), which the
    // server never writes.
    virtual bool ItemEfetivado() const;

    // --- Life ---
    // The packets handed back to the result screen, in the order its caller reads them.
    virtual std::vector<DataPacket> Pacotes() const = 0;
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    void dtsPadraoStateChange(TObject* Sender) override;

    // Creates the dialog T when none is open, lets `prepara` set it up, shows it modally and
    // returns the packets it handed back as it closed. A dialog whose creation fails (a
    // refused server load) is released.
    template <class T>
    static std::vector<DataPacket> Executa(const std::function<void(T&)>& prepara = {});

protected:
    // Lays the dialog out: caption, screen code, the month grid's name and its data source.
    void Monta(const std::string& nome, const std::string& titulo, const std::string& codigo,
               const std::string& nomeGradeMeses, TClientDataSet& meses);
    // Shows an item field between the grids.
    void MostraNome(TDataSource& fonte, const std::string& campo);
    void Resized() override;

private:
    std::vector<DataPacket>* m_destino = nullptr;
};

template <class T>
std::vector<DataPacket> TfrmSimulaLinha::Executa(const std::function<void(T&)>& prepara) {
    T* dialogo = nullptr;
    {
        CursorGuard hourglass;
        const std::string classe = ClassNameOf(typeid(T));
        if (T::boIdCriado) dialogo = dynamic_cast<T*>(Application::instance().findForm(classe));
        if (!dialogo) {
            try {
                dialogo = Application::instance().createModuleForm<T>(kModuleCode, nullptr);
            } catch (...) {
                T::boIdCriado = false;
                if (TForm* meio = Application::instance().findForm(classe)) meio->Release();
                throw;
            }
            T::boIdCriado = true;
        }
        if (prepara) {
            try {
                prepara(*dialogo);
            } catch (...) {
                T::boIdCriado = false;
                dialogo->Release();
                throw;
            }
        }
    }
    std::vector<DataPacket> pacotes;
    dialogo->m_destino = &pacotes;
    dialogo->SetWindowState(wsNormal);
    dialogo->ShowModal();
    return pacotes;
}
