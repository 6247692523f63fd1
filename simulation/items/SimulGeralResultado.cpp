// The result screen's buttons of the general lines: each opens the general item dialog for its
// line and takes back what the dialog leaves.
#include "services/lib/Consiste.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TNumberEdit.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/items/Cli_fyn10400.h"

#include <cassert>

namespace {

// One general line of the result screen and the flags its dialog touches there.
struct LinhaGeral {
    TButtonFlat* TfrmSimulaResult::*botao;
    char letra;
    const char* titulo;
    const char* campo;
    TNumberEdit* TfrmSimulaResult::*valor;
    bool TfrmSimulaResult::*simulada;
    bool TfrmSimulaResult::*atualizada;
};

const LinhaGeral kLinhasGerais[] = {
    {&TfrmSimulaResult::btnImposto, 'I', "IMPOSTO", "nbeOrcImp", &TfrmSimulaResult::nbeOrcImp,
     &TfrmSimulaResult::boSimulaImp, &TfrmSimulaResult::boImpAtualizado},
    {&TfrmSimulaResult::btnImpRecup, 'R', "RECUPERAR", "nbeOrcR", &TfrmSimulaResult::nbeOrcR,
     &TfrmSimulaResult::boSimulaRecup, &TfrmSimulaResult::boImpRecuAtualizado},
    {&TfrmSimulaResult::btnImpSLucro, 'S', "LUCRO", "nbeOrcLu", &TfrmSimulaResult::nbeOrcLu,
     &TfrmSimulaResult::boSimulaSL, &TfrmSimulaResult::boImpLucroAtualizado},
    {&TfrmSimulaResult::btnInvestimentos, 'N', "INVESTIMENTO", "nbeOrcN",
     &TfrmSimulaResult::nbeOrcN, &TfrmSimulaResult::boSimulaInves,
     &TfrmSimulaResult::boInvestAtualizado},
    {&TfrmSimulaResult::btnDepreciacao, 'P', "DEPRECIACAO", "nbeOrcP", &TfrmSimulaResult::nbeOrcP,
     &TfrmSimulaResult::boSimulaDeprec, &TfrmSimulaResult::boDeprecAtualizado},
    {&TfrmSimulaResult::ButtonFlat4, 'T', "ADMINISTRATIVA", "nbeOrcT", &TfrmSimulaResult::nbeOrcT,
     &TfrmSimulaResult::boSimulaTxAdm, &TfrmSimulaResult::boTaxaAtualizada},
};

// The month values of the line's items, in order: a month moved to another leaves the total
// as it was, yet the line has changed.
std::vector<double> valoresDaLinha(TfrmSimulaResult& r, char letra) {
    std::vector<double> valores;
    TClientDataSet& itens = r.cdsImpRecu;
    if (!itens.Active()) return valores;
    const DataPacket p = itens.Data();
    for (std::size_t row = 0; row < p.rows.size(); ++row) {
        if (p.value(row, "IDTIPOORCAOP").toText() != std::string(1, letra)) continue;
        for (int mes = 1; mes <= 12; ++mes) {
            const Variant& v = p.value(row, "VRORCAMENTO" + TfrmSimulaLinha::Abreviatura(mes));
            valores.push_back(v.isNull() ? 0.0 : v.toDouble());
        }
    }
    return valores;
}

} // namespace

void TfrmSimulaResult::btnSimulGeralClick(TObject* Sender) {
    const LinhaGeral* linha = nullptr;
    for (const LinhaGeral& l : kLinhasGerais)
        if (this->*l.botao == Sender) linha = &l;
    assert(linha && "a general line's button");
    validaFilial(true);
    TButtonFlat* botao = this->*linha->botao;
    TNumberEdit* valor = this->*linha->valor;
    if (linha->letra == 'N' && botao->Enabled()) botao->SetFocus();
    const double antes = RoundDec(valor->GetNumber(), 2);
    const std::vector<double> itensAntes = valoresDaLinha(*this, linha->letra);

    const std::vector<DataPacket> pacotes =
        criaSimulGeral(std::string(1, linha->letra), msgPadrao.Msg(linha->titulo), linha->campo);
    if (pacotes.size() == 2) {
        cdsImpRecu.SetFiltered(false);
        cdsImpRecu.SetData(pacotes[0]);
        cdsMesesRecu.SetFiltered(false);
        cdsMesesRecu.SetData(pacotes[1]);
    }
    const bool mudou = RoundDec(valor->GetNumber(), 2) != antes ||
                       valoresDaLinha(*this, linha->letra) != itensAntes;
    // The fee is marked like the other lines: were it marked only after a discard, a fee
    // changed here would show on its line yet never reach the budget.
    if (mudou && !(this->*linha->atualizada)) this->*linha->simulada = true;
    this->*linha->atualizada = false;
    if (linha->letra == 'T') {
        controlaBotoes();
        atualizaValores();
    } else {
        atualizaValores();
        controlaBotoes();
    }
    if (botao->Enabled()) botao->SetFocus();
}
