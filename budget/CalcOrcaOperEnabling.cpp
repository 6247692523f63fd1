// The two enabling passes: which buttons, menu items, grids and pages the operator may use as
// the datasets change state. A later assignment overrides an earlier one, so the order of the
// steps matters. A control set by several handlers has its rule in one function here, which
// every one of those handlers calls, so no handler can decide it by running last.
#include "budget/CalcOrcaOperEntryRules.h"
#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TBtnPesquisa.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TEdit.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"

namespace {

using EntryRules::FieldText;
using EntryRules::IsEither;

bool vazio(const TClientDataSet& cds) {
    return !cds.Active() || cds.IsEmpty();
}

} // namespace

bool TfrmCalcOrcaOper::Browse(const TDataSource& source) const {
    return source.State() == dsBrowse && source.DataSet() && !source.DataSet()->IsEmpty();
}

bool TfrmCalcOrcaOper::Aberto(const TClientDataSet& row) {
    return !IsEither(FieldText(row, "IDSTATUSORCA"), "E", "A");
}

bool TfrmCalcOrcaOper::Fase() const {
    return FieldText(cdsVerifFaseOper, "IDFASECALCORCA") != "N";
}

bool TfrmCalcOrcaOper::Acesso(const TClientDataSet& row) {
    return FieldText(row, "IDACESSOCALC") == "S";
}

bool TfrmCalcOrcaOper::EmEdicao(const TDataSource& source) const {
    return source.State() == dsEdit;
}

bool TfrmCalcOrcaOper::EmEdicaoOuInsercao(const TDataSource& source) const {
    return source.State() == dsEdit || source.State() == dsInsert;
}

bool TfrmCalcOrcaOper::PaginaFatOuCons() const {
    const TTabSheet* page = pgcOrcamento->ActivePage();
    return page == tshFaturBruto || page == tshConsumo;
}

const TDataSource& TfrmCalcOrcaOper::FonteDaPagina() const {
    if (PaginaFatOuCons()) return dtsPadrao;
    if (pgcOrcamento->ActivePage() == tshTxAdm) return dtsTxAdm;
    return dtsItensOrcamento;
}

const TClientDataSet& TfrmCalcOrcaOper::LinhaDaPagina() const {
    if (PaginaFatOuCons()) return cdsItensOrcFatCons;
    if (pgcOrcamento->ActivePage() == tshTxAdm) return cdsTxAdm;
    return cdsItensOrcamento;
}

bool TfrmCalcOrcaOper::NadaEmEdicao() const {
    return !EmEdicaoOuInsercao(dtsPadrao) && !EmEdicaoOuInsercao(dtsItensOrcamento) &&
           !EmEdicaoOuInsercao(dtsTxAdm);
}

bool TfrmCalcOrcaOper::AlteracaoPermitida() const {
    const TClientDataSet& row = LinhaDaPagina();
    const bool allBrowsing = dtsPadrao.State() == dsBrowse &&
                             dtsItensOrcamento.State() == dsBrowse && dtsTxAdm.State() == dsBrowse;
    return allBrowsing && !vazio(row) && !IsEither(FieldText(row, "IDITEMORCAMENTO"), "E", "A") &&
           Aberto(row) && Fase() && Acesso(row) && boMaiorVersao;
}

void TfrmCalcOrcaOper::HabilitaAlterar() {
    // The working-days grids are read-only: editing is not offered while one has the focus.
    const TWinControl* focused = ActiveControl();
    const bool diasUteis = focused == dbgDiaUtilFilFat || focused == dbgDiaUtilFilCons;
    mnuAlterar->SetEnabled(!diasUteis && AlteracaoPermitida());
    sbtAlterar->SetEnabled(mnuAlterar->Enabled());
}

void TfrmCalcOrcaOper::HabilitaEfetivar() {
    // Effecting works on the branches checked on the billing page, whichever page is shown, and
    // reloads the budget afterwards: it waits for any edit to be confirmed or cancelled, also
    // one resting on a row that cannot be edited.
    sbtEfetivar->SetEnabled(NadaEmEdicao() && !AlteracoesPendentes() && !vazio(LinhaDaPagina()) &&
                            boHabEfet && boMaiorVersao);
}

void TfrmCalcOrcaOper::AjustaBotoesCalculo() {
    const TClientDataSet& fc = cdsItensOrcFatCons;
    if (cdsParDROFilial.Active() && !vazio(fc))
        cdsParDROFilial.Locate("CDFILIAL", {Variant(FieldText(fc, "CDFILIAL"))}, {true, false});
    const bool latest = boMaiorVersao;
    const bool fcEditing = fc.State() == dsEdit || fc.State() == dsInsert;
    // The month-base calculations need an open row of a phase that allows calculating.
    const bool calcula = !vazio(fc) && !fcEditing && Aberto(fc) && boHabEfet && latest;
    sbtCalcCard->SetEnabled(calcula);
    sbtCalcEfet->SetEnabled(calcula && FieldText(cdsParDROFilial, "IDFATUROP") != "FS");
    HabilitaMesBase();
    const bool calcRules = Browse(dtsPadrao) && Aberto(fc) && Acesso(fc) && latest;
    btnCalcImpo->SetEnabled(calcRules);
    btnCalcImpCons->SetEnabled(calcRules);
    btnCalcDeprec->SetEnabled(calcRules);
    // The page's own calculation buttons depend on the page as much as on the rows.
    BotoesDaPagina();
}

// Replication, simulation and search buttons by the rows of the active page.
void TfrmCalcOrcaOper::BotoesPorPagina(bool procurar) {
    const TDataSource& source = FonteDaPagina();
    const TClientDataSet& row = LinhaDaPagina();
    const bool latest = boMaiorVersao;
    sbtSimulaRes->SetEnabled(Browse(source) && latest);
    if (procurar) mnuProcurar->SetEnabled(Browse(source));
    sbtRepliVal->SetEnabled(Browse(source) && Aberto(row) && Fase() && Acesso(row) && latest);
    if (procurar) sbtProcurar->SetEnabled(mnuProcurar->Enabled());
    mnuRepliVal->SetEnabled(sbtRepliVal->Enabled());
    mnuSimulaRes->SetEnabled(sbtSimulaRes->Enabled());
}

void TfrmCalcOrcaOper::HabilitaSimulacaoPelaLinha(const TClientDataSet& row) {
    // A moved row decides alone: only a pending or released line opens the simulation.
    sbtSimulaRes->SetEnabled(IsEither(FieldText(row, "IDITEMORCAMENTO"), "P", "R") &&
                             boMaiorVersao);
    mnuSimulaRes->SetEnabled(sbtSimulaRes->Enabled());
}

void TfrmCalcOrcaOper::BotoesDaPagina() {
    TTabSheet* page = pgcOrcamento->ActivePage();
    const bool itemRules = Browse(dtsPadrao) && dtsItensOrcamento.State() == dsBrowse &&
                           !vazio(cdsItensOrcamento) && Aberto(cdsItensOrcamento) && Fase() &&
                           Acesso(cdsItensOrcamento) && boMaiorVersao;
    sbtOrcMaoObra->SetEnabled(itemRules && page == tshMaoObra);
    sbtProdDesp->SetEnabled(itemRules && page == tshEntradas);
    sbtTxAdm->SetEnabled(Browse(dtsTxAdm) && Aberto(cdsTxAdm) && Fase() && Acesso(cdsTxAdm) &&
                         page == tshTxAdm && boMaiorVersao);
    mnuOrcMaoObra->SetEnabled(sbtOrcMaoObra->Enabled());
}

// Toolbar buttons follow their menu items, and the added menu items their buttons.
void TfrmCalcOrcaOper::EspelhaMenus() {
    sbtCancelar->SetEnabled(mnuCancelar->Enabled());
    sbtConfirmar->SetEnabled(mnuConfirmar->Enabled());
    sbtIncluir->SetEnabled(mnuIncluir->Enabled());
    sbtAlterar->SetEnabled(mnuAlterar->Enabled());
    sbtExcluir->SetEnabled(mnuExcluir->Enabled());
    sbtProcurar->SetEnabled(mnuProcurar->Enabled());
    sbtVerificar->SetEnabled(mnuVerificar->Enabled());
    sbtImprimir->SetEnabled(mnuListagem->Enabled());
    mnuRepliVal->SetEnabled(sbtRepliVal->Enabled());
    mnuSimulaRes->SetEnabled(sbtSimulaRes->Enabled());
    mnuOrcMaoObra->SetEnabled(sbtOrcMaoObra->Enabled());
}

// What an edit in progress locks, whichever dataset's state changed: the filter panel and
// menu, the reload, the other pages and the branch lists, until Confirm or Cancel ends it.
void TfrmCalcOrcaOper::TravaEdicao() {
    const bool itemsEditing = EmEdicaoOuInsercao(dtsItensOrcamento);
    const bool anyEditing = !NadaEmEdicao();
    // An edit session goes on while the cursor rests on a row that cannot be edited: its
    // changes can still be confirmed or cancelled.
    const bool session = anyEditing || boEditItemOrca || boEditTxAdm;
    mnuCancelar->SetEnabled(session);
    mnuConfirmar->SetEnabled(session);
    mnuIncluir->SetEnabled(false);
    mnuExcluir->SetEnabled(false);
    mnuListagem->SetEnabled(false);
    mnuFiltroOrc->SetEnabled(!anyEditing);
    sbtFiltro->SetEnabled(!anyEditing);
    mnuVerificar->SetEnabled(dtsPadrao.State() == dsBrowse && !anyEditing);
    HabilitaAlterar();
    EspelhaMenus();
    speAno->SetEnabled(!anyEditing);
    edtVersao->SetEnabled(!anyEditing);
    BtnPesqVer->SetEnabled(!anyEditing);

    // A billing or consumption row being edited keeps only its own grid, and only while the
    // grid has the focus.
    const TTabSheet* page = pgcOrcamento->ActivePage();
    if (EmEdicao(dtsPadrao)) {
        TWinControl* focused = ActiveControl();
        if (page == tshFaturBruto) {
            dbgItOrcFatur->SetEnabled(focused == dbgItOrcFatur);
        } else if (page == tshConsumo) {
            dbgItConsumo->SetEnabled(focused == dbgItConsumo);
        } else if (page == tshTxAdm) {
            dbgTxAdm->SetEnabled(focused == dbgTxAdm);
            dbgItConsumo->SetEnabled(false);
        }
    } else {
        dbgItOrcFatur->SetEnabled(true);
        dbgItConsumo->SetEnabled(true);
    }
    dbgFilialMaoObra->SetEnabled(!itemsEditing);
    dbgFilialDiversas->SetEnabled(!itemsEditing);
    dbgFilialEntradas->SetEnabled(!itemsEditing);
    if (anyEditing)
        HabilitaPaginas(false, pgcOrcamento->ActivePage());
    else
        HabilitaPaginas(true);
}

void TfrmCalcOrcaOper::dtsPadraoStateChange(TObject* Sender) {
    // The base pass sets the standard items; every one of them is decided again below.
    TfrmPadraoGrid::dtsPadraoStateChange(Sender);
    BotoesPorPagina(true);
    AjustaBotoesCalculo();
    // An edit session follows the cursor: a post or a move puts the row back in edit.
    if (boEditItemOrca && !boCheck && !cdsItensOrcFatCons.IsEmpty() &&
        cdsItensOrcFatCons.State() == dsBrowse)
        cdsItensOrcFatCons.Edit();
    if (boEditTxAdm && !cdsTxAdm.IsEmpty() && cdsTxAdm.State() == dsBrowse) cdsTxAdm.Edit();
    TravaEdicao();
    HabilitaEfetivar();
}

void TfrmCalcOrcaOper::dtsItensOrcamentoStateChange(TObject* Sender) {
    const TTabSheet* page = pgcOrcamento->ActivePage();
    // The all-branch pages show a posted row again in its place. A bulk loop posts row after
    // row and refreshes once when it ends.
    if (!boCheck && !EmEdicaoOuInsercao(dtsItensOrcamento) && !cdsItensOrcamento.IsEmpty() &&
        !boEditItemOrca) {
        const char* filter = nullptr;
        if (page == tshMatriz)
            filter = "[IDTIPOORCAOP] = 'M'";
        else if (page == tshImpSobLuc)
            filter = "[IDTIPOORCAOP] = 'S'";
        else if (page == tshInvest)
            filter = "[IDTIPOORCAOP] = 'N'";
        else if (page == tshDeprec)
            filter = "[IDTIPOORCAOP] = 'P'";
        if (filter) RefiltraItens(filter);
    }
    if (boEditItemOrca && !boCheck && !PaginaFatOuCons() && cdsItensOrcamento.State() == dsBrowse &&
        !cdsItensOrcamento.IsEmpty())
        cdsItensOrcamento.Edit();
    BotoesPorPagina(true);
    AjustaBotoesCalculo();
    TravaEdicao();
    HabilitaEfetivar();
}

void TfrmCalcOrcaOper::RefiltraItens(const std::string& filter) {
    // Switching the filter puts the cursor on the first row: the operator stays on the row.
    const std::string filial = FieldText(cdsItensOrcamento, "CDFILIAL");
    const std::string seq = FieldText(cdsItensOrcamento, "NRSEQITEMORCA");
    HandlerGuard scroll(cdsItensOrcamento.AfterScroll);
    cdsItensOrcamento.SetFiltered(false);
    cdsItensOrcamento.SetFilter(filter);
    cdsItensOrcamento.SetFiltered(true);
    if (!seq.empty())
        cdsItensOrcamento.Locate("CDFILIAL;NRSEQITEMORCA", {Variant(filial), Variant(seq)});
}
