// The labour dialog's month rows: built for the selected labour line, typed in place, and
// written back into the line's months, its total and its share of billing.
#include "simulation/items/Cli_fyn10330.h"

#include "budget/Finally.h"
#include "services/data/EAbort.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TNumberEdit.h"
#include "simulation/Cli_fyn10300.h"

namespace {

// A labour line is one labour type of one labour budget of one branch: two budgets may share
// a description, never a code.
const char* const kChaveDaLinha = "CDDESPADMFAT;CDORCAMENTOMO;CDFILIAL";

std::vector<Variant> chaveDe(const TClientDataSet& linhas) {
    return {linhas.FieldByName("CDDESPADMFAT").AsVariant(),
            linhas.FieldByName("CDORCAMENTOMO").AsVariant(),
            linhas.FieldByName("CDFILIAL").AsVariant()};
}

} // namespace

void TfrmSimulaMaoObra::cdsTpMaoObraAfterScroll(TClientDataSet&) {
    FreezeGuard congelados(cdsInseriItens);
    HandlerGuard semAntesDeGravar(cdsInseriItens.BeforePost);
    HandlerGuard semDepoisDeGravar(cdsInseriItens.AfterPost);
    HandlerGuard semInclusao(cdsInseriItens.BeforeInsert);
    organizaItensMo();
}

void TfrmSimulaMaoObra::cdsTpMaoObraBeforeEdit(TClientDataSet&) {
    if (!m_gravandoLinha && dbgPadrao->Focused()) Abort();
}

bool TfrmSimulaMaoObra::LocalizaMesesDaLinha() {
    if (!TemLinhas(cdsTpMaoObra) || !TemLinhas(cdsSimulaItensMo)) return false;
    return cdsSimulaItensMo.Locate(kChaveDaLinha, chaveDe(cdsTpMaoObra));
}

double TfrmSimulaMaoObra::FaturamentoDoMes(int mes) const {
    TClientDataSet& total = Resultado().cdsValTotal;
    if (!TemLinhas(cdsTpMaoObra) || !TemLinhas(total)) return 0;
    LocateOptions semCaixa;
    semCaixa.caseInsensitive = true;
    if (!total.Locate("CDFILIAL", {cdsTpMaoObra.FieldByName("CDFILIAL").AsVariant()}, semCaixa))
        return 0;
    return Valor(total, "VRORCAMENTO" + Abreviatura(mes));
}

void TfrmSimulaMaoObra::organizaItensMo() {
    if (!cdsInseriItens.Active()) cdsInseriItens.CreateDataSet();
    cdsInseriItens.EmptyDataSet();
    if (LocalizaMesesDaLinha()) {
        for (const MesDoAno& m : MesesDoPeriodo()) {
            const std::string abreviatura = Abreviatura(m.mes);
            const double valorMes = Valor(cdsSimulaItensMo, "VRORCAMENTO" + abreviatura);
            cdsInseriItens.Append();
            cdsInseriItens.FieldByName("NMMES").SetAsString(NomeMes(m.mes));
            cdsInseriItens.FieldByName("IDORDENACAO").SetAsString(Ajusta(m.posicao));
            cdsInseriItens.FieldByName("IDPERMCALC").SetAsString(PermissaoDoMes(m.mes));
            cdsInseriItens.FieldByName("NDIAUTIL")
                .SetAsFloat(Valor(cdsSimulaItensMo, "NDIAUTIL" + abreviatura));
            cdsInseriItens.FieldByName("VALORMO").SetAsFloat(valorMes);
            // One rule for every month, the same the post applies.
            const double faturamento = FaturamentoDoMes(m.mes);
            cdsInseriItens.FieldByName("PRCMAOOBRA")
                .SetAsFloat(faturamento != 0 ? valorMes * 100 / faturamento : 0.0);
            cdsInseriItens.Post();
        }
    }
    cdsInseriItens.First();
    AjustaEdicaoDoMes();
}

void TfrmSimulaMaoObra::cdsInseriItensBeforeEdit(TClientDataSet&) {
    const TColumn* coluna = dbgItensSimulacao->SelectedColumn();
    if (!coluna || coluna->FieldName() != "VALORMO" || ItemEfetivado() || !TemLinhas(cdsTpMaoObra))
        Abort();
    // A month the phase keeps closed is not reopened by the toolbar's Edit either.
    if (cdsInseriItens.FieldByName("IDPERMCALC").AsString() == "N") Abort();
    TfrmSimulaResult& r = Resultado();
    m_simulavaAntes = r.boSimulaMo;
    r.boSimulou = true;
    r.boSimulaMo = true;
}

void TfrmSimulaMaoObra::cdsInseriItensBeforePost(TClientDataSet&) {
    TfrmSimulaResult& r = Resultado();
    if (!LocalizaMesesDaLinha()) Abort();
    const int mes = MesDoNome(cdsInseriItens.FieldByName("NMMES").AsString());
    if (mes == 0) Abort();
    const double valorMes = Valor(cdsInseriItens, "VALORMO");
    cdsSimulaItensMo.Edit();
    cdsSimulaItensMo.FieldByName("VRORCAMENTO" + Abreviatura(mes)).SetAsFloat(valorMes);
    const double faturamento = FaturamentoDoMes(mes);
    cdsInseriItens.FieldByName("PRCMAOOBRA")
        .SetAsFloat(faturamento != 0 ? valorMes * 100 / faturamento : 0.0);

    double total = 0;
    if (r.stMes == "T") {
        for (int m = 1; m <= 12; ++m)
            total += Valor(cdsSimulaItensMo, "VRORCAMENTO" + Abreviatura(m));
    } else {
        total = Valor(cdsSimulaItensMo, "VRORCAMENTO" + r.msgPadrao.Msg(r.stMes));
    }
    cdsSimulaItensMo.FieldByName("VRTOTMO").SetAsFloat(total);
    cdsSimulaItensMo.Post();

    FreezeGuard congelada(cdsTpMaoObra);
    m_gravandoLinha = true;
    Finally fim([this] { m_gravandoLinha = false; });
    cdsTpMaoObra.Edit();
    cdsTpMaoObra.FieldByName("VRTPMAOOBRA").SetAsFloat(total);
    // Gross billing 0 or no base at all: no share.
    const bool comBase = total != 0 && r.nbeOrcF->GetNumber() != 0;
    cdsTpMaoObra.FieldByName("PERCENTUALMO")
        .SetAsFloat(comBase ? Participacao(total, r.vrsimulacao) : 0.0);
    cdsTpMaoObra.Post();
}

void TfrmSimulaMaoObra::cdsInseriItensAfterPost(TClientDataSet&) {
    const std::string nome = cdsInseriItens.FieldByName("NMMES").AsString();
    const Variant tipo = cdsInseriItens.FieldByName("CDDESPADMFAT").AsVariant();
    {
        FreezeGuard congelados(cdsInseriItens);
        HandlerGuard semAntesDeGravar(cdsInseriItens.BeforePost);
        HandlerGuard semDepoisDeGravar(cdsInseriItens.AfterPost);
        cdsInseriItens.First();
        cdsInseriItens.Locate("CDDESPADMFAT;NMMES", {tipo, Variant(nome)});
    }
    Resultado().boAtualizaGeralMo = false;
}

void TfrmSimulaMaoObra::cdsInseriItensAfterScroll(TClientDataSet&) {
    AjustaEdicaoDoMes();
}

void TfrmSimulaMaoObra::cdsInseriItensBeforeInsert(TClientDataSet&) {
    Abort();
}

void TfrmSimulaMaoObra::cdsInseriItensBeforeDelete(TClientDataSet&) {
    Abort();
}

void TfrmSimulaMaoObra::dbgItensSimulacaoKeyPress(TObject*, TKeyChar& Key) {
    FiltraTeclaMes(Key, {"VALORMO"}, ItemEfetivado());
}

void TfrmSimulaMaoObra::dbgPadraoKeyPress(TObject* Sender, TKeyChar& Key) {
    TfrmSimulaLinha::dbgPadraoKeyPress(Sender, Key);
    if (!TeclaDeControle(Key)) Key = 0;
}
