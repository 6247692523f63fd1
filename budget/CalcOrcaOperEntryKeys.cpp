// Keys and columns of the value grids: which characters reach a cell, which cells take typing,
// and what leaving a column stores.
#include "budget/CalcOrcaOperEntryRules.h"
#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/ui/ScreenRoutines.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TSpeedButton.h"

using namespace EntryRules;

namespace {

bool isOneOf(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (SameName(name, n)) return true;
    return false;
}

// Keys that never change a cell's contents: editing and moving keys.
bool movingKey(TKeyChar key) {
    return key == U'\b' || key == U'\t' || key == U'\r' || (key >= 37 && key <= 40) ||
           (key >= 44 && key <= 46);
}

// No exponent and no sign: values are never negative.
bool signOrExponent(TKeyChar key) {
    return key == U'e' || key == U'E' || key == U'+' || key == U'-';
}

constexpr std::size_t kMaxTexto = 100;

} // namespace

void TfrmCalcOrcaOper::TeclaFatCons(TDBGrid* grid, TKeyChar& Key) {
    TClientDataSet& ds = cdsItensOrcFatCons;
    if (!ds.Active() || ds.IsEmpty()) return;
    const std::string coluna = CampoSelecionado(grid);
    // The refusal ends the event: the key never reaches the cell.
    if (Key != U'\t') RecusaSemPermissao(ds, true);
    if (ds.FieldByName("IDITEMORCAMENTO").AsString() == "E" && !movingKey(Key)) Key = 0;
    if (signOrExponent(Key)) Key = 0;
    const std::string check = grid == dbgItOrcFatur ? "IDCHECKF" : "IDCHECKC";
    if (isOneOf(coluna, {"TOTAL", "IDITEMCALCORCA", "CDFILIAL", "NMFILIAL"}) ||
        SameName(coluna, check))
        Key = 0;
    const bool editando = ds.State() == dsEdit;
    if (editando && SameName(coluna, "DTMESBASEITEM") && !movingKey(Key) &&
        !(Key >= U'0' && Key <= U'9'))
        Key = 0;
    if (editando)
        for (const char* month : kMeses) {
            std::string texto;
            GridText(grid, std::string("VRORCAMENTO") + month, true, texto);
            if (texto.size() > kMaxTexto) MensErro(msgPadrao.Msg("vrInv"));
        }
}

void TfrmCalcOrcaOper::dbgItOrcFaturKeyPress(TObject*, TKeyChar& Key) {
    TeclaFatCons(dbgItOrcFatur, Key);
}

void TfrmCalcOrcaOper::dbgItConsumoKeyPress(TObject*, TKeyChar& Key) {
    TeclaFatCons(dbgItConsumo, Key);
}

void TfrmCalcOrcaOper::dbgItensKeyPress(TObject* Sender, TKeyChar& Key) {
    auto* grid = dynamic_cast<TDBGrid*>(Sender);
    const TDataSetState fc = cdsItensOrcFatCons.State();
    if (Key == U'\t' && (fc == dsEdit || fc == dsInsert)) boNext = true;
    if (!cdsItensOrcamento.Active() || cdsItensOrcamento.IsEmpty()) return;
    if (cdsItensOrcamento.FieldByName("IDITEMORCAMENTO").AsString() == "E") Key = 0;
    if (signOrExponent(Key)) Key = 0;
    if (cdsItensOrcamento.State() == dsEdit && grid)
        for (const char* month : kMeses) {
            std::string texto;
            GridText(grid, std::string("VRORCAMENTO") + month, true, texto);
            if (texto.size() > kMaxTexto) MensErro(msgPadrao.Msg("vrInv"));
        }
}

void TfrmCalcOrcaOper::dbgItOrcFaturKeyDown(TObject*, TKeyCode& Key, TShiftState) {
    const std::string coluna = CampoSelecionado(dbgItOrcFatur);
    if (Key == VK_SPACE && SameName(coluna, "IDCHECKF")) {
        if (cdsItensOrcFatCons.FieldByName("IDACESSOCALC").AsString() != "N" &&
            !PhaseClosed(cdsVerifFaseOper)) {
            Key = 0;
            dbgItOrcFaturDblClick(dbgItOrcFatur);
        }
        return;
    }
    if ((Key == VK_DELETE || Key == VK_BACK) &&
        isOneOf(coluna, {"TOTAL", "NMFILIAL", "CDFILIAL", "IDITEMCALCORCA"}))
        Key = 0;
}

void TfrmCalcOrcaOper::dbgItConsumoKeyDown(TObject*, TKeyCode& Key, TShiftState) {
    const std::string coluna = CampoSelecionado(dbgItConsumo);
    if ((Key == VK_DELETE || Key == VK_BACK) &&
        (isOneOf(coluna, {"TOTAL", "NMFILIAL", "CDFILIAL", "IDITEMCALCORCA"}) ||
         cdsItensOrcFatCons.FieldByName("IDITEMORCAMENTO").AsString() == "E"))
        Key = 0;
    if (Key == VK_SPACE && SameName(coluna, "IDCHECKC")) {
        Key = 0;
        dbgItOrcFaturDblClick(dbgItConsumo);
    }
}

void TfrmCalcOrcaOper::dbgFiliaisKeyDown(TObject* Sender, TKeyCode& Key, TShiftState) {
    auto* grid = dynamic_cast<TDBGrid*>(Sender);
    if (Key != VK_SPACE || !grid) return;
    // Branch lists select whole rows: the space bar always means their check column.
    Key = 0;
    boCheckar = true;
    dbgItOrcFaturDblClick(grid);
}

void TfrmCalcOrcaOper::dbgItensKeyDown(TObject*, TKeyCode& Key, TShiftState) {
    if (Key == VK_DELETE && !sbtAlterar->Enabled()) Key = 0;
}

void TfrmCalcOrcaOper::dbgDeprecKeyDown(TObject* Sender, TKeyCode& Key, TShiftState Shift) {
    dbgItensKeyDown(Sender, Key, Shift);
    if (Key == VK_SPACE && SameName(CampoSelecionado(dbgDeprec), "IDCHECK")) {
        Key = 0;
        dbgDeprecDblClick(dbgDeprec);
    }
}

void TfrmCalcOrcaOper::dbgMatrizKeyDown(TObject*, TKeyCode& Key, TShiftState) {
    if ((Key == VK_DELETE || Key == VK_BACK) &&
        isOneOf(CampoSelecionado(dbgMatriz), {"CDFILIAL", "NMDESPPREV"}))
        Key = 0;
}

// --- Columns --------------------------------------------------------------------------------

void TfrmCalcOrcaOper::ColunaEditavelFatCons(TDBGrid* grid) {
    TClientDataSet& ds = cdsItensOrcFatCons;
    if (!ds.Active() || ds.IsEmpty()) return;
    const std::string coluna = CampoSelecionado(grid);
    const std::string item = ds.FieldByName("IDITEMORCAMENTO").AsString();
    const bool fechada = isOneOf(coluna, {"IDITEMCALCORCA", "TOTAL", "CDFILIAL", "NMFILIAL"}) ||
                         SameName(coluna, grid == dbgItOrcFatur ? "IDCHECKF" : "IDCHECKC") ||
                         item == "E" || item == "A" ||
                         ds.FieldByName("IDACESSOCALC").AsString() == "N" || !boMaiorVersao;
    SetGridEditing(grid, !fechada);
}

void TfrmCalcOrcaOper::dbgItOrcFaturColEnter(TObject*) {
    ColunaEditavelFatCons(dbgItOrcFatur);
}

void TfrmCalcOrcaOper::dbgItConsumoColEnter(TObject*) {
    ColunaEditavelFatCons(dbgItConsumo);
}

void TfrmCalcOrcaOper::ColExitFatCons(TDBGrid* grid) {
    TClientDataSet& ds = cdsItensOrcFatCons;
    if (ds.State() != dsEdit) return;
    if (SameName(CampoSelecionado(grid), "DTMESBASEITEM")) {
        std::string texto;
        GridText(grid, "DTMESBASEITEM", true, texto);
        const std::string t = Trim(texto);
        if (!t.empty() && t != "/") {
            double days = 0;
            if (!BaseMonthDate(t, days)) MensErro("\"1/" + t + "\" " + msgPadrao.Msg("Date_Inv"));
            ds.FieldByName("DTMESBASEITEM").SetAsDateTime(days);
        }
    }
    vd_VrGrids(grid);
    ds.FieldByName("TOTAL").SetAsFloat(MonthSum(ds));
}

void TfrmCalcOrcaOper::dbgItOrcFaturColExit(TObject*) {
    ColExitFatCons(dbgItOrcFatur);
}

void TfrmCalcOrcaOper::dbgItConsumoColExit(TObject*) {
    ColExitFatCons(dbgItConsumo);
}

void TfrmCalcOrcaOper::dbgItensColExit(TObject* Sender) {
    if (cdsItensOrcamento.State() == dsEdit) vd_VrGrids(dynamic_cast<TDBGrid*>(Sender));
}

void TfrmCalcOrcaOper::dbgDiversasColExit(TObject*) {
    const TDataSetState state = cdsItensOrcamento.State();
    if (state == dsEdit || state == dsInsert) vd_VrGrids(dbgDiversas);
}

void TfrmCalcOrcaOper::dbgDeprecEnter(TObject* Sender) {
    dbgDeprecColEnter(Sender);
}

void TfrmCalcOrcaOper::dbgDeprecColEnter(TObject*) {
    const bool fechada =
        isOneOf(CampoSelecionado(dbgDeprec), {"IDCHECK", "CDFILIAL", "NMFILIAL", "SOMAT"}) ||
        !boMaiorVersao;
    SetGridEditing(dbgDeprec, !fechada);
}

void TfrmCalcOrcaOper::dbgDeprecColExit(TObject*) {
    if (cdsItensOrcamento.State() != dsEdit) return;
    vd_VrGrids(dbgDeprec);
    total();
}
