#pragma once

#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "services/lib/TMessages.h"
#include "services/ui/TfrmRotiGeral.h"

#include <string>
#include <unordered_set>

class TBtnPesquisa;
class TButtonFlat;
class TCheckBox;
class TEdit;
class TLabel;
class TMaskEdit;
class TNumberEdit;
class TPanel;
class TSpinEdit;

// The projected operating result of one branch or a list of branches of the budget loaded on
// the main screen, for the whole year or one month, line by line with each line's share.
class TfrmSimulaResult : public TfrmRotiGeral {
public:
    explicit TfrmSimulaResult(TComponent* owner);
    ~TfrmSimulaResult() override;

    // --- Header ---
    TPanel* panCabecalho = nullptr;
    TLabel* lblCodTela = nullptr;
    TLabel* lblAno = nullptr;
    TMaskEdit* speAno1 = nullptr;
    TCheckBox* chkPeriodo = nullptr;
    TLabel* lblFilial = nullptr;
    TEdit* edtCdFilial = nullptr;
    TBtnPesquisa* btnFilial = nullptr;
    TEdit* edtNmFilial = nullptr;
    TCheckBox* chkFilialLista = nullptr;
    TButtonFlat* btnFilialLista = nullptr;
    // The budget year, hidden; created at the first loading.
    TSpinEdit* speAno = nullptr;

    // --- Lines: value, percentage, the line's dialog and its reduction ---
    TPanel* panCorpo = nullptr;
    TNumberEdit *nbeOrcF = nullptr, *nbeOrcImp = nullptr, *nbeOrcL = nullptr, *nbeOrcC = nullptr,
                *nbeOrcO = nullptr, *nbeOrcT = nullptr, *nbeOrcD = nullptr, *nbeOrcE = nullptr,
                *nbeOrcR = nullptr, *nbeOrcLu = nullptr, *nbeOrcN = nullptr, *nbeOrcP = nullptr,
                *nbeResult = nullptr;
    TNumberEdit *nbePrcImp = nullptr, *nbePrcL = nullptr, *nbePrcC = nullptr, *nbePrcO = nullptr,
                *nbePrct = nullptr, *nbePrcD = nullptr, *nbePrcE = nullptr, *nbePrcR = nullptr,
                *nbePrcS = nullptr, *nbePrcN = nullptr, *nbePrcP = nullptr, *nbePrcResult = nullptr;
    TButtonFlat *btnFatBrut = nullptr, *btnImposto = nullptr, *btnConsumo = nullptr,
                *btnMaoObra = nullptr, *ButtonFlat4 = nullptr, *btnDespDiv = nullptr,
                *btnDespEntr = nullptr, *btnImpRecup = nullptr, *btnImpSLucro = nullptr,
                *btnInvestimentos = nullptr, *btnDepreciacao = nullptr;
    TButtonFlat *btnReduImp = nullptr, *btnReduConsumo = nullptr, *btnReduMaoObra = nullptr,
                *btnReduTaxaAdm = nullptr, *btnReduDespDiv = nullptr, *btnReduDespEntr = nullptr,
                *btnReduImpSobreL = nullptr, *btnReduInvestimentos = nullptr,
                *btnReduDeprec = nullptr;
    // Discards the simulation and reloads.
    TButtonFlat* sbtAtualizar = nullptr;

    // --- Datasets ---
    TClientDataSet cdsItensFatCons{"cdsItensFatCons"};
    TClientDataSet cdsItensGeral{"cdsItensGeral"};
    TClientDataSet cdsOrcFilial{"cdsOrcFilial"};
    TClientDataSet cdsParamorcaoperac{"cdsParamorcaoperac"};
    TClientDataSet cdsTotalImpFat{"cdsTotalImpFat"};
    TClientDataSet cdsImpRecu{"cdsImpRecu"};
    TClientDataSet cdsMesesRecu{"cdsMesesRecu"};
    TClientDataSet cdsAtualizaSimulacao{"cdsAtualizaSimulacao"};
    TClientDataSet cdsValTotal{"cdsValTotal"};
    TClientDataSet cdsValidaFat{"cdsValidaFat"};
    TClientDataSet cdsFilial{"cdsFilial"};
    TDataSource dtsFilial{"dtsFilial", &cdsFilial};
    TClientDataSet cdsTpDespLanEnt{"cdsTpDespLanEnt"};
    // Filled by the line dialogs.
    TClientDataSet cdsItensFat{"cdsItensFat"};
    TClientDataSet cdsServOrc{"cdsServOrc"};
    TClientDataSet cdsInseriItens{"cdsInseriItens"};
    TClientDataSet cdsSimulaCons{"cdsSimulaCons"};
    TClientDataSet cdsSimulaConsMes{"cdsSimulaConsMes"};
    TClientDataSet cdsItensMo{"cdsItensMo"};
    TClientDataSet cdsItensDiversas{"cdsItensDiversas"};
    TClientDataSet cdsentrada{"cdsentrada"};
    // Read and changed by the percentage reductions.
    TClientDataSet cdsInsereCons{"cdsInsereCons"};
    TClientDataSet cdsTpMaoObra{"cdsTpMaoObra"};
    TClientDataSet cdsInseriMo{"cdsInseriMo"};
    TClientDataSet cdsDespesas{"cdsDespesas"};
    TClientDataSet cdsMes{"cdsMes"};
    TClientDataSet cdsAux{"cdsAux"};
    TMessages msgPadrao;

    // --- State ---
    std::string stCdFilial, stCdFilial2, stMes = "T";
    int wDia = 1, wMes = 1, wAno = 0;
    double vrsimulacao = 0, vrFat = 0, vrImp = 0, vrCons = 0;
    bool boCreate = false, boStateChange = false, boTestaCreate = false, boConfirmaSimul = false,
         boSimulou = false;
    bool boSimulaFat = false, boSimulaCons = false, boSimulaImp = false, boSimulaMo = false,
         boSimulaTxAdm = false, boSimulaDd = false, boSimulaDe = false, boSimulaRecup = false,
         boSimulaSL = false, boSimulaInves = false, boSimulaDeprec = false;
    bool boSimulaFatManual = false, boSimulaConsManual = false;
    bool boSimulaPercImp = false, boSimulaPercCons = false, boSimulaPercMo = false,
         boSimulaPercTxAdm = false, boSimulaPercDd = false, boSimulaPercDe = false,
         boSimulaPercSL = false, boSimulaPercInves = false, boSimulaPercDeprec = false;
    bool boAtualizaGeralFat = false, boAtualizaGeralMo = false, boAtualizaGeralDd = false,
         boAtualizaGeralDe = false, boAtualizaGeralCons = false, boAtualizaGeralImp = false,
         boAtualizaGeralRecup = false, boAtualizaGeralDeprec = false, boAtualizaGeralInves = false,
         boAtualizaGeralTxAdm = false, boAtualizaGeralSL = false;
    bool boImpAtualizado = false, boTaxaAtualizada = false, boImpRecuAtualizado = false,
         boImpLucroAtualizado = false, boDeprecAtualizado = false, boInvestAtualizado = false;

    // --- Life ---
    void FormCreate(TObject* Sender) override;
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    void sbtCancelClick(TObject* Sender) override;

    // --- Loading (SimulaResultLoading.cpp) ---
    void organizaItensSimul();
    // "CDFILIAL IN ('0001','0002')" of a branch list; also refreshes net billing.
    std::string filtroFil(const std::string& lista);
    void getSimulGeral();
    void preencheValoresF();
    void validaFilial(bool boTestaVazio);
    void btnFilialBeforePesq(TObject* Sender);
    void btnFilialAfterPesq(TObject* Sender);
    void btnFilialListaClick(TObject* Sender);
    void chkFilialListaClick(TObject* Sender);
    void chkPeriodoClick(TObject* Sender);
    void edtCdFilialExit(TObject* Sender);
    void panCabecalhoEnter(TObject* Sender);
    void panCabecalhoExit(TObject* Sender);
    void speAno1Exit(TObject* Sender);
    void panCorpoEnter(TObject* Sender);
    void sbtAtualizarClick(TObject* Sender);

    // --- Computation (SimulaResultComputation.cpp) ---
    void calculaResultado();
    void atualizaValores();
    void controlaBotoes();
    void VALORTOTAL();
    void validaBotoes();
    void nbeOrcFKeyPress(TObject* Sender, TKeyChar& Key);
    void nbeOrcCKeyPress(TObject* Sender, TKeyChar& Key);
    void nbeOrcImpKeyPress(TObject* Sender, TKeyChar& Key);
    void nbeOrcFEnter(TObject* Sender);
    void nbeOrcImpEnter(TObject* Sender);
    void nbeOrcCEnter(TObject* Sender);
    void nbeOrcFExit(TObject* Sender);
    void nbeOrcImpExit(TObject* Sender);
    void nbeOrcCExit(TObject* Sender);
    // Leaving any other line recomputes.
    void nbeLinhaExit(TObject* Sender);

    // --- Percentage reductions (SimulaResultReducao.cpp) ---
    void btnReduImpClick(TObject* Sender);
    void btnReduImpSobreLClick(TObject* Sender);
    void btnReduInvestimentosClick(TObject* Sender);
    void btnReduDeprecClick(TObject* Sender);
    void btnReduTaxaAdmClick(TObject* Sender);
    void btnReduConsumoClick(TObject* Sender);
    void btnReduMaoObraClick(TObject* Sender);
    void btnReduDespDivClick(TObject* Sender);
    void btnReduDespEntrClick(TObject* Sender);

    // --- Line dialogs: each opens its dialog and takes back what it returns (each defined in
    // its dialog's file under simulation/items) ---
    void btnFatBrutClick(TObject* Sender);
    void btnConsumoClick(TObject* Sender);
    void btnMaoObraClick(TObject* Sender);
    void btnDespDivClick(TObject* Sender);
    void btnDespEntrClick(TObject* Sender);
    // The general lines' buttons (I, R, S, N, P, T): the general item dialog for the line.
    void btnSimulGeralClick(TObject* Sender);

    // --- Saving and discarding (SimulaResultGravacao.cpp) ---
    void sbtConfirmaClick(TObject* Sender) override;

    // The main screen's year text and version number, as the server methods take them (the
    // version is 0 when its box holds no number).
    std::string AnoTexto() const;
    int Versao() const;

    // The period value of the current row of a dataset: its twelve months for "T", else the
    // month of stMes (nothing when that month is empty).
    double valorPeriodo(const TClientDataSet& ds, const std::string& prefixo = "VRORCAMENTO") const;

protected:
    void Resized() override;

private:
    void CriaComponentes();
    void CriaCabecalho();
    void CriaLinhas();
    // Zeroes the lines fed by a dialog's dataset, creating the dataset when it is not open.
    void LimpaSimulacao(TClientDataSet& ds, std::initializer_list<TNumberEdit*> linhas);
    // Branch controls as the list box says.
    void AjustaControlesFilial();
    // The first month of the loaded version (1 when unknown).
    int MesInicialVersao() const;
    // The code of the first listed branch, or the single code.
    std::string FilialDaSelecao() const;
    // The branch is one of stCdFilial.
    bool Pertence(const std::string& codigo) const;
    // Filters a dataset on the branches of stCdFilial (none: unfiltered).
    void AplicaFiltro(TClientDataSet& ds);
    // wDia, wMes, wAno from the month box.
    void DecodificaMes();
    void MostraMes(int mes, int ano);
    // The branch or branches checked on the main screen's page.
    void PreselecionaFiliais();
    // Whether entries are budgeted by operation type (else by expense type), as the main
    // screen knows it or the server says.
    bool EntradasPorOperacao();
    // Which lines may be typed, from the listed branches' billing and consumption rows.
    void AjustaEdicao();
    // cdsFilial with every branch the operator may simulate.
    void CarregaFiliais();
    // Month and year of a "mm/yyyy" text; false when it is not one.
    static bool LeMes(const std::string& texto, int& mes, int& ano);
    // Connects the reduction buttons to their handlers.
    void LigaReducoes();
    // The reduction of the general items of one type letter, shown in `linha`.
    void ReduzItensGerais(char tipo, TNumberEdit* linha, bool& reduzida);
    // Whether month m (1..12) belongs to the simulated period.
    bool NoPeriodo(int mes) const;

    // The billing of the listed branches may still change (no row effected).
    bool m_reducaoAberta = false;
    // The codes of stCdFilial as last split by Pertence.
    mutable std::string m_selecaoLida;
    mutable std::unordered_set<std::string> m_selecao;
};

// The result simulation while it is open.
extern TfrmSimulaResult* frmSimulaResult;
// The branch of the main screen's current row when the simulation was opened.
extern std::string stFilialCheck;

// Shows the result simulation modally; the main screen reloads afterwards.
void criaSimulaResult();
