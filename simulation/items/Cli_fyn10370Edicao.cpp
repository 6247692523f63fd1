// The consumption dialog's month rows: posting into the service, the editing rules, the
// toolbar and its enabling.
#include "budget/Cli_fyn10000.h"
#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TNumberEdit.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/items/Cli_fyn10370.h"

namespace {

// Values and diners count as changed from the cent, as the budget stores them.
bool mudou(const TField& antes, double depois) {
    return RoundDec(TfrmSimulaCons::Numero(antes), 2) != RoundDec(depois, 2) ||
           (antes.IsNull() && depois != 0);
}

double custoMedio(double valor, double comensais) {
    return comensais > 0 ? valor / comensais : 0.0;
}

} // namespace

void TfrmSimulaCons::AtualizaCustoMedio() {
    HandlerGuard<TClientDataSet::Event> antes(cdsInsereItens.BeforePost);
    HandlerGuard<TClientDataSet::Event> edicao(cdsInsereItens.BeforeEdit);
    HandlerGuard<TClientDataSet::Event> rolagem(cdsInsereItens.AfterScroll);
    const bool filtrado = cdsInsereItens.Filtered();
    cdsInsereItens.SetFiltered(false);
    for (cdsInsereItens.First(); !cdsInsereItens.Eof(); cdsInsereItens.Next()) {
        cdsInsereItens.Edit();
        PoeCustoMedio();
        cdsInsereItens.Post();
    }
    cdsInsereItens.SetFiltered(filtrado);
}

void TfrmSimulaCons::PoeCustoMedio() {
    cdsInsereItens.FieldByName("VRPERCMED")
        .SetAsFloat(custoMedio(Numero(cdsInsereItens.FieldByName("VRORCAMENTO")),
                               Numero(cdsInsereItens.FieldByName("QTORCAMENTO"))));
}

void TfrmSimulaCons::cdsInsereItensBeforePost(TClientDataSet& ds) {
    TfrmSimulaResult& r = Resultado();
    const std::string servico = ds.FieldByName("CDSERVFILI").AsString();
    const std::string filial = ds.FieldByName("CDFILIAL").AsString();
    const int mes = ds.FieldByName("MES").AsInteger();
    const double comensaisMes = Numero(ds.FieldByName("QTORCAMENTO"));
    const double valorMes = Numero(ds.FieldByName("VRORCAMENTO"));

    // A month row without its service's months changes nothing but itself.
    const bool doServico =
        mes >= 1 && mes <= 12 &&
        cdsSimulaConsMes.Locate("CDSERVFILI;CDFILIAL", {Variant(servico), Variant(filial)},
                                {true, false});
    if (doServico) {
        cdsSimulaConsMes.Edit();
        TField& qt = cdsSimulaConsMes.FieldByName("QTORCA" + std::to_string(mes));
        TField& vr = cdsSimulaConsMes.FieldByName("VRORCA" + std::to_string(mes));
        if (mudou(qt, comensaisMes) || mudou(vr, valorMes)) m_boAlterou = true;
        qt.SetAsFloat(comensaisMes);
        vr.SetAsFloat(valorMes);
        cdsSimulaConsMes.Post();
    }

    double comensais = 0, valor = 0;
    if (r.stMes == "T") {
        comensais = comensaisMes;
        for (int m = 1; m <= 12; ++m)
            valor += Numero(cdsSimulaConsMes.FieldByName("VRORCA" + std::to_string(m)));
    } else {
        if (const TField* qt = cdsSimulaConsMes.FindField("QTORCA" + r.stMes); qt && !qt->IsNull())
            comensais = qt->AsFloat();
        if (const TField* vr = cdsSimulaConsMes.FindField("VRORCA" + r.stMes); vr && !vr->IsNull())
            valor = vr->AsFloat();
    }
    PoeCustoMedio();

    if (doServico && !cdsSimulaCons.IsEmpty()) {
        // The service's new diners may reorder the services: the month rows stay as they are.
        HandlerGuard<TClientDataSet::Event> rolagem(cdsSimulaCons.AfterScroll);
        cdsSimulaCons.Edit();
        cdsSimulaCons.FieldByName("VRCONSUMO").SetAsFloat(valor);
        cdsSimulaCons.FieldByName("QTCOMENSAIS").SetAsFloat(comensais);
        if (r.nbeOrcL->GetNumber() > 0)
            cdsSimulaCons.FieldByName("VRPERCFAT")
                .SetAsFloat(r.vrsimulacao != 0 ? valor * 100 / r.vrsimulacao : 0.0);
        cdsSimulaCons.Post();
    }

    // A branch without billing in the month keeps the share it had.
    if (mes >= 1 && mes <= 12 && r.cdsValTotal.Active() &&
        r.cdsValTotal.Locate("CDFILIAL", {Variant(filial)}, {true, false})) {
        const double total = Numero(r.cdsValTotal.FieldByName("VRORCAMENTO" + Abreviatura(mes)));
        if (total > 0) ds.FieldByName("FATURAMENTO").SetAsFloat(valorMes * 100 / total);
    }
}

bool TfrmSimulaCons::MesFechado() const {
    if (!cdsInsereItens.Active() || cdsInsereItens.IsEmpty()) return false;
    return PermissaoDoMes(cdsInsereItens.FieldByName("MES").AsInteger()) == "N";
}

void TfrmSimulaCons::cdsInsereItensAfterScroll(TClientDataSet&) {
    if (MesFechado())
        dbgItensSimulacao->RemoveOption(dgEditing);
    else
        dbgItensSimulacao->AddOption(dgEditing);
}

void TfrmSimulaCons::cdsInsereItensBeforeInsert(TClientDataSet&) {
    Abort();
}

void TfrmSimulaCons::cdsInsereItensBeforeEdit(TClientDataSet&) {
    // The save would refuse a closed month and pass over an effected service.
    if (!m_boInterno && (ItemEfetivado() || MesFechado())) Abort();
}

void TfrmSimulaCons::dbgItensSimulacaoKeyPress(TObject*, TKeyChar& Key) {
    FiltraTeclaMes(Key, {"QTORCAMENTO", "VRORCAMENTO"}, ItemEfetivado());
}

bool TfrmSimulaCons::ItemEfetivado() const {
    if (!cdsInsereItens.Active() || cdsInsereItens.IsEmpty()) return false;
    const std::string flag = cdsInsereItens.FieldByName("IDITEMORCAMENTO").AsString();
    return flag == "E" || flag == "A";
}

double TfrmSimulaCons::TotalConsumo() const {
    const int campo = cdsSimulaCons.FieldByName("VRCONSUMO").Index();
    double total = 0;
    for (int linha = 0; linha < cdsSimulaCons.RecordCount(); ++linha) {
        const Variant& v = cdsSimulaCons.RowValue(linha, campo);
        if (!v.isNull()) total += v.toDouble();
    }
    return total;
}

void TfrmSimulaCons::VerificaSimulacao() {
    // Diners changed, or values moved between months, leave the total as it was and must
    // still reach the budget.
    if (m_boAlterou || RoundDec(TotalConsumo(), 2) != RoundDec(doTotalConsumo, 2)) {
        TfrmSimulaResult& r = Resultado();
        r.boAtualizaGeralCons = false;
        r.boSimulaCons = true;
    }
}

void TfrmSimulaCons::sbtAlterarClick(TObject*) {
    if (!dbgItensSimulacao->Focused() || cdsInsereItens.IsEmpty()) return;
    dbgItensSimulacao->SetSelectedField(&cdsInsereItens.FieldByName("QTORCAMENTO"));
    cdsInsereItens.Edit();
}

void TfrmSimulaCons::sbtConfirmarClick(TObject* Sender) {
    TfrmSimulaLinha::sbtConfirmarClick(Sender);
    if (!Pergunta("Conf")) return;
    if (!cdsInsereItens.IsEmpty()) {
        if (!EditandoMeses()) {
            const EdicaoInterna interna(m_boInterno);
            cdsInsereItens.Edit();
        }
        cdsInsereItens.Post();
    }
    VerificaSimulacao();
    EnableButtons(false);
}

void TfrmSimulaCons::sbtCancelarClick(TObject* Sender) {
    TfrmSimulaLinha::sbtCancelarClick(Sender);
    if (!Pergunta("Canc")) return;
    if (EditandoMeses()) cdsInsereItens.Cancel();
    EnableButtons(false);
}

void TfrmSimulaCons::sbtVerificarClick(TObject*) {
    if (!Pergunta("Atu")) return;
    getSimulaCons();
    TfrmSimulaResult& r = Resultado();
    r.boSimulaCons = false;
    r.boSimulaPercCons = false;
    r.boAtualizaGeralCons = true;
    // The budget's values are the new starting point.
    doTotalConsumo = TotalConsumo();
    m_boAlterou = false;
    OrdenaServicos();
}

void TfrmSimulaCons::mnuSairClick(TObject* Sender) {
    TfrmSimulaLinha::mnuSairClick(Sender);
    if (!cdsSimulaCons.IsEmpty()) VerificaSimulacao();
    EnableButtons(false);
}

void TfrmSimulaCons::HabilitaBotoes() {
    EnableButtons(EditandoMeses());
}

void TfrmSimulaCons::EnableButtons(bool editando) {
    const bool semMeses = !cdsInsereItens.Active() || cdsInsereItens.IsEmpty();
    Habilita(!dbgPadrao->Focused() && !editando && !ItemEfetivado(),
             !editando && !dbgItensSimulacao->Focused() && !semMeses);
}
