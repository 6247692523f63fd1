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
    HabilitaAlterar();
}

void TfrmCalcOrcaOper::dbgDiaUtilFilConsEnter(TObject* Sender) {
    HabilitaAlterar();
}

// The focus is still on the working-days grid while it is left: the rule is taken without it.
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
    if (boEditItemOrca && !boCheck && !PaginaFatOuCons() && !cdsItensOrcamento.IsEmpty())
        cdsItensOrcamento.Edit();
    // The items of the new branch on the active page; the entry page needs its mode first.
    if (cdsItensOrcamento.Active()) {
        if (letter == 'E' && cdsTpDespLanEnt.IsEmpty()) LeModoEntradas();
        cdsItensOrcamento.SetFiltered(false);
        cdsItensOrcamento.SetFilter(
            FiltroPagina(letter, cdsOrcamentoFilial.FieldByName("CDFILIAL").AsString()));
        cdsItensOrcamento.SetFiltered(true);
    }
    if (boLoop) return;
    stFiliSelec = cdsOrcamentoFilial.FieldByName("CDFILIAL").AsString();
    // The buttons follow the branch's items: an effected, approved or forbidden branch offers
    // no calculation on them.
    BotoesPorPagina(true);
    AjustaBotoesCalculo();
    HabilitaEfetivar();
    HabilitaAlterar();
    HabilitaSimulacaoPelaLinha(cdsItensOrcamento);
}

void TfrmCalcOrcaOper::cdsItensOrcFatConsAfterScroll(TClientDataSet& DataSet) {
    const std::string item = cdsItensOrcFatCons.FieldByName("IDITEMORCAMENTO").AsString();
    const std::string filial = cdsItensOrcFatCons.FieldByName("CDFILIAL").AsString();
    if (!boLoop) stFiliSelec = filial;
    // The working days and result parameters shown are those of the row's branch.
    if (cdsFeriadoFil.Active()) {
        cdsFeriadoFil.SetFilter("CDFILIAL = '" + filial + "'");
        cdsFeriadoFil.SetFiltered(true);
    }
    if (cdsParDROFilial.Active()) cdsParDROFilial.Locate("CDFILIAL", {Variant(filial)}, kNoCase);
    if (boCheck) return;
    AjustaBotoesCalculo();
    BotoesPorPagina(true);
    HabilitaEfetivar();
    // Only the month and base-month cells of an open, accessible row take typing.
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
    HabilitaAlterar();
    HabilitaSimulacaoPelaLinha(cdsItensOrcFatCons);
}

void TfrmCalcOrcaOper::cdsItensOrcamentoAfterScroll(TClientDataSet& DataSet) {
    if (boEditItemOrca && !boCheck && !PaginaFatOuCons() && LetraPagina() != 'T' &&
        cdsItensOrcamento.State() == dsBrowse)
        cdsItensOrcamento.Edit();
    // A loop over the rows brings the buttons up to date once it ends.
    if (boCheck) return;
    BotoesPorPagina(true);
    BotoesDaPagina();
    HabilitaAlterar();
    HabilitaSimulacaoPelaLinha(cdsItensOrcamento);
}

void TfrmCalcOrcaOper::tshFaturBrutoEnter(TObject* Sender) {
    sbtCalcEfet->SetCaption(ModoCalculo() == "N" ? "Cálculo por Efetivos"
                                                 : "Cálculo por Comensais Est.");
}

void TfrmCalcOrcaOper::tshConsumoEnter(TObject* Sender) {
    sbtCalcCard->SetCaption(ModoCalculo() == "N" ? "Cálculo por Cardápio"
                                                 : "Cálculo por Comensais Est.");
}
