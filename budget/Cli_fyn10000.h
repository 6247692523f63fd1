#pragma once

#include "budget/CalcOrcaOperData.h"
#include "services/data/Variant.h"
#include "services/lib/TMessages.h"
#include "services/net/TNetConnection.h"
#include "services/ui/TfrmPadraoGrid.h"

#include <string>

class TBtnPesquisa;
class TButtonFlat;
class TDBGrid;
class TDBNavigator;
class TDBText;
class TEdit;
class TImage;
class TLabel;
class TMenuItem;
class TPageControl;
class TPanel;
class TSpeedButton;
class TSpinEdit;
class TTabSheet;

// The operational budget main screen: chooses year, version and branches, loads the budget
// from the application server and shows its twelve budget lines, one tab page each.
class TfrmCalcOrcaOper : public TfrmPadraoGrid, public CalcOrcaOperData {
public:
    explicit TfrmCalcOrcaOper(TComponent* owner);
    ~TfrmCalcOrcaOper() override;

    // --- Toolbar and menus added to the base screen's ---
    TSpeedButton* sbtEfetivar = nullptr;
    TSpeedButton* sbtRepliVal = nullptr;
    TSpeedButton* sbtSimulaRes = nullptr;
    TSpeedButton* sbtOrcMaoObra = nullptr;
    TSpeedButton* sbtTxAdm = nullptr;
    TSpeedButton* sbtProdDesp = nullptr;
    TSpeedButton* sbtFiltro = nullptr;
    TMenuItem* mnuRepliVal = nullptr;
    TMenuItem* mnuSimulaRes = nullptr;
    TMenuItem* mnuOrcMaoObra = nullptr;
    TMenuItem* mnuFiltroOrc = nullptr;
    TMenuItem* mnuEfetTodo = nullptr;
    TMenuItem* mnuConfigImpressora = nullptr;
    TLabel* lblCodTela = nullptr;
    TDBNavigator* dbnPadrao = nullptr;
    TDBText* dbtCodigo = nullptr;
    TDBText* dbtNome = nullptr;

    // --- Filter panel ---
    TPanel* panFiltro = nullptr;
    TSpinEdit* speAno = nullptr;
    TEdit* edtCodOperador = nullptr;
    TEdit* edtNmOperador = nullptr;
    TEdit* edtVersao = nullptr;
    TBtnPesquisa* BtnPesqVer = nullptr;

    // --- Pages, in the order of the budget lines ---
    TPageControl* pgcOrcamento = nullptr;
    TTabSheet* tshFaturBruto = nullptr;
    TTabSheet* tshImposto = nullptr;
    TTabSheet* tshConsumo = nullptr;
    TTabSheet* tshMaoObra = nullptr;
    TTabSheet* tshTxAdm = nullptr;
    TTabSheet* tshMatriz = nullptr;
    TTabSheet* tshDiversas = nullptr;
    TTabSheet* tshEntradas = nullptr;
    TTabSheet* tshImpRecup = nullptr;
    TTabSheet* tshImpSobLuc = nullptr;
    TTabSheet* tshInvest = nullptr;
    TTabSheet* tshDeprec = nullptr;

    TDBGrid* dbgItOrcFatur = nullptr;
    TDBGrid* dbgDiaUtilFilFat = nullptr;
    TDBGrid* dbgItConsumo = nullptr;
    TDBGrid* dbgDiaUtilFilCons = nullptr;
    TDBGrid* dbgImposto = nullptr;
    TDBGrid* dbgFilImpo = nullptr;
    TDBGrid* dbgMaoObra = nullptr;
    TDBGrid* dbgFilialMaoObra = nullptr;
    TDBGrid* dbgTxAdm = nullptr;
    TDBGrid* dbgMatriz = nullptr;
    TDBGrid* dbgDiversas = nullptr;
    TDBGrid* dbgFilialDiversas = nullptr;
    TDBGrid* dbgEntradas = nullptr;
    TDBGrid* dbgFilialEntradas = nullptr;
    TDBGrid* dbgImpRecup = nullptr;
    TDBGrid* dbgFilImpRec = nullptr;
    TDBGrid* dbgImpSobLuc = nullptr;
    TDBGrid* dbgInvest = nullptr;
    TDBGrid* dbgDeprec = nullptr;

    TButtonFlat* btnMesBaseFat = nullptr;
    TButtonFlat* btnMesBaseCons = nullptr;
    TSpeedButton* sbtCalcEfet = nullptr;
    TSpeedButton* sbtCalcCard = nullptr;
    TButtonFlat* btnCalcImpo = nullptr;
    TButtonFlat* btnCalcImpCons = nullptr;
    TButtonFlat* btnCalcDeprec = nullptr;
    TImage* imgCheck = nullptr;
    TImage* imgGray = nullptr;
    TImage* imgUncheck = nullptr;

    // --- Server connections ---
    TNetConnection netCalcOrcaOper;
    TNetConnection netGestaoOperac;

    // --- Screen state ---
    Variant oleOrcamentoFiltro;
    std::string stListaFil, stPesqFilial, stListaAgrupFil, stListaReg, stListaSeg;
    std::string stReplicFil, stReplicItens, stCDDESPPREV, stIDITEMORCAMENTO;
    bool boTdMes = false;
    bool boJan = false, boFev = false, boMar = false, boAbr = false, boMai = false, boJun = false,
         boJul = false, boAgo = false, boSet = false, boOut = false, boNov = false, boDez = false;
    bool boReplicacao = false;
    bool boSimulacao = false;
    bool boConfirmou = false;
    bool boTitle = false;
    bool boFatCalc = false;
    bool boCardCalc = false;
    double v_vrItem = 0;
    int recNo = 0;

    // --- Life (CalcOrcaOperLifecycle.cpp) ---
    void FormCreate(TObject* Sender) override;
    void FormShow(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    void FormKeyDown(TObject* Sender, TKeyCode& Key, TShiftState Shift) override;
    void FormKeyPress(TObject* Sender, TKeyChar& Key) override;
    void netCalcOrcaOperBeforeConnect(TNetConnection& connection);
    void netGestaoOperacBeforeConnect(TNetConnection& connection);
    void sbtFiltroClick(TObject* Sender);
    void sbtAlterarClick(TObject* Sender) override;
    void sbtProcurarClick(TObject* Sender) override;

    // --- Enabling passes (CalcOrcaOperEnabling.cpp) ---
    void dtsPadraoStateChange(TObject* Sender) override;
    void dtsItensOrcamentoStateChange(TObject* Sender);

    // --- Budget selection and loading (CalcOrcaOperLoading.cpp) ---
    void speAnoKeyPress(TObject* Sender, TKeyChar& Key);
    void speAnoExit(TObject* Sender);
    void edtVersaoKeyPress(TObject* Sender, TKeyChar& Key);
    void edtVersaoExit(TObject* Sender);
    void GetMaiorVersao(const std::string& ano);
    void GetVersao(const std::string& ano, const std::string& tipo, double versao);
    void BtnPesqVerBeforePesq(TObject* Sender);
    void BtnPesqVerAfterPesq(TObject* Sender);
    void VdVersao();
    void panFiltroEnter(TObject* Sender);
    void panFiltroExit(TObject* Sender);
    void sbtVerificarClick(TObject* Sender) override;

    // --- Pages (CalcOrcaOperPages.cpp) ---
    void pgcOrcamentoChanging(TObject* Sender, bool& AllowChange);
    void pgcOrcamentoChange(TObject* Sender);
    void dbgDiaUtilFilFatEnter(TObject* Sender);
    void dbgDiaUtilFilConsEnter(TObject* Sender);
    void dbgDiaUtilFilFatExit(TObject* Sender);
    void dbgDiaUtilFilConsExit(TObject* Sender);
    void dbgItOrcFaturEnter(TObject* Sender);
    void OrganizaCamposGrid(int primeiraColuna, TDBGrid* grid);
    std::string NomeCampo() const;
    void cdsItensOrcFatConsAfterScroll(TClientDataSet& DataSet);
    void cdsOrcamentoFilialAfterScroll(TClientDataSet& DataSet);
    void cdsItensOrcamentoAfterScroll(TClientDataSet& DataSet);
    void tshFaturBrutoEnter(TObject* Sender);
    void tshConsumoEnter(TObject* Sender);

    // The grid takes typing only with the editing option.
    static void SetGridEditing(TDBGrid* grid, bool editing);
    // The message catalog msgPadrao of this screen.
    const TMessages& Msg() const { return msgPadrao; }
    // The letter of the budget line on the active page ('F', 'I', ...).
    char LetraPagina() const;
    // The page of a budget line letter.
    TTabSheet* PaginaDaLetra(char letter) const;

private:
    // Layout (CalcOrcaOperLayout.cpp).
    void CriaComponentes();
    void CriaBarraFerramentas();
    void CriaPainelFiltro();
    void CriaPaginas();
    void LigaEventos();

    // Loading helpers (CalcOrcaOperLoading.cpp).
    bool AnoVazio() const;
    std::string TextoAno() const;
    int NumeroVersao() const;
    RemoteResult ChamaGetDadosOrcamento();
    void CarregaPacotes(bool criaOuEsvazia);
    void ArrumaColunasMeses();
    void ResumoFiliais();
    void HabilitaPaginas(bool enabled, TTabSheet* except = nullptr);
    void AjustaEdicaoGrades();
    void AjustaEfetivar();
    void AjustaBotoesCalculo();

    // Enabling helpers (CalcOrcaOperEnabling.cpp).
    bool Browse(const TDataSource& source) const;
    static bool Aberto(const TClientDataSet& row);
    bool Fase() const;
    static bool Acesso(const TClientDataSet& row);
    bool EmEdicao(const TDataSource& source) const;
    bool EmEdicaoOuInsercao(const TDataSource& source) const;
    void BotoesPorPagina(bool procurar);
    void EspelhaMenus();
    void TravaPaginas();
    bool PaginaFatOuCons() const;
    // The edit rule of the billing row (menu pass): browsing, an open row, the latest version.
    bool AlteracaoPermitida() const;

    // Pages helpers (CalcOrcaOperPages.cpp).
    std::string FiltroPagina(char letter, const std::string& filial) const;
    std::string IndicePagina(char letter) const;
    std::string MesInicialVersao();
    TDBGrid* GradeItensPagina() const;
    void ResumoPagina(char letter);

    TClientDataSet::Event m_itensOrcFatConsAfterScroll;
    TClientDataSet::Event m_orcamentoFilialAfterScroll;
    TClientDataSet::Event m_itensOrcamentoAfterScroll;
    char m_letraPagina = 'F';
};

// Creates the main screen the first time, then shows it (the module's entry calls it).
void CriaCalcOrcaOper();
