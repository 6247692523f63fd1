// The check columns that select rows for the bulk operations: how they are drawn, toggled one
// by one, and selected or cleared all at once.
#include "budget/CalcOrcaOperEntryRules.h"
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TCellStyle.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TGridDrawCell.h"

#include <optional>

using namespace EntryRules;

namespace {

bool startsWithCheck(const std::string& name) {
    return name.size() >= 7 && SameName(name.substr(0, 7), "IDCHECK");
}

bool closed(const std::string& state) {
    return state == "E" || state == "A";
}

} // namespace

void TfrmCalcOrcaOper::LigaEventosChecks() {
    auto draw = [this](TObject* s, const TGridDrawCell& c, TCellStyle& st) {
        dbgItOrcFaturDrawColumnCell(s, c, st);
    };
    auto toggle = [this](TObject* s) { dbgItOrcFaturDblClick(s); };
    auto title = [this](TColumn* c) { dbgItOrcFaturTitleClick(c); };
    auto keyDown = [this](TObject* s, TKeyCode& k, TShiftState sh) { dbgFiliaisKeyDown(s, k, sh); };
    for (TDBGrid* grid : {dbgItOrcFatur, dbgItConsumo}) {
        grid->OnDrawColumnCell = draw;
        grid->OnTitleClick = title;
    }
    // A double click there is also a click, which already toggled the check.
    dbgItOrcFatur->OnCellClick = [this](TColumn* c) { dbgItOrcFaturCellClick(c); };
    dbgItConsumo->OnCellClick = [this](TColumn* c) { dbgItConsumoCellClick(c); };
    for (TDBGrid* grid :
         {dbgFilImpo, dbgFilialMaoObra, dbgFilialDiversas, dbgFilialEntradas, dbgFilImpRec}) {
        grid->OnDrawColumnCell = draw;
        grid->OnTitleClick = title;
        grid->OnKeyDown = keyDown;
        grid->OnDblClick = toggle;
    }
    for (TDBGrid* grid : {dbgFilialDiversas, dbgFilialEntradas})
        grid->OnDblClick = [this](TObject* s) { dbgFilialDiversasDblClick(s); };
    for (TDBGrid* grid : {dbgImposto, dbgMaoObra, dbgMatriz, dbgDiversas, dbgEntradas, dbgImpRecup,
                          dbgImpSobLuc, dbgInvest})
        grid->OnDrawColumnCell = [this](TObject* s, const TGridDrawCell& c, TCellStyle& st) {
            dbgMaoObraDrawColumnCell(s, c, st);
        };
    dbgDeprec->OnDrawColumnCell = [this](TObject* s, const TGridDrawCell& c, TCellStyle& st) {
        dbgDeprecDrawColumnCell(s, c, st);
    };
    dbgDeprec->OnDblClick = [this](TObject* s) { dbgDeprecDblClick(s); };
    dbgDeprec->OnTitleClick = [this](TColumn* c) { dbgDeprecTitleClick(c); };
}

bool TfrmCalcOrcaOper::TestCheck(TClientDataSet& dataSet) {
    const std::string filial = dataSet.FieldByName("CDFILIAL").AsString();
    const std::string campo = NomeCampo();
    FreezeGuard freeze(dataSet);
    std::optional<HandlerGuard<TClientDataSet::Event>> scroll;
    if (!PaginaFatOuCons()) scroll.emplace(cdsOrcamentoFilial.AfterScroll);
    bool found = false;
    for (dataSet.First(); !dataSet.Eof() && !found; dataSet.Next())
        found = dataSet.FieldByName(campo).AsString() == "S";
    dataSet.Locate("CDFILIAL", {Variant(filial)}, {true, false});
    return found;
}

// --- Drawing --------------------------------------------------------------------------------

void TfrmCalcOrcaOper::DesenhaCelula(const TGridDrawCell& cell, TCellStyle& style,
                                     const std::string& estado) {
    style.background = cell.Selected() ? clHighlight : clInfoBk;
    style.textColor = cell.Selected() ? clHighlightText : closed(estado) ? clGray : clWindowText;
    const std::string& campo = cell.Column().FieldName();
    if (!startsWithCheck(campo) || !cdsOrcamentoFilial.Active() || cdsOrcamentoFilial.IsEmpty())
        return;
    const Variant value = cell.Value(campo);
    if (value.isNull())
        style.picture = TCheckPicture::Grayed;
    else
        style.picture = value.toText() == "S" ? TCheckPicture::Checked : TCheckPicture::Unchecked;
}

void TfrmCalcOrcaOper::dbgItOrcFaturDrawColumnCell(TObject*, const TGridDrawCell& Cell,
                                                   TCellStyle& Style) {
    // On the branch lists IDITEMORCAMENTO is the branch's page summary.
    DesenhaCelula(Cell, Style, Cell.Text("IDITEMORCAMENTO"));
}

void TfrmCalcOrcaOper::dbgMaoObraDrawColumnCell(TObject*, const TGridDrawCell& Cell,
                                                TCellStyle& Style) {
    DesenhaCelula(Cell, Style, Cell.Text("IDITEMORCAMENTO"));
}

void TfrmCalcOrcaOper::dbgDeprecDrawColumnCell(TObject*, const TGridDrawCell& Cell,
                                               TCellStyle& Style) {
    DesenhaCelula(Cell, Style, Cell.Text("IDITEMORCAMENTO"));
}

// --- Toggling -------------------------------------------------------------------------------

void TfrmCalcOrcaOper::dbgItOrcFaturDblClick(TObject* Sender) {
    // boCheckar lets one gesture of a branch list toggle from any column; it ends here, so a
    // later click elsewhere never toggles by accident.
    const bool checkar = boCheckar;
    boCheckar = false;
    auto* grid = dynamic_cast<TDBGrid*>(Sender);
    if (!grid) return;
    if (!startsWithCheck(CampoSelecionado(grid)) && !checkar) return;
    AlternaCheck(grid);
}

void TfrmCalcOrcaOper::dbgFilialDiversasDblClick(TObject* Sender) {
    boCheckar = true;
    dbgItOrcFaturDblClick(Sender);
}

void TfrmCalcOrcaOper::AlternaCheck(TDBGrid* grid) {
    const bool fatCons = grid == dbgItOrcFatur || grid == dbgItConsumo;
    if (PhaseClosed(cdsVerifFaseOper))
        MensErro(
            msgPadrao.Msg("Perm_Fase", cdsVerifFaseOper.FieldByName("NMFASEORCOPERAC").AsString()));
    const TClientDataSet& acesso = PaginaFatOuCons()             ? cdsItensOrcFatCons
                                   : cdsItensOrcamento.IsEmpty() ? cdsOrcamentoFilial
                                                                 : cdsItensOrcamento;
    if (acesso.FieldByName("IDACESSOCALC").AsString() == "N")
        MensErro(msgPadrao.Msg("Perm_Filial"));
    // Effected or approved rows keep their mark.
    boCheck = true;
    Finally clear([] { boCheck = false; });
    const std::string estado = (fatCons ? cdsItensOrcFatCons : cdsOrcamentoFilial)
                                   .FieldByName("IDITEMORCAMENTO")
                                   .AsString();
    if (estado == "E") MensErro(msgPadrao.Msg("Item_Efet"));
    if (estado == "A") MensErro(msgPadrao.Msg("Item_Apr"));
    TClientDataSet* ds = grid->DataSet();
    if (!ds || !ds->Active() || ds->IsEmpty()) return;
    std::optional<HandlerGuard<TClientDataSet::Event>> afterPost;
    if (fatCons) afterPost.emplace(ds->AfterPost);
    if (ds->State() == dsBrowse) ds->Edit();
    TField& field = ds->FieldByName(NomeCampo());
    field.SetAsString(field.AsString() == "S" ? "N" : "S");
    ds->Post();
}

void TfrmCalcOrcaOper::dbgDeprecDblClick(TObject*) {
    if (!SameName(CampoSelecionado(dbgDeprec), "IDCHECK")) return;
    if (!cdsItensOrcamento.Active() || cdsItensOrcamento.IsEmpty()) return;
    boCheck = true;
    Finally clear([] { boCheck = false; });
    FreezeGuard freeze(cdsItensOrcamento);
    HandlerGuard beforePost(cdsItensOrcamento.BeforePost);
    HandlerGuard afterPost(cdsItensOrcamento.AfterPost);
    cdsItensOrcamento.Edit();
    TField& field = cdsItensOrcamento.FieldByName("IDCHECK");
    field.SetAsString(field.AsString() == "S" ? "N" : "S");
    cdsItensOrcamento.Post();
}

void TfrmCalcOrcaOper::dbgItOrcFaturCellClick(TColumn* Column) {
    if (!Column || cdsItensOrcFatCons.IsEmpty()) return;
    TDBGrid* grid = &Column->Grid();
    const std::string item = cdsItensOrcFatCons.FieldByName("IDITEMORCAMENTO").AsString();
    if (SameName(CampoSelecionado(grid), NomeCampo()) || closed(item) ||
        cdsItensOrcFatCons.FieldByName("IDACESSOCALC").AsString() == "N" || !boMaiorVersao) {
        SetGridEditing(grid, false);
        dbgItOrcFaturDblClick(grid);
    } else {
        SetGridEditing(grid, true);
    }
}

void TfrmCalcOrcaOper::dbgItConsumoCellClick(TColumn* Column) {
    dbgItOrcFaturCellClick(Column);
}

// --- Select or clear all --------------------------------------------------------------------

void TfrmCalcOrcaOper::dbgItOrcFaturTitleClick(TColumn* Column) {
    if (!Column || !SameName(Column->FieldName(), NomeCampo())) return;
    TDBGrid* grid = &Column->Grid();
    TClientDataSet* ds = grid->DataSet();
    if (!ds || !ds->Active() || ds->IsEmpty() || ds->State() != dsBrowse) return;
    MarcaTodos(grid);
}

void TfrmCalcOrcaOper::MarcaTodos(TDBGrid* grid) {
    TClientDataSet& ds = *grid->DataSet();
    const bool fatCons = &ds == &cdsItensOrcFatCons;
    const std::string campo = NomeCampo();
    boCheck = true;
    Finally clear([] { boCheck = false; });
    {
        FreezeGuard freeze(ds);
        std::optional<HandlerGuard<TClientDataSet::Event>> detached;
        if (fatCons)
            detached.emplace(cdsItensOrcFatCons.AfterPost);
        else
            detached.emplace(cdsOrcamentoFilial.AfterScroll);
        // No per-row reaction: the screen is brought up to date once, after the loop.
        HandlerGuard scroll(ds.AfterScroll);
        HandlerGuard stateChange(dtsPadrao.OnStateChange);
        ds.First();
        if (closed(ds.FieldByName("IDITEMORCAMENTO").AsString())) ds.Next();
        std::string valor;
        if (ds.FieldByName(campo).AsString() == "S") {
            if (!Ask(msgPadrao.Msg("Conf_DTodas"))) Abort();
            valor = "N";
        } else {
            if (!Ask(msgPadrao.Msg("Conf_MTodas"))) Abort();
            valor = "S";
        }
        HandlerGuard beforePost(cdsItensOrcFatCons.BeforePost);
        for (; !ds.Eof(); ds.Next()) {
            const std::string status =
                ds.FieldByName(fatCons ? "IDSTATUSORCA" : "IDITEMORCAMENTO").AsString();
            if (status == "E" || ds.FieldByName("IDACESSOCALC").AsString() != "S" ||
                closed(ds.FieldByName("IDITEMORCAMENTO").AsString()))
                continue;
            ds.Edit();
            ds.FieldByName(campo).SetAsString(valor);
            ds.Post();
        }
    }
    ds.First();
    if (fatCons) dtsPadraoStateChange(this);
}

void TfrmCalcOrcaOper::dbgDeprecTitleClick(TColumn* Column) {
    if (!Column || !SameName(Column->FieldName(), "IDCHECK")) return;
    TClientDataSet& ds = cdsItensOrcamento;
    if (!ds.Active() || ds.IsEmpty() || ds.State() != dsBrowse) return;
    boCheck = true;
    Finally clear([] { boCheck = false; });
    {
        FreezeGuard freeze(ds);
        HandlerGuard beforePost(ds.BeforePost);
        HandlerGuard beforeEdit(ds.BeforeEdit);
        HandlerGuard afterPost(ds.AfterPost);
        // The per-row pass would re-filter the page under the loop and start it over.
        HandlerGuard scroll(ds.AfterScroll);
        HandlerGuard stateChange(dtsItensOrcamento.OnStateChange);
        ds.First();
        if (closed(ds.FieldByName("IDITEMORCAMENTO").AsString())) ds.Next();
        std::string valor = "S";
        if (ds.FieldByName("IDCHECK").AsString() == "S") {
            if (!Ask(msgPadrao.Msg("Conf_DTodas"))) Abort();
            valor = "N";
        } else if (!Ask(msgPadrao.Msg("Conf_MTodas"))) {
            Abort();
        }
        for (; !ds.Eof(); ds.Next()) {
            if (closed(ds.FieldByName("IDITEMORCAMENTO").AsString())) continue;
            ds.Edit();
            ds.FieldByName("IDCHECK").SetAsString(valor);
            ds.Post();
        }
        ds.First();
    }
    dtsItensOrcamentoStateChange(this);
}
