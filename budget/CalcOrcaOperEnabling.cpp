// The two enabling passes: which buttons, menu items, grids and pages the operator may use as
// the datasets change state. A later assignment overrides an earlier one, so the order of the
// steps matters.
#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "services/ui/TBtnPesquisa.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TEdit.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"

namespace {

bool isEither(const std::string& value, const char* a, const char* b) {
    return value == a || value == b;
}

std::string campo(const TClientDataSet& cds, const char* name) {
    const TField* field = cds.FindField(name);
    return field ? field->AsString() : std::string();
}

} // namespace

bool TfrmCalcOrcaOper::Browse(const TDataSource& source) const {
    return source.State() == dsBrowse && source.DataSet() && !source.DataSet()->IsEmpty();
}

bool TfrmCalcOrcaOper::Aberto(const TClientDataSet& row) {
    return !isEither(campo(row, "IDSTATUSORCA"), "E", "A");
}

bool TfrmCalcOrcaOper::Fase() const {
    return campo(cdsVerifFaseOper, "IDFASECALCORCA") != "N";
}

bool TfrmCalcOrcaOper::Acesso(const TClientDataSet& row) {
    return campo(row, "IDACESSOCALC") == "S";
}

bool TfrmCalcOrcaOper::EmEdicao(const TDataSource& source) const {
    return source.State() == dsEdit;
}

bool TfrmCalcOrcaOper::EmEdicaoOuInsercao(const TDataSource& source) const {
    return source.State() == dsEdit || source.State() == dsInsert;
}

bool TfrmCalcOrcaOper::AlteracaoPermitida() const {
    const bool allBrowsing = dtsPadrao.State() == dsBrowse &&
                             dtsItensOrcamento.State() == dsBrowse && dtsTxAdm.State() == dsBrowse;
    return allBrowsing && !cdsItensOrcFatCons.IsEmpty() &&
           !isEither(campo(cdsItensOrcFatCons, "IDITEMORCAMENTO"), "E", "A") &&
           Aberto(cdsItensOrcFatCons) && boMaiorVersao;
}

bool TfrmCalcOrcaOper::PaginaFatOuCons() const {
    const TTabSheet* page = pgcOrcamento->ActivePage();
    return page == tshFaturBruto || page == tshConsumo;
}

// Replication, simulation and search buttons by the rows of the active page.
void TfrmCalcOrcaOper::BotoesPorPagina(bool procurar) {
    const bool latest = boMaiorVersao;
    if (PaginaFatOuCons()) {
        sbtSimulaRes->SetEnabled(Browse(dtsPadrao) && latest);
        if (procurar) mnuProcurar->SetEnabled(Browse(dtsPadrao));
        sbtRepliVal->SetEnabled(Browse(dtsPadrao) && Aberto(cdsItensOrcFatCons) && Fase() &&
                                Acesso(cdsItensOrcFatCons) && latest);
    } else if (pgcOrcamento->ActivePage() == tshTxAdm) {
        if (procurar) mnuProcurar->SetEnabled(Browse(dtsTxAdm));
        sbtRepliVal->SetEnabled(Browse(dtsTxAdm) && Aberto(cdsTxAdm) && Fase() &&
                                Acesso(cdsTxAdm) && latest);
    } else {
        sbtSimulaRes->SetEnabled(Browse(dtsItensOrcamento) && latest);
        if (procurar) mnuProcurar->SetEnabled(Browse(dtsItensOrcamento));
        sbtRepliVal->SetEnabled(Browse(dtsItensOrcamento) && Aberto(cdsItensOrcamento) && Fase() &&
                                Acesso(cdsItensOrcamento) && latest);
    }
    if (procurar) sbtProcurar->SetEnabled(mnuProcurar->Enabled());
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

void TfrmCalcOrcaOper::dtsPadraoStateChange(TObject* Sender) {
    // The base pass sets the standard items; every one of them is decided again below.
    TfrmPadraoGrid::dtsPadraoStateChange(Sender);
    const bool latest = boMaiorVersao;
    const TTabSheet* page = pgcOrcamento->ActivePage();
    const TClientDataSet& fc = cdsItensOrcFatCons;
    const bool fcEditing = fc.State() == dsEdit;

    // 1.
    const std::string itemFc = campo(fc, "IDITEMORCAMENTO");
    sbtSimulaRes->SetEnabled((itemFc == "P" || (itemFc == "R" && fc.State() == dsBrowse)) &&
                             latest);
    // 2.
    if (cdsParDROFilial.Active())
        cdsParDROFilial.Locate("CDFILIAL", {Variant(campo(fc, "CDFILIAL"))}, {true, false});
    // 3.
    HabilitaMesBase();
    // 4.
    BotoesPorPagina(true);
    // 5.
    sbtCalcCard->SetEnabled(!fc.IsEmpty() && !fcEditing && campo(fc, "IDSTATUSORCA") != "E" &&
                            latest);
    sbtCalcEfet->SetEnabled(!fc.IsEmpty() && campo(cdsParDROFilial, "IDFATUROP") != "FS" &&
                            !fcEditing && Aberto(fc) && latest);
    // 6.
    BotoesDaPagina();
    // 7.
    if (boEditItemOrca && !boCheck && !cdsItensOrcFatCons.IsEmpty() &&
        cdsItensOrcFatCons.State() == dsBrowse)
        cdsItensOrcFatCons.Edit();
    if (boEditTxAdm && !cdsTxAdm.IsEmpty() && cdsTxAdm.State() == dsBrowse) cdsTxAdm.Edit();
    // 8.
    const bool padraoEditing = EmEdicaoOuInsercao(dtsPadrao);
    // An edit session goes on while the cursor rests on a row that cannot be edited: its
    // changes can still be confirmed or cancelled.
    const bool anyEditing = padraoEditing || EmEdicao(dtsItensOrcamento) || EmEdicao(dtsTxAdm) ||
                            boEditItemOrca || boEditTxAdm;
    mnuCancelar->SetEnabled(anyEditing);
    mnuConfirmar->SetEnabled(anyEditing);
    mnuIncluir->SetEnabled(false);
    mnuFiltroOrc->SetEnabled(!padraoEditing);
    sbtFiltro->SetEnabled(!padraoEditing);
    const bool allBrowsing = dtsPadrao.State() == dsBrowse &&
                             dtsItensOrcamento.State() == dsBrowse && dtsTxAdm.State() == dsBrowse;
    mnuAlterar->SetEnabled(AlteracaoPermitida());
    mnuExcluir->SetEnabled(false);
    mnuVerificar->SetEnabled(allBrowsing);
    mnuListagem->SetEnabled(false);
    EspelhaMenus();
    speAno->SetEnabled(!padraoEditing);
    edtVersao->SetEnabled(!padraoEditing);
    BtnPesqVer->SetEnabled(!padraoEditing);
    // 9.
    const bool calcRules = Browse(dtsPadrao) && Aberto(fc) && Acesso(fc) && latest;
    sbtEfetivar->SetEnabled(calcRules);
    btnCalcImpo->SetEnabled(calcRules);
    btnCalcImpCons->SetEnabled(calcRules);
    btnCalcDeprec->SetEnabled(calcRules);
    // 10.
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
        HabilitaPaginas(false, pgcOrcamento->ActivePage());
    } else {
        dbgItOrcFatur->SetEnabled(true);
        dbgItConsumo->SetEnabled(true);
        if (EmEdicao(dtsItensOrcamento))
            HabilitaPaginas(false, pgcOrcamento->ActivePage());
        else
            HabilitaPaginas(true);
    }
}

void TfrmCalcOrcaOper::dtsItensOrcamentoStateChange(TObject* Sender) {
    const bool latest = boMaiorVersao;
    const TTabSheet* page = pgcOrcamento->ActivePage();
    const bool itemsEditing = EmEdicao(dtsItensOrcamento);

    // 1.
    sbtSimulaRes->SetEnabled(isEither(campo(cdsItensOrcFatCons, "IDITEMORCAMENTO"), "P", "R") &&
                             latest);
    // 2. The all-branch pages show the edited row again in its place once it is posted.
    if (!EmEdicaoOuInsercao(dtsItensOrcamento) && !cdsItensOrcamento.IsEmpty() && !boEditItemOrca) {
        const char* filter = nullptr;
        if (page == tshMatriz)
            filter = "[IDTIPOORCAOP] = 'M'";
        else if (page == tshImpSobLuc)
            filter = "[IDTIPOORCAOP] = 'S'";
        else if (page == tshInvest)
            filter = "[IDTIPOORCAOP] = 'N'";
        else if (page == tshDeprec)
            filter = "[IDTIPOORCAOP] = 'P'";
        if (filter) {
            cdsItensOrcamento.SetFiltered(false);
            cdsItensOrcamento.SetFilter(filter);
            cdsItensOrcamento.SetFiltered(true);
        }
    }
    // 3.
    if (boEditItemOrca && !boCheck && !PaginaFatOuCons() && cdsItensOrcamento.State() == dsBrowse &&
        !cdsItensOrcamento.IsEmpty())
        cdsItensOrcamento.Edit();
    // 4.
    const bool padraoEditing = EmEdicaoOuInsercao(dtsPadrao);
    const bool anyEditing =
        padraoEditing || EmEdicao(dtsItensOrcamento) || boEditItemOrca || boEditTxAdm;
    mnuCancelar->SetEnabled(anyEditing);
    mnuConfirmar->SetEnabled(anyEditing);
    mnuIncluir->SetEnabled(false);
    mnuExcluir->SetEnabled(false);
    mnuListagem->SetEnabled(false);
    mnuFiltroOrc->SetEnabled(!EmEdicao(dtsItensOrcamento));
    sbtFiltro->SetEnabled(!EmEdicao(dtsItensOrcamento));
    mnuAlterar->SetEnabled(Browse(dtsPadrao) && dtsItensOrcamento.State() == dsBrowse &&
                           !cdsItensOrcamento.IsEmpty() && latest);
    mnuVerificar->SetEnabled(dtsPadrao.State() == dsBrowse &&
                             dtsItensOrcamento.State() == dsBrowse);
    EspelhaMenus();
    speAno->SetEnabled(!EmEdicao(dtsItensOrcamento));
    edtVersao->SetEnabled(!EmEdicao(dtsItensOrcamento));
    BtnPesqVer->SetEnabled(!EmEdicao(dtsItensOrcamento));
    sbtOrcMaoObra->SetEnabled(cdsItensOrcFatCons.State() != dsEdit &&
                              !EmEdicao(dtsItensOrcamento) && !cdsItensOrcamento.IsEmpty() &&
                              latest);
    sbtOrcMaoObra->SetEnabled(Browse(dtsPadrao) && dtsItensOrcamento.State() == dsBrowse &&
                              Aberto(cdsItensOrcamento) && Fase() && Acesso(cdsItensOrcamento) &&
                              page == tshMaoObra && latest);
    mnuOrcMaoObra->SetEnabled(sbtOrcMaoObra->Enabled());
    // 5.
    if (PaginaFatOuCons())
        sbtEfetivar->SetEnabled(Browse(dtsPadrao) && boHabEfet && latest);
    else
        sbtEfetivar->SetEnabled(!itemsEditing && !cdsItensOrcamento.IsEmpty() && boHabEfet &&
                                latest);
    mnuProcurar->SetEnabled(Browse(dtsItensOrcamento));
    const bool calcRules =
        Browse(dtsPadrao) && Aberto(cdsItensOrcFatCons) && Acesso(cdsItensOrcFatCons) && latest;
    btnCalcImpo->SetEnabled(calcRules);
    btnCalcImpCons->SetEnabled(calcRules);
    btnCalcDeprec->SetEnabled(calcRules);
    BotoesPorPagina(false);
    sbtProcurar->SetEnabled(mnuProcurar->Enabled());
    mnuRepliVal->SetEnabled(sbtRepliVal->Enabled());
    mnuSimulaRes->SetEnabled(sbtSimulaRes->Enabled());
    // 6.
    dbgFilialMaoObra->SetEnabled(!itemsEditing);
    dbgFilialDiversas->SetEnabled(!itemsEditing);
    dbgFilialEntradas->SetEnabled(!itemsEditing);
    if (itemsEditing)
        HabilitaPaginas(false, pgcOrcamento->ActivePage());
    else
        HabilitaPaginas(true);
}

void TfrmCalcOrcaOper::BotoesDaPagina() {
    TTabSheet* page = pgcOrcamento->ActivePage();
    const bool itemRules = Browse(dtsPadrao) && dtsItensOrcamento.State() == dsBrowse &&
                           Aberto(cdsItensOrcamento) && Fase() && Acesso(cdsItensOrcamento) &&
                           boMaiorVersao;
    sbtOrcMaoObra->SetEnabled(itemRules && page == tshMaoObra);
    sbtProdDesp->SetEnabled(itemRules && page == tshEntradas);
    sbtTxAdm->SetEnabled(Browse(dtsTxAdm) && Aberto(cdsTxAdm) && Fase() && Acesso(cdsTxAdm) &&
                         page == tshTxAdm && boMaiorVersao);
    mnuOrcMaoObra->SetEnabled(sbtOrcMaoObra->Enabled());
}
