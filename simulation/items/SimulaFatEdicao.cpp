// The months of a billing service typed in place: what may be typed where, the month written
// back into the service's budget and total, and the toolbar's edit, confirm, cancel and reload.
#include "services/data/EAbort.h"
#include "services/data/TextCase.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/items/Cli_fyn10310.h"

#include <cassert>

namespace {

bool colunaSelecionada(const TDBGrid* grade, const char* campo) {
    const TColumn* coluna = grade->SelectedColumn();
    return coluna && equalsNoCase(coluna->FieldName(), campo);
}

} // namespace

void TfrmSimulaFat::cdsInseriItensBeforePost(TClientDataSet&) {
    const std::string servico = cdsInseriItens.FieldByName("CDSERVFILI").AsString();
    const std::string filial = cdsInseriItens.FieldByName("CDFILIAL").AsString();
    const bool achou = cdsSimulaItens.Locate(
        "CDSERVFILI;CDFILIAL", {Variant(servico), Variant(filial)}, {.caseInsensitive = true});
    assert(achou && "every month row is built from a service of cdsSimulaItens");
    if (!achou) Abort();
    cdsSimulaItens.Edit();
    const int mes = MesDoNome(cdsInseriItens.FieldByName("NMMES").AsString());
    const double quantidade = Valor(cdsInseriItens, "QTORCADA");
    const double total = Valor(cdsInseriItens, "VRPRECOBASE") * quantidade;
    if (mes != 0) {
        cdsSimulaItens.FieldByName("QTORCAMENTO" + Abreviatura(mes)).SetAsFloat(quantidade);
        cdsSimulaItens.FieldByName("VRORCAMENTO" + Abreviatura(mes)).SetAsFloat(total);
    }
    cdsInseriItens.FieldByName("VRTOTAL").SetAsFloat(total);

    TfrmSimulaResult& r = Resultado();
    double totalServico = 0;
    if (r.stMes == "T") {
        for (int m = 1; m <= 12; ++m)
            totalServico += Valor(cdsSimulaItens, "VRORCAMENTO" + Abreviatura(m));
    } else {
        totalServico = Valor(cdsSimulaItens, "VRORCAMENTO" + r.msgPadrao.Msg(r.stMes));
    }
    cdsSimulaItens.Post();

    FreezeGuard parado(cdsServOrc);
    {
        HandlerGuard semRolagem(cdsServOrc.AfterScroll);
        cdsServOrc.Locate("CDSERVFILI;CDFILIAL", {Variant(servico), Variant(filial)},
                          {.caseInsensitive = true});
    }
    cdsServOrc.Edit();
    const double base = Valor(cdsServOrc, "VRTOTORCA");
    cdsServOrc.FieldByName("VRSERVCORCA").SetAsFloat(totalServico);
    cdsServOrc.FieldByName("PERCENTUALFAT")
        .SetAsFloat(totalServico != 0 && base != 0 ? totalServico * 100 / base : 0.0);
    cdsServOrc.Post();
}

void TfrmSimulaFat::cdsInseriItensBeforeEdit(TClientDataSet&) {
    if (!colunaSelecionada(dbgItensSimulacao, "QTORCADA") &&
        !colunaSelecionada(dbgItensSimulacao, "VRPRECOBASE"))
        Abort();
    if (ItemEfetivado()) Abort();
    TfrmSimulaResult& r = Resultado();
    m_simulaFatAntes = r.boSimulaFat;
    r.boSimulou = true;
    r.boSimulaFat = true;
}

void TfrmSimulaFat::cdsInseriItensBeforeInsert(TClientDataSet&) {
    Abort();
}

void TfrmSimulaFat::cdsInseriItensBeforeDelete(TClientDataSet&) {
    Abort();
}

void TfrmSimulaFat::cdsInseriItensAfterScroll(TClientDataSet&) {
    AjustaEdicaoDoMes();
}

void TfrmSimulaFat::cdsServOrcBeforeEdit(TClientDataSet&) {
    if (boCreate && dbgPadrao->Focused() && !colunaSelecionada(dbgPadrao, "VRSERVCORCA") &&
        cdsServOrc.State() != dsInsert)
        Abort();
}

void TfrmSimulaFat::cdsServOrcBeforeInsert(TClientDataSet&) {
    Abort();
}

void TfrmSimulaFat::dbgItensSimulacaoKeyPress(TObject*, TKeyChar& Key) {
    FiltraTeclaMes(Key, {"QTORCADA", "VRPRECOBASE"}, ItemEfetivado());
}

void TfrmSimulaFat::dbgPadraoKeyPress(TObject* Sender, TKeyChar& Key) {
    TfrmSimulaLinha::dbgPadraoKeyPress(Sender, Key);
    if (Key != 0 && !TeclaDeControle(Key) && !colunaSelecionada(dbgPadrao, "VRSERVCORCA") &&
        cdsServOrc.State() != dsInsert)
        Key = 0;
}

void TfrmSimulaFat::sbtAlterarClick(TObject* Sender) {
    if (!dbgItensSimulacao->Focused()) {
        TfrmSimulaLinha::sbtAlterarClick(Sender);
        return;
    }
    dbgItensSimulacao->SetSelectedField(&cdsInseriItens.FieldByName("QTORCADA"));
    cdsInseriItens.Edit();
}

void TfrmSimulaFat::sbtConfirmarClick(TObject* Sender) {
    if (cdsInseriItens.State() != dsEdit) {
        TfrmSimulaLinha::sbtConfirmarClick(Sender);
        return;
    }
    dbgItensSimulacao->UpdateData();
    cdsInseriItens.Post();
    Resultado().boAtualizaGeralFat = false;
}

void TfrmSimulaFat::sbtCancelarClick(TObject* Sender) {
    if (cdsInseriItens.State() != dsEdit) {
        TfrmSimulaLinha::sbtCancelarClick(Sender);
        return;
    }
    if (!Pergunta("cancel_oper")) return;
    cdsInseriItens.Cancel();
    // Months posted before this edit still make the line simulated.
    Resultado().boSimulaFat = m_simulaFatAntes;
}

void TfrmSimulaFat::sbtVerificarClick(TObject*) {
    if (!Pergunta("Atu")) return;
    TfrmSimulaResult& r = Resultado();
    boAtualiza = true;
    r.boSimulaFat = false;
    r.boSimulaFatManual = false;
    // One read from the server, of the result screen's branch list.
    organizaItensFat();
}
