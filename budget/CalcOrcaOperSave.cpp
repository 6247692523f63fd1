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

#include <functional>
#include <vector>

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
        TClientDataSet& ds = grid == dbgTxAdm ? cdsTxAdm : cdsItensOrcamento;
        // A row the operator cannot edit holds nothing typed: it must not stop the save of
        // the changes already made on the other rows.
        if (ds.State() == dsBrowse && !grid->EditorModified()) continue;
        atualizaVrItens(grid, ds);
        vd_VrGrids(grid);
    }
    if (!editingOrInserting(cdsItensOrcFatCons)) return;
    cdsItensOrcFatCons.FieldByName("IDALTERADO").SetAsString("");
    TDBGrid* grid = nullptr;
    if (ActiveControl() == dbgItOrcFatur)
        grid = dbgItOrcFatur;
    else if (ActiveControl() == dbgItConsumo)
        grid = dbgItConsumo;
    if (!grid) return;
    // The consumption value still being typed is taken over too: the marking posts below run
    // with the grid frozen and would not store it.
    atualizaVrItens(grid, cdsItensOrcFatCons);
    vd_VrGrids(grid);
    if (!SameName(CampoSelecionado(grid), "DTMESBASEITEM")) return;
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

void TfrmCalcOrcaOper::GravaNoServidor(const std::function<void()>& gravacao) {
    struct Posicao {
        TClientDataSet* ds;
        TDataSetState state;
        TBookmark row;
        bool filtered;
        std::string filter;
    };
    std::vector<Posicao> posicoes;
    // The branch list first: moving it filters the items again.
    for (TClientDataSet* ds :
         {&cdsOrcamentoFilial, &cdsItensOrcFatCons, &cdsItensOrcamento, &cdsTxAdm})
        if (ds->Active())
            posicoes.push_back({ds, ds->State(), ds->GetBookmark(), ds->Filtered(), ds->Filter()});
    const bool editItem = boEditItemOrca, editTxAdm = boEditTxAdm;
    const bool check = boCheck, loop = boLoop;
    TWinControl* focused = ActiveControl();
    Application& app = Application::instance();
    const TCursor cursor = app.cursor();
    try {
        gravacao();
        return;
    } catch (...) {
        DeactiveShowAvi();
        app.setCursor(cursor);
        // The way back is not an operator's move: no re-edit on scroll, no branch remembered.
        boCheck = true;
        boLoop = true;
        for (const Posicao& p : posicoes) {
            TClientDataSet& ds = *p.ds;
            try {
                if (!ds.Active()) continue;
                const bool sameRow = ds.GetBookmark() == p.row;
                // An edit the save itself opened on another row holds only its marks.
                if (editingOrInserting(ds) && !(sameRow && p.state != dsBrowse)) ds.Cancel();
                if (ds.Filter() != p.filter) ds.SetFilter(p.filter);
                if (ds.Filtered() != p.filtered) ds.SetFiltered(p.filtered);
                if (ds.GetBookmark() != p.row && ds.BookmarkValid(p.row)) ds.GotoBookmark(p.row);
                if (p.state == dsEdit && ds.State() == dsBrowse) ds.Edit();
            } catch (...) {
                // Whatever could not be put back stays as the failure left it; the pending
                // changes themselves are never touched.
            }
        }
        boCheck = check;
        boLoop = loop;
        boEditItemOrca = editItem;
        boEditTxAdm = editTxAdm;
        try {
            if (focused && focused != ActiveControl() && focused->CanFocus()) focused->SetFocus();
            // The pass of the page's own data source, as its state change would run it; the
            // fee page's buttons are left as the operator had them.
            const char letter = LetraPagina();
            if (letter == 'F' || letter == 'C')
                dtsPadraoStateChange(this);
            else if (letter != 'T')
                dtsItensOrcamentoStateChange(this);
        } catch (...) {
            // The failure being reported is the save's, not this pass's.
        }
        throw;
    }
}

void TfrmCalcOrcaOper::sbtConfirmarClick(TObject*) {
    Finally last([this] { SelecionaForaDoCheck(); });
    AssumeValorDigitado();
    if (!Ask(msgPadrao.Msg("Conf_Oper"))) return;
    const char letter = LetraPagina();
    const bool fatCons = letter == 'F' || letter == 'C';
    // Until the server has kept the changes, any failure leaves them pending and the screen
    // as the operator had it, ready for a new Confirm or a Cancel.
    GravaNoServidor([&] {
        boEditItemOrca = false;
        boEditTxAdm = false;
        if (editingOrInserting(cdsItensOrcamento))
            cdsItensOrcamento.FieldByName("IDALTERADO").SetAsString("");
        if (fatCons)
            EnviaFatCons();
        else if (letter == 'T')
            EnviaDelta(PostaSemReeditar(cdsTxAdm), "T");
        else
            EnviaItens();
    });
    if (fatCons) {
        ConcluiFatCons();
    } else if (letter == 'T') {
        cdsTxAdm.MergeChangeLog();
        dtsTxAdmStateChange(this);
        boEditTxAdm = false;
    } else {
        dtsItensOrcamentoStateChange(this);
        cdsItensOrcamento.MergeChangeLog();
    }
}

TClientDataSet& TfrmCalcOrcaOper::PostaSemReeditar(TClientDataSet& dataSet) {
    HandlerGuard afterPost(dataSet.AfterPost);
    dataSet.Post();
    return dataSet;
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

void TfrmCalcOrcaOper::EnviaFatCons() {
    TClientDataSet& ds = cdsItensOrcFatCons;
    const TField& base = ds.FieldByName("DTMESBASEITEM");
    if (!emptyBaseMonth(base)) {
        ValidDate->SetDate(base.AsDateTime());
        ValidDate->CheckValidDate();
        vd_MesBase(base.AsDateTime());
    }
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
    EnviaDelta(ds, "N");
}

void TfrmCalcOrcaOper::ConcluiFatCons() {
    TClientDataSet& ds = cdsItensOrcFatCons;
    ds.MergeChangeLog();
    if (cdsParDROFilial.Active())
        cdsParDROFilial.Locate("CDFILIAL", {ds.FieldByName("CDFILIAL").AsVariant()}, kNoCase);
    boEditItemOrca = false;
    boEditTxAdm = false;
    dtsPadraoStateChange(this);
    ds.MergeChangeLog();
    sbtVerificarClick(this);
}

void TfrmCalcOrcaOper::EnviaItens() {
    TClientDataSet& ds = cdsItensOrcamento;
    if (editingOrInserting(ds)) ds.FieldByName("IDALTERADO").SetAsString("S");
    dbgDiversasColExit(this);
    EnviaDelta(PostaSemReeditar(ds), "N");
}

void TfrmCalcOrcaOper::DescartaEdicao() {
    boEditItemOrca = false;
    boEditTxAdm = false;
    for (TClientDataSet* cds : {&cdsItensOrcFatCons, &cdsItensOrcamento, &cdsTxAdm})
        if (cds->Active() && cds->State() == dsEdit) cds->Cancel();
}

bool TfrmCalcOrcaOper::AlteracoesPendentes() const {
    // Typed values, posted or not, belong to an edit session until Confirm or Cancel; check
    // marks alone are not worth the question.
    if (boEditItemOrca || boEditTxAdm) return true;
    for (const TClientDataSet* cds : {&cdsItensOrcFatCons, &cdsItensOrcamento, &cdsTxAdm})
        if (cds->Active() && editingOrInserting(*cds)) return true;
    return false;
}

bool TfrmCalcOrcaOper::DescartaSePendente() {
    if (!AlteracoesPendentes()) return true;
    if (!Ask(msgPadrao.Msg("Cancel_Oper"))) return false;
    DescartaEdicao();
    {
        // Undoing the posted changes moves rows under the grids: not an operator's move.
        const bool check = boCheck;
        boCheck = true;
        Finally restore([check] { boCheck = check; });
        for (TClientDataSet* cds : {&cdsItensOrcFatCons, &cdsItensOrcamento, &cdsTxAdm})
            if (cds->Active() && cds->ChangeCount() > 0) cds->CancelUpdates();
    }
    // Out of edit even if the reading that follows fails.
    if (PaginaFatOuCons() || LetraPagina() == 'T')
        dtsPadraoStateChange(this);
    else
        dtsItensOrcamentoStateChange(this);
    return true;
}

void TfrmCalcOrcaOper::sbtCancelarClick(TObject*) {
    if (!Ask(msgPadrao.Msg("Cancel_Oper"))) return;
    DescartaEdicao();
    const bool fatCons = PaginaFatOuCons();
    const std::string filial =
        (fatCons ? cdsItensOrcFatCons : cdsOrcamentoFilial).FieldByName("CDFILIAL").AsString();
    {
        ActiveShowAvi(this, 6, msgPadrao.Msg("Dados"));
        Finally close([] { DeactiveShowAvi(); });
        oleOrcamentoFiltro = CheckResultServ(ChamaGetDadosOrcamento(), true, 6);
        CarregaPacotes(false);
        // The branch list's grey marks are a summary of the items just read.
        if (!fatCons && LetraPagina() != 'T' && !cdsOrcamentoFilial.IsEmpty())
            ResumoPagina(LetraPagina());
        if (fatCons)
            cdsItensOrcFatCons.Locate("CDFILIAL", {Variant(filial)}, kNoCase);
        else
            cdsOrcamentoFilial.Locate("CDFILIAL", {Variant(filial)}, kNoCase);
        if (!cdsFeriadoFil.IsEmpty()) {
            cdsFeriadoFil.SetFilter("CDFILIAL = '" +
                                    cdsItensOrcFatCons.FieldByName("CDFILIAL").AsString() + "'");
            cdsFeriadoFil.SetFiltered(true);
        }
    }
    if (fatCons) dtsPadraoStateChange(this);
}
