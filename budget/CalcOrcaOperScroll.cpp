// How the screen follows the operator moving through the budget: the branch list, the
// billing/consumption rows, the item rows, and the grids and pages entered.
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "services/lib/Consiste.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TEdit.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TTabSheet.h"

namespace {

const LocateOptions kNoCase{true, false};

} // namespace

void TfrmCalcOrcaOper::dbgDiaUtilFilFatEnter(TObject* Sender) {
    sbtAlterar->SetEnabled(false);
    mnuAlterar->SetEnabled(false);
}

void TfrmCalcOrcaOper::dbgDiaUtilFilConsEnter(TObject* Sender) {
    sbtAlterar->SetEnabled(false);
    mnuAlterar->SetEnabled(false);
}

// Leaving a working-days grid gives editing back only where the rules allow it: an older
// version or a closed row stays read-only.
void TfrmCalcOrcaOper::dbgDiaUtilFilFatExit(TObject* Sender) {
    mnuAlterar->SetEnabled(AlteracaoPermitida());
    sbtAlterar->SetEnabled(mnuAlterar->Enabled());
}

void TfrmCalcOrcaOper::dbgDiaUtilFilConsExit(TObject* Sender) {
    dbgDiaUtilFilFatExit(Sender);
}

void TfrmCalcOrcaOper::dbgItOrcFaturEnter(TObject* Sender) {
    boCheckar = false;
}

void TfrmCalcOrcaOper::cdsOrcamentoFilialAfterScroll(TClientDataSet& DataSet) {
    const char letter = LetraPagina();
    // 1.
    sbtSimulaRes->SetEnabled((cdsItensOrcamento.FieldByName("IDITEMORCAMENTO").AsString() == "P" ||
                              cdsItensOrcamento.FieldByName("IDITEMORCAMENTO").AsString() == "R") &&
                             boMaiorVersao);
    // 2.
    if (boEditItemOrca && !boCheck && !PaginaFatOuCons() && !cdsItensOrcamento.IsEmpty())
        cdsItensOrcamento.Edit();
    // 3.
    if (cdsItensOrcamento.Active()) {
        cdsItensOrcamento.SetFiltered(false);
        if (letter == 'E' && cdsTpDespLanEnt.IsEmpty()) {
            const Variant data =
                CheckResultServ(netCalcOrcaOper.AppServer("TpDespLanEnt", {}), true, 0);
            if (data.type() == VarType::Packet) cdsTpDespLanEnt.SetData(data.packet());
        }
        cdsItensOrcamento.SetFilter(
            FiltroPagina(letter, cdsOrcamentoFilial.FieldByName("CDFILIAL").AsString()));
        cdsItensOrcamento.SetFiltered(true);
    }
    // 4.
    if (!boLoop) stFiliSelec = cdsOrcamentoFilial.FieldByName("CDFILIAL").AsString();
    // 5.
    mnuAlterar->SetEnabled(dtsPadrao.State() == dsBrowse && dtsItensOrcamento.State() == dsBrowse &&
                           !cdsItensOrcFatCons.IsEmpty() && !cdsItensOrcamento.IsEmpty() &&
                           Aberto(cdsItensOrcamento) && Fase() && Acesso(cdsItensOrcamento) &&
                           boMaiorVersao);
    sbtAlterar->SetEnabled(mnuAlterar->Enabled());
    if (!boLoop) BotoesPorPagina(true);
}

void TfrmCalcOrcaOper::cdsItensOrcFatConsAfterScroll(TClientDataSet& DataSet) {
    const std::string item = cdsItensOrcFatCons.FieldByName("IDITEMORCAMENTO").AsString();
    // 1.
    sbtSimulaRes->SetEnabled((item == "P" || item == "R") && boMaiorVersao);
    // 2.
    const std::string filial = cdsItensOrcFatCons.FieldByName("CDFILIAL").AsString();
    if (!boLoop) stFiliSelec = filial;
    // 3.
    if (cdsFeriadoFil.Active()) {
        cdsFeriadoFil.SetFilter("CDFILIAL = '" + filial + "'");
        cdsFeriadoFil.SetFiltered(true);
    }
    // 4.
    if (cdsParDROFilial.Active()) cdsParDROFilial.Locate("CDFILIAL", {Variant(filial)}, kNoCase);
    // 5.
    if (boCheck) return;
    AjustaBotoesCalculo();
    HabilitaMesBase();
    sbtCalcCard->SetEnabled(Aberto(cdsItensOrcFatCons) && boHabEfet &&
                            cdsItensOrcFatCons.State() != dsEdit && boMaiorVersao);
    if (PaginaFatOuCons()) BotoesPorPagina(false);
    mnuRepliVal->SetEnabled(sbtRepliVal->Enabled());
    // 6.
    const char letter = LetraPagina();
    if (letter == 'F' || letter == 'C') {
        TDBGrid* grid = letter == 'F' ? dbgItOrcFatur : dbgItConsumo;
        const std::string selected =
            grid->SelectedColumn() ? grid->SelectedColumn()->FieldName() : std::string();
        const bool locked = item == "E" || item == "A" || selected == "TOTAL" ||
                            selected == "IDITEMCALCORCA" || selected == NomeCampo() ||
                            cdsItensOrcFatCons.FieldByName("IDACESSOCALC").AsString() == "N" ||
                            !boMaiorVersao;
        SetGridEditing(grid, !locked);
    }
    mnuAlterar->SetEnabled(dtsPadrao.State() == dsBrowse && !cdsItensOrcFatCons.IsEmpty() &&
                           dtsItensOrcamento.State() == dsBrowse && Aberto(cdsItensOrcFatCons) &&
                           Fase() && Acesso(cdsItensOrcFatCons) && boMaiorVersao);
    sbtAlterar->SetEnabled(mnuAlterar->Enabled());
}

void TfrmCalcOrcaOper::cdsItensOrcamentoAfterScroll(TClientDataSet& DataSet) {
    const std::string item = cdsItensOrcamento.FieldByName("IDITEMORCAMENTO").AsString();
    sbtSimulaRes->SetEnabled((item == "P" || item == "R") && boMaiorVersao);
    if (boEditItemOrca && !boCheck && !PaginaFatOuCons() && LetraPagina() != 'T' &&
        cdsItensOrcamento.State() == dsBrowse)
        cdsItensOrcamento.Edit();
    BotoesPorPagina(false);
}

void TfrmCalcOrcaOper::tshFaturBrutoEnter(TObject* Sender) {
    sbtCalcEfet->SetCaption(ModoCalculo() == "N"
                                ? "Cálculo por Efetivos"
                                : "Cálculo por Comensais Est.");
}

void TfrmCalcOrcaOper::tshConsumoEnter(TObject* Sender) {
    sbtCalcCard->SetCaption(ModoCalculo() == "N"
                                ? "Cálculo por Cardápio"
                                : "Cálculo por Comensais Est.");
}
