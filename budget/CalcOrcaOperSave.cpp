// Confirm and Cancel: sending the pending changes of the active page to the server, or
// throwing them away by reading the budget again.
#include "budget/CalcOrcaOperEntryRules.h"
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/ui/Application.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/ScreenRoutines.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TDateEditPlus.h"
#include "services/ui/TSpinEdit.h"

using namespace EntryRules;

namespace {

const LocateOptions kNoCase{true, false};

bool editingOrInserting(const TClientDataSet& ds) {
    return ds.State() == dsEdit || ds.State() == dsInsert;
}

bool emptyBaseMonth(const TField& field) {
    return field.IsNull() || field.AsDateTime() == 0;
}

} // namespace

void TfrmCalcOrcaOper::AssumeValorDigitado() {
    for (TDBGrid* grid : {dbgImposto, dbgMaoObra, dbgTxAdm, dbgDiversas, dbgEntradas, dbgMatriz,
                          dbgImpRecup, dbgImpSobLuc, dbgInvest, dbgDeprec}) {
        if (ActiveControl() != grid) continue;
        atualizaVrItens(grid, grid == dbgTxAdm ? cdsTxAdm : cdsItensOrcamento);
        vd_VrGrids(grid);
    }
    if (!editingOrInserting(cdsItensOrcFatCons)) return;
    cdsItensOrcFatCons.FieldByName("IDALTERADO").SetAsString("");
    TDBGrid* grid = nullptr;
    if (ActiveControl() == dbgItOrcFatur) {
        grid = dbgItOrcFatur;
        atualizaVrItens(grid, cdsItensOrcFatCons);
        vd_VrGrids(grid);
    } else if (ActiveControl() == dbgItConsumo) {
        grid = dbgItConsumo;
        vd_VrGrids(grid);
    }
    if (!grid || !SameName(CampoSelecionado(grid), "DTMESBASEITEM")) return;
    std::string texto;
    GridText(grid, "DTMESBASEITEM", true, texto);
    const std::string t = Trim(texto);
    if (t.empty() || t == "/") return;
    double days = 0;
    if (!BaseMonthDate(t, days)) {
        grid->SetFocus();
        MensErro("\"1/" + t + "\" " + msgPadrao.Msg("Date_Inv"));
    }
    cdsItensOrcFatCons.FieldByName("DTMESBASEITEM").SetAsDateTime(days);
}

void TfrmCalcOrcaOper::SelecionaForaDoCheck() {
    const char letter = LetraPagina();
    if (letter == 'F' && SameName(CampoSelecionado(dbgItOrcFatur), "IDCHECKF"))
        dbgItOrcFatur->SetSelectedIndex(1);
    else if (letter == 'C' && SameName(CampoSelecionado(dbgItConsumo), "IDCHECKC"))
        dbgItConsumo->SetSelectedIndex(1);
}

void TfrmCalcOrcaOper::sbtConfirmarClick(TObject*) {
    Finally last([this] { SelecionaForaDoCheck(); });
    // 1., 2.
    AssumeValorDigitado();
    // 3.
    if (!Ask(msgPadrao.Msg("Conf_Oper"))) return;
    // 4.
    boEditItemOrca = false;
    boEditTxAdm = false;
    if (editingOrInserting(cdsItensOrcamento))
        cdsItensOrcamento.FieldByName("IDALTERADO").SetAsString("");
    // 5.
    const char letter = LetraPagina();
    if (letter == 'F' || letter == 'C')
        SalvaFatCons();
    else if (letter == 'T')
        SalvaTxAdm();
    else
        SalvaItens();
}

void TfrmCalcOrcaOper::EnviaDelta(TClientDataSet& dataSet, const char* tipo) {
    const double hoje = Application::instance().today();
    const Variant delta = dataSet.ChangeCount() > 0 ? Variant(dataSet.Delta()) : Variant();
    ActiveShowAvi(this, 6, msgPadrao.Msg("SAVE"));
    Finally close([] { DeactiveShowAvi(); });
    CheckResultServ(
        netCalcOrcaOper.AppServer("SetItensOrcFatCons",
                                  {delta, tipo, TextoAno(), NumeroVersao(), Operador(), "N", false,
                                   false, Variant(cdsParDROFilial.Data()), "",
                                   Variant::fromDate(hoje), Variant::fromDate(hoje)}),
        true, 0);
}

void TfrmCalcOrcaOper::SalvaFatCons() {
    TClientDataSet& ds = cdsItensOrcFatCons;
    // a.
    const TField& base = ds.FieldByName("DTMESBASEITEM");
    if (!emptyBaseMonth(base)) {
        ValidDate->SetDate(base.AsDateTime());
        ValidDate->CheckValidDate();
        vd_MesBase(base.AsDateTime());
    }
    // b.-d.
    {
        FreezeGuard freeze(ds);
        HandlerGuard scroll(ds.AfterScroll);
        const std::string filial = ds.FieldByName("CDFILIAL").AsString();
        Finally back([&ds, filial] { ds.Locate("CDFILIAL", {Variant(filial)}, kNoCase); });
        ds.First();
        HandlerGuard beforePost(ds.BeforePost);
        HandlerGuard afterPost(ds.AfterPost);
        ds.SetFiltered(true);
        // The marks are a bulk loop: their posts must not start an edit session, and the
        // enabling pass runs once afterwards rather than at every post.
        HandlerGuard stateChange(dtsPadrao.OnStateChange);
        boCheck = true;
        Finally clear([] { boCheck = false; });
        for (ds.First(); !ds.Eof(); ds.Next()) {
            if (ds.FieldByName("IDACESSOCALC").AsString() != "S") continue;
            const bool semBase = emptyBaseMonth(ds.FieldByName("DTMESBASEITEM")) &&
                                 ds.FieldByName("IDITEMORCAMENTO").AsString() != "E";
            ds.Edit();
            ds.FieldByName("IDALTERADO").SetAsString(semBase ? "N" : "S");
            ds.Post();
        }
    }
    // e.
    EnviaDelta(ds, "N");
    // f.
    ds.MergeChangeLog();
    if (cdsParDROFilial.Active())
        cdsParDROFilial.Locate("CDFILIAL", {ds.FieldByName("CDFILIAL").AsVariant()}, kNoCase);
    boEditItemOrca = false;
    boEditTxAdm = false;
    dtsPadraoStateChange(this);
    ds.MergeChangeLog();
    sbtVerificarClick(this);
}

void TfrmCalcOrcaOper::SalvaItens() {
    TClientDataSet& ds = cdsItensOrcamento;
    // a.
    if (editingOrInserting(ds)) ds.FieldByName("IDALTERADO").SetAsString("S");
    // b.
    dbgDiversasColExit(this);
    // c.
    {
        HandlerGuard afterPost(ds.AfterPost);
        ds.Post();
    }
    // d.
    EnviaDelta(ds, "N");
    // e.
    dtsItensOrcamentoStateChange(this);
    ds.MergeChangeLog();
}

void TfrmCalcOrcaOper::SalvaTxAdm() {
    {
        HandlerGuard afterPost(cdsTxAdm.AfterPost);
        cdsTxAdm.Post();
    }
    EnviaDelta(cdsTxAdm, "T");
    cdsTxAdm.MergeChangeLog();
    boEditTxAdm = false;
}

void TfrmCalcOrcaOper::sbtCancelarClick(TObject*) {
    // 1.
    if (!Ask(msgPadrao.Msg("Cancel_Oper"))) return;
    // 2.
    boEditItemOrca = false;
    boEditTxAdm = false;
    for (TClientDataSet* cds : {&cdsItensOrcFatCons, &cdsItensOrcamento, &cdsTxAdm})
        if (cds->Active() && cds->State() == dsEdit) cds->Cancel();
    // 3.
    const bool fatCons = PaginaFatOuCons();
    const std::string filial =
        (fatCons ? cdsItensOrcFatCons : cdsOrcamentoFilial).FieldByName("CDFILIAL").AsString();
    // 4.
    {
        ActiveShowAvi(this, 6, msgPadrao.Msg("Dados"));
        Finally close([] { DeactiveShowAvi(); });
        oleOrcamentoFiltro = CheckResultServ(ChamaGetDadosOrcamento(), true, 6);
        CarregaPacotes(false);
        // The branch list's grey marks are a summary of the items just read.
        if (!fatCons && LetraPagina() != 'T' && !cdsOrcamentoFilial.IsEmpty())
            ResumoPagina(LetraPagina());
        // 5.
        if (fatCons)
            cdsItensOrcFatCons.Locate("CDFILIAL", {Variant(filial)}, kNoCase);
        else
            cdsOrcamentoFilial.Locate("CDFILIAL", {Variant(filial)}, kNoCase);
        // 6.
        if (!cdsFeriadoFil.IsEmpty()) {
            cdsFeriadoFil.SetFilter("CDFILIAL = '" +
                                    cdsItensOrcFatCons.FieldByName("CDFILIAL").AsString() + "'");
            cdsFeriadoFil.SetFiltered(true);
        }
    }
    // 7.
    if (fatCons) dtsPadraoStateChange(this);
}
