// The expenses dialog at work: a typed month written into the expense's monthly values with
// the expense's total and shares, the toolbar, and the result screen's button that opens it.
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "services/data/EAbort.h"
#include "services/data/TextCase.h"
#include "services/lib/Consiste.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TfrmProcura.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/items/Cli_fyn10340.h"

#include <cassert>

namespace {

double somaTotais(TClientDataSet& despesas) {
    double soma = 0;
    for (despesas.First(); !despesas.Eof(); despesas.Next())
        soma += TfrmSimulaLinha::Valor(despesas, "VRTOTAL");
    return soma;
}

} // namespace

void TfrmSimulaDespDiv::cdsMesBeforePost(TClientDataSet&) {
    if (cdsMes.State() != dsEdit) return;
    TfrmSimulaResult& r = Resultado();
    vrMes = 0;
    stFilial = cdsDespesas.FieldByName("CDFILIAL").AsString();
    const std::string despesa = cdsMes.FieldByName("CDDESPPREV").AsString();
    if (!cdsMesDados.Locate("CDDESPPREV;CDFILIAL", {Variant(despesa), Variant(stFilial)},
                            LocateOptions{true, false}))
        Abort();
    const double valorMes = Valor(cdsMes, "VALOR");
    cdsMesDados.Edit();
    if (const int mes = MesDoNome(cdsMes.FieldByName("NMMES").AsString())) {
        cdsMesDados.FieldByName("VRORCAMENTO" + Abreviatura(mes)).SetAsFloat(valorMes);
        vrMes = Valor(cdsMesDados, "VRFATORCAMENTO" + Abreviatura(mes));
    }
    double total = 0;
    for (int mes = 1; mes <= 12; ++mes)
        total += Valor(cdsMesDados, "VRORCAMENTO" + Abreviatura(mes));
    // The share of billing sets the period's expense against the period's billing.
    double periodo = 0;
    for (const MesDoAno& m : MesesDoPeriodo())
        periodo += Valor(cdsMesDados, "VRORCAMENTO" + Abreviatura(m.mes));
    cdsMesDados.Post();

    cdsDespesas.Edit();
    cdsDespesas.FieldByName("VRTOTAL").SetAsFloat(total);
    cdsDespesas.Post();

    double soma = 0;
    {
        FreezeGuard congelada(cdsDespesas);
        soma = somaTotais(cdsDespesas);
        cdsDespesas.Locate("CDDESPPREV;CDFILIAL", {Variant(despesa), Variant(stFilial)},
                           LocateOptions{true, false});
    }
    const bool semFaturamento =
        r.nbeOrcF->Text().empty() || r.nbeOrcF->GetNumber() == 0 || r.vrsimulacao == 0;
    cdsDespesas.Edit();
    cdsDespesas.FieldByName("PORCFAT").SetAsFloat(semFaturamento ? 0
                                                                 : periodo * 100 / r.vrsimulacao);
    cdsDespesas.FieldByName("PORCDESP").SetAsFloat(total * 100 / (soma == 0 ? 1 : soma));
    cdsMes.FieldByName("FATURAMENTO")
        .SetAsFloat(vrMes == 0 ? 0 : RoundDec(valorMes * 100 / vrMes, 2));
    cdsDespesas.Post();
}

void TfrmSimulaDespDiv::cdsDespesasAfterPost(TClientDataSet&) {
    FreezeGuard congelada(cdsDespesas);
    HandlerGuard semPost(cdsDespesas.AfterPost);
    HandlerGuard semScroll(cdsDespesas.AfterScroll);
    const TBookmark postada = cdsDespesas.GetBookmark();
    const double soma = somaTotais(cdsDespesas);
    for (cdsDespesas.First(); !cdsDespesas.Eof(); cdsDespesas.Next()) {
        const double total = Valor(cdsDespesas, "VRTOTAL");
        cdsDespesas.Edit();
        cdsDespesas.FieldByName("PORCDESP")
            .SetAsFloat(soma == 0 || total == 0 ? 0 : total * 100 / soma);
        cdsDespesas.Post();
    }
    if (cdsDespesas.BookmarkValid(postada)) cdsDespesas.GotoBookmark(postada);
}

void TfrmSimulaDespDiv::cdsMesBeforeEdit(TClientDataSet&) {
    // Effected expenses and months closed to the operator's phase are not simulated.
    if (ItemEfetivado() || cdsMes.FieldByName("IDPERMCALC").AsString() == "N") Abort();
    TfrmSimulaResult& r = Resultado();
    r.boSimulou = true;
    r.boSimulaDd = true;
}

void TfrmSimulaDespDiv::cdsMesBeforeInsert(TClientDataSet&) {
    Abort();
}

void TfrmSimulaDespDiv::cdsMesBeforeDelete(TClientDataSet&) {
    Abort();
}

void TfrmSimulaDespDiv::cdsMesAfterScroll(TClientDataSet&) {
    AjustaEdicaoDoMes();
}

void TfrmSimulaDespDiv::dbgMesKeyPress(TObject*, TKeyChar& Key) {
    const TColumn* coluna = dbgMes->SelectedColumn();
    if (coluna && equalsNoCase(coluna->FieldName(), "VALOR")) {
        const bool aceita = (Key >= U'0' && Key <= U'9') || Key == U'\b' || Key == U'\t' ||
                            Key == U'\r' || (Key >= 37 && Key <= 40) || Key == U',' || Key == U'.';
        if (!aceita) Key = 0;
    }
    FiltraTeclaMes(Key, {"VALOR"}, ItemEfetivado());
}

void TfrmSimulaDespDiv::sbtAlterarClick(TObject*) {
    dbgMes->SetFocus();
    dbgMes->SetSelectedField(&cdsMes.FieldByName("VALOR"));
    HabilitaBotoes();
    cdsMes.Edit();
}

void TfrmSimulaDespDiv::sbtConfirmarClick(TObject*) {
    Finally habilita([this] { HabilitaBotoes(); });
    const TColumn* coluna = dbgMes->SelectedColumn();
    const bool digitado =
        dbgMes->EditorMode() && coluna && equalsNoCase(coluna->FieldName(), "VALOR");
    // Nothing typed keeps the month's value.
    const double numero =
        digitado ? frmCalcOrcaOper->resultValor(dbgMes->EditorText()) : Valor(cdsMes, "VALOR");
    if (!Pergunta("Conf")) return;
    if (cdsMes.State() == dsEdit) {
        cdsMes.FieldByName("VALOR").SetAsFloat(numero);
        cdsMes.Post();
    }
}

void TfrmSimulaDespDiv::sbtCancelarClick(TObject*) {
    Finally habilita([this] { HabilitaBotoes(); });
    if (!Pergunta("Cancel")) return;
    if (EditandoMeses()) cdsMes.Cancel();
}

void TfrmSimulaDespDiv::sbtProcurarClick(TObject*) {
    Procura(dbgPadrao->Focused() ? &cdsDespesas : &cdsMes);
}

void TfrmSimulaDespDiv::sbtVerificarClick(TObject*) {
    if (!Pergunta("Conf_Atu")) return;
    TfrmSimulaResult& r = Resultado();
    {
        Finally habilita([this] { HabilitaBotoes(); });
        for (TClientDataSet* ds : {&cdsDespesas, &cdsMesDados, &cdsMes})
            if (ds->Active()) ds->EmptyDataSet();
        // The same list and months as the load, whether one branch or a list was chosen.
        CarregaDoServidor(r.stCdFilial);
        dbgPadrao->SetFocus();
    }
    r.boSimulaDd = false;
}

void TfrmSimulaDespDiv::HabilitaBotoes() {
    const bool editando = EditandoMeses();
    const bool semMeses = !cdsMes.Active() || cdsMes.IsEmpty();
    Habilita(!dbgPadrao->Focused() && !editando && !semMeses && !ItemEfetivado(),
             !editando && !dbgMes->Focused() && !semMeses);
}

void TfrmSimulaDespDiv::controlaMenu() {
    HabilitaBotoes();
}

std::vector<DataPacket> CriaSimulaDespDiv() {
    return TfrmSimulaLinha::Executa<TfrmSimulaDespDiv>();
}

void TfrmSimulaResult::btnDespDivClick(TObject*) {
    validaFilial(true);
    const double antes = boSimulaDd ? 0 : nbeOrcD->GetNumber();
    const std::vector<DataPacket> pacotes = CriaSimulaDespDiv();
    if (pacotes.size() == 3) {
        cdsDespesas.SetData(pacotes[0]);
        cdsItensDiversas.SetData(pacotes[1]);
        cdsMes.SetData(pacotes[2]);
    }
    if (btnDespDiv->Enabled()) btnDespDiv->SetFocus();
    atualizaValores();
    if (RoundDec(nbeOrcD->GetNumber(), 2) != RoundDec(antes, 2) && !boSimulaDd && boAtualizaGeralDd)
        boSimulaDd = true;
    // The flag stays as the dialog left it: it is what makes the save write the expenses.
    controlaBotoes();
}
