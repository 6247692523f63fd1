// The entry-expense simulation while the operator works on it: the months typed in place, the
// item's total and shares that follow them, the toolbar and its enabling.
#include "budget/Cli_fyn10000.h"
#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/ScreenRoutines.h"
#include "services/ui/TDBGrid.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/items/Cli_fyn10350.h"

#include <cassert>

void TfrmSimulaEntrada::cdsDespesasEntAfterScroll(TClientDataSet&) {
    FiltraMeses();
    controlaMenu();
}

void TfrmSimulaEntrada::cdsValorMesAfterScroll(TClientDataSet&) {
    AjustaEdicaoDoMes();
}

void TfrmSimulaEntrada::cdsValorMesBeforeEdit(TClientDataSet&) {
    // What the budget keeps closed (an effected or approved item, a month the phase does not
    // open) would be refused by the save: it is not simulated either.
    if (ItemEfetivado() || cdsValorMes.FieldByName("IDPERMCALC").AsString() == "N") Abort();
    assert(frmSimulaResult);
    m_simulouAntes = frmSimulaResult->boSimulou;
    m_simulaDeAntes = frmSimulaResult->boSimulaDe;
    frmSimulaResult->boSimulou = true;
    frmSimulaResult->boSimulaDe = true;
}

void TfrmSimulaEntrada::cdsValorMesBeforePost(TClientDataSet&) {
    TField& valor = cdsValorMes.FieldByName("VRMES");
    if (valor.IsNull()) valor.SetAsFloat(0);
    const int mes = MesDoNome(cdsValorMes.FieldByName("NMMES").AsString());
    cdsValorMes.FieldByName("FATURAMENTO")
        .SetAsFloat(
            Participacao(valor.AsFloat(),
                         FaturamentoDoMes(cdsValorMes.FieldByName("CDFILIAL").AsString(), mes)));
}

void TfrmSimulaEntrada::cdsValorMesAfterPost(TClientDataSet&) {
    const std::string mesGravado = cdsValorMes.FieldByName("CDMES").AsString();
    double total = 0;
    {
        FreezeGuard meses(cdsValorMes);
        HandlerGuard semRolagem(cdsValorMes.AfterScroll);
        for (cdsValorMes.First(); !cdsValorMes.Eof(); cdsValorMes.Next())
            total += cdsValorMes.FieldByName("VRMES").AsFloat();
        cdsValorMes.Locate("CDMES", {Variant(mesGravado)});
    }
    {
        // The item stays the selected one: its months are the rows just walked.
        FreezeGuard itens(cdsDespesasEnt);
        HandlerGuard semRolagem(cdsDespesasEnt.AfterScroll);
        const std::vector<Variant> item{cdsDespesasEnt.FieldByName("CDFILIAL").AsVariant(),
                                        cdsDespesasEnt.FieldByName("NRSEQITEMORCA").AsVariant()};
        cdsDespesasEnt.Edit();
        cdsDespesasEnt.FieldByName("VRENTRADAS").SetAsFloat(total);
        cdsDespesasEnt.Post();
        RecalculaParticipacoes();
        cdsDespesasEnt.Locate("CDFILIAL;NRSEQITEMORCA", item);
    }
    AjustaEdicaoDoMes();
    if (frmSimulaResult) frmSimulaResult->boAtualizaGeralDe = false;
}

void TfrmSimulaEntrada::dbgMesKeyPress(TObject*, TKeyChar& Key) {
    FiltraTeclaMes(Key, {"VRMES"}, ItemEfetivado(), "VrInv");
}

void TfrmSimulaEntrada::sbtAlterarClick(TObject*) {
    if (!cdsValorMes.Active() || cdsValorMes.IsEmpty()) return;
    FocusControl(dbgMeses);
    dbgMeses->SetSelectedField(&cdsValorMes.FieldByName("VRMES"));
    cdsValorMes.Edit();
}

void TfrmSimulaEntrada::sbtConfirmarClick(TObject* Sender) {
    if (!EditandoMeses()) {
        TfrmSimulaLinha::sbtConfirmarClick(Sender);
        return;
    }
    std::string texto;
    GridText(dbgMeses, "VRMES", true, texto);
    assert(frmCalcOrcaOper);
    const double valor = frmCalcOrcaOper->resultValor(texto);
    if (!Pergunta("Conf")) return;
    cdsValorMes.FieldByName("VRMES").SetAsFloat(valor);
    cdsValorMes.Post();
}

void TfrmSimulaEntrada::sbtCancelarClick(TObject* Sender) {
    if (!EditandoMeses()) {
        TfrmSimulaLinha::sbtCancelarClick(Sender);
        return;
    }
    if (!Pergunta("Cancel")) return;
    DescartaEdicao();
}

void TfrmSimulaEntrada::DescartaEdicao() {
    cdsValorMes.Cancel();
    // Months posted before this edit are still simulated.
    if (frmSimulaResult) {
        frmSimulaResult->boSimulou = m_simulouAntes;
        frmSimulaResult->boSimulaDe = m_simulaDeAntes;
    }
}

void TfrmSimulaEntrada::sbtVerificarClick(TObject*) {
    if (!Pergunta("Atu")) return;
    if (cdsSimulaOrig.Active()) cdsSimulaOrig.EmptyDataSet();
    PreparaEntradas();
    if (frmSimulaResult) {
        frmSimulaResult->boSimulaDe = false;
        frmSimulaResult->boSimulaPercDe = false;
    }
}

void TfrmSimulaEntrada::controlaMenu() {
    const bool editando = EditandoMeses();
    const bool semItens = !cdsDespesasEnt.Active() || cdsDespesasEnt.IsEmpty();
    const bool semMeses = !cdsValorMes.Active() || cdsValorMes.IsEmpty();
    Habilita(!dbgPadrao->Focused() && !editando && !ItemEfetivado() && !semItens,
             !editando && !dbgMeses->Focused() && !semMeses);
}
