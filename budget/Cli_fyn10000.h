#pragma once

#include "budget/CalcOrcaOperData.h"
#include "services/data/Variant.h"
#include "services/lib/TMessages.h"
#include "services/net/TNetConnection.h"
#include "services/ui/TfrmPadraoGrid.h"

#include <array>
#include <functional>
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
    // Labour budget generation (CalcOrcaOperLabour.cpp): reloads when the dialog generated.
    void sbtOrcMaoObraClick(TObject* Sender);
    // The result simulation (CalcOrcaOperSimulation.cpp): reloads when it closes.
    void sbtSimulaResClick(TObject* Sender);
    // Moves the billing or consumption grid's selection off its check column.
    void TiraSelecaoDoCheck();
    void sbtAlterarClick(TObject* Sender) override;
    void sbtProcurarClick(TObject* Sender) override;

    // --- Enabling passes (CalcOrcaOperEnabling.cpp) ---
    void dtsPadraoStateChange(TObject* Sender) override;
    void dtsItensOrcamentoStateChange(TObject* Sender);
    // The rule of the "Efetivar" button, for every handler that refreshes it: nothing being
    // edited, rows on the active page, a phase that allows effecting, the latest version.
    void HabilitaEfetivar();
    // The rules of the calculation buttons (month-base calculations, base-month copy, taxes,
    // depreciation import, and the page's labour, products and fee buttons).
    void AjustaBotoesCalculo();

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

    // --- Pages (CalcOrcaOperPages.cpp; moving through rows and grids: CalcOrcaOperScroll.cpp) ---
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
    void HabilitaPaginas(bool enabled, TTabSheet* except = nullptr);
    void AjustaEdicaoGrades();

    // Enabling helpers (CalcOrcaOperEnabling.cpp).
    bool Browse(const TDataSource& source) const;
    static bool Aberto(const TClientDataSet& row);
    bool Fase() const;
    static bool Acesso(const TClientDataSet& row);
    bool EmEdicao(const TDataSource& source) const;
    bool EmEdicaoOuInsercao(const TDataSource& source) const;
    void BotoesPorPagina(bool procurar);
    // The simulation button after a row moved: the row's pending ("P") or released ("R") state
    // decides, and no later pass of the same move overrides it.
    void HabilitaSimulacaoPelaLinha(const TClientDataSet& row);
    // The buttons that act on the active page's rows: labour, products by expense, fee.
    void BotoesDaPagina();
    void EspelhaMenus();
    bool PaginaFatOuCons() const;
    // The edit rule of the active page's row: nothing being edited, a row neither effected nor
    // approved (item state and status), a phase and branch access that allow calculating, the
    // latest version.
    bool AlteracaoPermitida() const;
    // The data source and dataset of the active page's rows.
    const TDataSource& FonteDaPagina() const;
    const TClientDataSet& LinhaDaPagina() const;
    // No row of any page is being edited or inserted.
    bool NadaEmEdicao() const;
    // The edit button and menu item by AlteracaoPermitida.
    void HabilitaAlterar();
    // Menus, filter panel, pages and grids locked while any row is edited.
    void TravaEdicao();
    // Filters the item rows anew, keeping the cursor on its row.
    void RefiltraItens(const std::string& filter);

    // Pages helpers (CalcOrcaOperPages.cpp).
    std::string FiltroPagina(char letter, const std::string& filial) const;
    std::string IndicePagina(char letter) const;
    std::string MesInicialVersao();
    TDBGrid* GradeItensPagina() const;
    // Writes each branch's summary of the page's items: "E" when any is effected, else "A"
    // when any is approved, else "P". The branch lists grey their rows by it.
    void ResumoPagina(char letter);
    // Reads the entry-expense mode; a failed answer is shown and the previous mode stays.
    void LeModoEntradas();

    TClientDataSet::Event m_itensOrcFatConsAfterScroll;
    TClientDataSet::Event m_orcamentoFilialAfterScroll;
    TClientDataSet::Event m_itensOrcamentoAfterScroll;
    char m_letraPagina = 'F';
    // A budget was loaded by leaving the panel and the panel was not entered since.
    bool m_orcamentoCarregado = false;

    // Value entry, check columns, saving and cancelling
public:
    // --- Value entry (CalcOrcaOperEntry.cpp) ---
    // Attaches the handlers of value entry, check columns and saving to their components.
    void LigaEventosEntrada();
    // Number typed by the operator: empty is 0, dots are thousands separators, comma decimal.
    double resultValor(const std::string& texto) const;
    // Stores the month value being typed in the active page's grid into its field.
    void vrGrids(const std::string& mes);
    // The set-text of every month field of the two edited datasets (calls vrGrids).
    void VRORCAMENTOSetText(TField& Sender, const std::string& Text);
    // The base month typed as month/year becomes the first day of that month.
    void cdsItensOrcFatConsDTMESBASEITEMSetText(TField& Sender, const std::string& Text);
    // An emptied month cell of the grid stores 0.
    void vd_VrGrids(TDBGrid* grid);
    // Puts the dataset in edit and takes over the month value typed in the grid.
    void atualizaVrItens(TDBGrid* grid, TClientDataSet& dataSet);
    // True (after the "Item_Inf" message) when a required month of the current row is null.
    bool TestaValores(TClientDataSet& dataSet);
    // SOMAT of the item row := sum of its twelve months.
    void total();
    // A base month in a later year than the budget is refused ("Mes_Maior_Ano").
    void vd_MesBase(double data);
    void cdsItensOrcFatConsBeforePost(TClientDataSet& DataSet);
    void cdsItensOrcFatConsBeforeEdit(TClientDataSet& DataSet);
    void cdsItensOrcFatConsAfterPost(TClientDataSet& DataSet);
    void cdsItensOrcFatConsBeforeScroll(TClientDataSet& DataSet);
    void cdsItensOrcamentoBeforeEdit(TClientDataSet& DataSet);
    void cdsItensOrcamentoBeforePost(TClientDataSet& DataSet);
    void cdsItensOrcamentoAfterPost(TClientDataSet& DataSet);
    void cdsItensOrcamentoBeforeScroll(TClientDataSet& DataSet);
    // Rows are never inserted nor deleted on this screen (silent abort).
    void RecusaInclusaoExclusao(TClientDataSet& DataSet);
    void dbgItOrcFaturKeyPress(TObject* Sender, TKeyChar& Key);
    void dbgItConsumoKeyPress(TObject* Sender, TKeyChar& Key);
    // The key filter shared by the nine item grids.
    void dbgItensKeyPress(TObject* Sender, TKeyChar& Key);
    void dbgItOrcFaturKeyDown(TObject* Sender, TKeyCode& Key, TShiftState Shift);
    void dbgItConsumoKeyDown(TObject* Sender, TKeyCode& Key, TShiftState Shift);
    // The space bar of the five branch lists toggles the branch's check.
    void dbgFiliaisKeyDown(TObject* Sender, TKeyCode& Key, TShiftState Shift);
    // Delete swallowed in the item grids while the edit button is disabled.
    void dbgItensKeyDown(TObject* Sender, TKeyCode& Key, TShiftState Shift);
    void dbgDeprecKeyDown(TObject* Sender, TKeyCode& Key, TShiftState Shift);
    void dbgMatrizKeyDown(TObject* Sender, TKeyCode& Key, TShiftState Shift);
    void dbgItOrcFaturColEnter(TObject* Sender);
    void dbgItConsumoColEnter(TObject* Sender);
    void dbgItOrcFaturColExit(TObject* Sender);
    void dbgItConsumoColExit(TObject* Sender);
    // Column exit of the item grids other than depreciation.
    void dbgItensColExit(TObject* Sender);
    void dbgDiversasColExit(TObject* Sender);
    void dbgDeprecEnter(TObject* Sender);
    void dbgDeprecColEnter(TObject* Sender);
    void dbgDeprecColExit(TObject* Sender);

    // --- Check columns (CalcOrcaOperChecks.cpp) ---
    // Whether any row of the dataset has the active page's check field "S".
    bool TestCheck(TClientDataSet& dataSet);
    void dbgItOrcFaturDrawColumnCell(TObject* Sender, const class TGridDrawCell& Cell,
                                     struct TCellStyle& Style);
    void dbgMaoObraDrawColumnCell(TObject* Sender, const class TGridDrawCell& Cell,
                                  struct TCellStyle& Style);
    void dbgDeprecDrawColumnCell(TObject* Sender, const class TGridDrawCell& Cell,
                                 struct TCellStyle& Style);
    // Toggles the active page's check of the row (billing, consumption, branch lists).
    void dbgItOrcFaturDblClick(TObject* Sender);
    void dbgFilialDiversasDblClick(TObject* Sender);
    void dbgDeprecDblClick(TObject* Sender);
    void dbgItOrcFaturCellClick(class TColumn* Column);
    void dbgItConsumoCellClick(class TColumn* Column);
    // Selects or clears the check of every open row (question first).
    void dbgItOrcFaturTitleClick(class TColumn* Column);
    void dbgDeprecTitleClick(class TColumn* Column);

    // --- Saving and cancelling (CalcOrcaOperSave.cpp) ---
    void sbtConfirmarClick(TObject* Sender) override;
    void sbtCancelarClick(TObject* Sender) override;
    // Hidden date box that checks a base month before saving.
    class TDateEditPlus* ValidDate = nullptr;
    // Runs a step that changes the budget on the server (a save, a calculation, a
    // generation). When the step fails in any way (a check, a refusal, a conflict, the server
    // unreachable, an unreadable answer) the screen goes back to where it was before it: the
    // pending changes kept, the rows that were in edit in edit again on the same row, the
    // edit flags, focus and enabling as they were, the progress window closed. The failure
    // then goes on to end the handler. What follows a successful step belongs after the call.
    void GravaNoServidor(const std::function<void()>& gravacao);
    // With changes pending, asks Cancel's question; Yes throws them away and leaves edit
    // mode. False when the operator keeps them.
    bool DescartaSePendente();

private:
    // Entry helpers (CalcOrcaOperEntry.cpp).
    TDBGrid* GradeValoresPagina() const;
    TClientDataSet& DataSetValoresPagina() const;
    static bool CampoMes(const std::string& fieldName);
    static std::string CampoSelecionado(const TDBGrid* grid);
    void TeclaFatCons(TDBGrid* grid, TKeyChar& Key);
    void ColunaEditavelFatCons(TDBGrid* grid);
    void ColExitFatCons(TDBGrid* grid);
    void RecusaSemPermissao(const TClientDataSet& row, bool cancelaFatCons);
    void ReeditaAposMover(TClientDataSet& dataSet);
    // Checks helpers (CalcOrcaOperChecks.cpp).
    void LigaEventosChecks();
    void AlternaCheck(TDBGrid* grid);
    void MarcaTodos(TDBGrid* grid);
    void DesenhaCelula(const TGridDrawCell& cell, TCellStyle& style, const std::string& estado);
    // Save helpers (CalcOrcaOperSave.cpp).
    void AssumeValorDigitado();
    void EnviaFatCons();
    void ConcluiFatCons();
    void EnviaItens();
    TClientDataSet& PostaSemReeditar(TClientDataSet& dataSet);
    void EnviaDelta(TClientDataSet& dataSet, const char* tipo);
    void SelecionaForaDoCheck();
    void DescartaEdicao();
    bool AlteracoesPendentes() const;

    TClientDataSet::Event m_fatConsBeforePost, m_fatConsAfterPost;
    TClientDataSet::Event m_itensBeforePost, m_itensAfterPost, m_itensBeforeEdit;
    bool m_reeditaFatCons = false;
    // end of value entry, check columns, saving and cancelling

    // Value replication (CalcOrcaOperReplication.cpp)
public:
    // The month flags the replication dialog writes, January to December.
    static const std::array<bool TfrmCalcOrcaOper::*, 12> kBoMeses;
    // Opens the replication dialog for the rows checked on the active page and, when it was
    // confirmed, rewrites their values.
    void sbtRepliValClick(TObject* Sender);
    // Rewrites the values of the page (a tab sheet's name) as the dialog's choices say.
    void replicaValores(const std::string& pagina);
    // Rewrites the chosen months of the dataset's rows that the choices select.
    void setValores(TClientDataSet& dataSet, char letra);
    // The new value of a month: the old one unless the month was chosen, else the operation
    // of stOperac applied, rounded to 2 decimals.
    static double ResultValue(bool todosMeses, bool esteMes, double antigo, double valor);
    // A month (1-12) the operator's phase closes: its values cannot be changed.
    bool MesFechado(int month) const;
    // A row with these flags may take replicated values: neither effected nor approved, with
    // calculation access.
    static bool LinhaReplicavel(const std::string& item, const std::string& status,
                                const std::string& acesso);

private:
    // Codes of the branches checked on the active page ("_0001_0002_"), or "T" for none.
    std::string FiliaisMarcadas() const;
    static bool LinhaReplicavel(const TClientDataSet& row);
    // The row's item is one of stReplicItens (or every item is).
    bool ItemReplicado(const TClientDataSet& row) const;
    void ReplicaLinha(TClientDataSet& dataSet);

    // Base-month copy, month-base calculation and effecting
public:
    // --- Base month and calculation (CalcOrcaOperMonthBase.cpp) ---
    // Attaches the copy, calculation and effecting handlers to their buttons and menu item.
    void LigaEventosCalculo();
    // Copies the current row's base month to the other selected open rows (both copy buttons).
    void btnMesBaseFatClick(TObject* Sender);
    // Orders the server's calculation of the selected billing or consumption rows.
    void sbtCalcEfetClick(TObject* Sender);
    void sbtCalcCardClick(TObject* Sender);
    // The copy buttons follow the current billing/consumption row.
    void HabilitaMesBase();
    // IDCALCOMESTORC of the operator's branch (stFiliSelec) on the billing/consumption page,
    // else of the current row: the captions name the mode of the branch the operator is on.
    std::string ModoCalculo() const;

    // --- Effecting (CalcOrcaOperEffect.cpp) ---
    void sbtEfetivarClick(TObject* Sender);
    // Checks every item of the branches selected on the billing page, then has the server
    // effect them and reads the budget again.
    void Efetivar(TClientDataSet& dataSet, const std::string& tipo);

private:
    // The billing/consumption rows as they were before a copy or calculation started.
    struct FatConsAntes {
        DataPacket dados;
        std::string filial;
        bool editando = false;
    };
    // Takes over the row being edited and remembers the rows, the branch and the edit state.
    FatConsAntes GuardaFatCons();
    // A copy or calculation that did not complete: its marks are undone, the operator's own
    // pending changes stay pending and the row is edited again as before the click.
    void RestauraFatCons(const FatConsAntes& antes);
    // Runs a copy or calculation on the billing/consumption rows; unless it returns true (sent
    // and accepted by the server), whichever way it ends, the rows go back as they were.
    bool ExecutaOuRestaura(const std::function<bool()>& operacao);
    // May a copy or calculation change this row? The server refuses effected, approved and
    // no-access rows, so they are never targets.
    bool LinhaAlteravel() const;
    void CalculaMesBase(char tipo);
    void InformaOk(const std::string& texto);
    // The value test of every item of one branch and type letter (the fee rows: cdsTxAdm).
    void TestaItensFilial(const std::string& filial, char tipo);

    // Taxes, administrative fee and depreciation (CalcOrcaOperFee.cpp, CalcOrcaOperTaxes.cpp)
public:
    // The server's answer to a tax calculation ("OK" or "Erro", with its reason).
    TClientDataSet cdsRetorno{"cdsRetorno"};
    // Attaches the fee page's handlers and the calculation buttons.
    void LigaEventosTxAdm();
    // Taxes of the branches checked on the tax page (kind "F") or the recoverable tax page
    // (kind "C"), then the budget read again.
    void btnCalcImpoClick(TObject* Sender);
    // The administrative fee of the checked fee rows over the last confirmed period.
    void sbtTxAdmClick(TObject* Sender);
    // Depreciation of the checked depreciation rows over a period asked for.
    void btnCalcDeprecClick(TObject* Sender);
    // Opens the products of the current expense item ("FYN10395"), then reads the budget
    // again: confirmed products change the item's months.
    void sbtProdDespClick(TObject* Sender);
    // SOMAT of the fee row := sum of its twelve months.
    void totalTxAdm();
    // Enabling pass of the fee rows: while one is edited only the fee page can be reached.
    void dtsTxAdmStateChange(TObject* Sender);
    void cdsTxAdmBeforeInsert(TClientDataSet& DataSet);
    void cdsTxAdmBeforeEdit(TClientDataSet& DataSet);
    void cdsTxAdmBeforePost(TClientDataSet& DataSet);
    void cdsTxAdmBeforeScroll(TClientDataSet& DataSet);
    void cdsTxAdmAfterScroll(TClientDataSet& DataSet);
    // The fee grid takes typing only in the month columns of the latest version.
    void dbgTxAdmColEnter(TObject* Sender);
    void dbgTxAdmColExit(TObject* Sender);
    void dbgTxAdmKeyPress(TObject* Sender, TKeyChar& Key);
    void dbgTxAdmKeyDown(TObject* Sender, TKeyCode& Key, TShiftState Shift);
    void dbgTxAdmDblClick(TObject* Sender);
    void dbgTxAdmDrawColumnCell(TObject* Sender, const class TGridDrawCell& Cell,
                                struct TCellStyle& Style);
    // Selects or clears the check of every open fee row (question first).
    void dbgTxAdmTitleClick(class TColumn* Column);

private:
    // Month values typed on the fee page and not yet confirmed (check marks do not count).
    bool ValoresTxAdmPendentes() const;
    // Fee rows whose check is "S".
    int TxAdmSelecionadas() const;
    // The row is effected or approved, or its branch closed to the operator: its mark stays.
    static bool TxAdmBloqueada(const TClientDataSet& row);
    // Shows an information with an OK button.
    void Informa(const std::string& texto);
};

// Creates the main screen the first time, then shows it (the module's entry calls it).
void CriaCalcOrcaOper();
