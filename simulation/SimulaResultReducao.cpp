// The percentage reductions of the result lines: each keeps the share of its line's values that
// the operator types (100 keeps them, 25 leaves a quarter), in the datasets the save sends.
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "services/lib/Consiste.h"
#include "services/net/Arg.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TSpinEdit.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/Cli_fyn10380.h"
#include "simulation/items/TfrmSimulaLinha.h"

#include <cassert>

namespace {

const char* const kMes[12] = {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN",
                              "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"};
// Catalog keys of the month names.
const char* const kNomeMes[12] = {"Janeiro",  "Fevereiro", "Marco",    "Abril",
                                  "Maio",     "Junho",     "Julho",    "Agosto",
                                  "Setembro", "Outubro",   "Novembro", "Dezembro"};

TfrmCalcOrcaOper& principal() {
    assert(frmCalcOrcaOper && "the result simulation works on the main screen's budget");
    return *frmCalcOrcaOper;
}

double reduz(double valor, double p) {
    return RoundDec(valor * p / 100, 2);
}

// The share of `parte` in `todo`, 0 when there is no whole.
double percentual(double parte, double todo) {
    return todo != 0 ? RoundDec(parte * 100 / todo, 2) : 0;
}

// Multiplies a field of the current (edited) row by p / 100; an empty field stays empty.
void reduzCampo(TClientDataSet& ds, const std::string& campo, double p) {
    TField& f = ds.FieldByName(campo);
    if (!f.IsNull()) f.SetAsFloat(reduz(f.AsFloat(), p));
}

double valorCampo(const TClientDataSet& ds, const std::string& campo) {
    const TField* f = ds.FindField(campo);
    return f && !f->IsNull() ? f->AsFloat() : 0;
}

} // namespace

void TfrmSimulaResult::LigaReducoes() {
    btnReduImp->OnClick = [this](TObject* s) { btnReduImpClick(s); };
    btnReduImpSobreL->OnClick = [this](TObject* s) { btnReduImpSobreLClick(s); };
    btnReduInvestimentos->OnClick = [this](TObject* s) { btnReduInvestimentosClick(s); };
    btnReduDeprec->OnClick = [this](TObject* s) { btnReduDeprecClick(s); };
    btnReduTaxaAdm->OnClick = [this](TObject* s) { btnReduTaxaAdmClick(s); };
    btnReduConsumo->OnClick = [this](TObject* s) { btnReduConsumoClick(s); };
    btnReduMaoObra->OnClick = [this](TObject* s) { btnReduMaoObraClick(s); };
    btnReduDespDiv->OnClick = [this](TObject* s) { btnReduDespDivClick(s); };
    btnReduDespEntr->OnClick = [this](TObject* s) { btnReduDespEntrClick(s); };
}

bool TfrmSimulaResult::NoPeriodo(int mes) const {
    return stMes == "T" || stMes == std::to_string(mes);
}

void TfrmSimulaResult::ReduzItensGerais(char tipo, TNumberEdit* linha, bool& reduzida) {
    const double p = CriaReduConsFat();
    if (p <= 0) return;
    double total = 0;
    {
        Finally semFiltro([this] {
            cdsImpRecu.SetFiltered(false);
            cdsImpRecu.SetFilter("");
        });
        cdsImpRecu.SetFilter(std::string("IDTIPOORCAOP = '") + tipo + "' AND " +
                             filtroFil(stCdFilial));
        cdsImpRecu.SetFiltered(true);
        for (cdsImpRecu.First(); !cdsImpRecu.Eof(); cdsImpRecu.Next()) {
            cdsImpRecu.Edit();
            if (stMes == "T") {
                for (const char* mes : kMes)
                    reduzCampo(cdsImpRecu, std::string("VRORCAMENTO") + mes, p);
                // The month rows of the same branch, tax and type.
                const std::string filial = cdsImpRecu.FieldByName("CDFILIAL").AsString();
                const std::string imposto = cdsImpRecu.FieldByName("CDIMPOSTO").AsString();
                if (cdsMesesRecu.Active()) {
                    for (cdsMesesRecu.First(); !cdsMesesRecu.Eof(); cdsMesesRecu.Next()) {
                        if (cdsMesesRecu.FieldByName("CDFILIAL").AsString() != filial ||
                            cdsMesesRecu.FieldByName("CDIMPOSTO").AsString() != imposto ||
                            cdsMesesRecu.FieldByName("IDTIPOORCAOP").AsString() !=
                                std::string(1, tipo))
                            continue;
                        cdsMesesRecu.Edit();
                        reduzCampo(cdsMesesRecu, "VRMES", p);
                        cdsMesesRecu.Post();
                    }
                }
            } else {
                reduzCampo(cdsImpRecu, "VRORCAMENTO" + msgPadrao.Msg(stMes), p);
            }
            // The line shows the period, as every other line does, also for one month.
            const double periodo = valorPeriodo(cdsImpRecu);
            cdsImpRecu.FieldByName("TOTAL").SetAsFloat(periodo);
            total += periodo;
            cdsImpRecu.Post();
        }
    }
    linha->SetNumber(total);
    reduzida = true;
    calculaResultado();
    controlaBotoes();
}

void TfrmSimulaResult::btnReduImpClick(TObject*) {
    ReduzItensGerais('I', nbeOrcImp, boSimulaPercImp);
}

void TfrmSimulaResult::btnReduImpSobreLClick(TObject*) {
    ReduzItensGerais('S', nbeOrcLu, boSimulaPercSL);
}

void TfrmSimulaResult::btnReduInvestimentosClick(TObject*) {
    ReduzItensGerais('N', nbeOrcN, boSimulaPercInves);
}

void TfrmSimulaResult::btnReduDeprecClick(TObject*) {
    ReduzItensGerais('P', nbeOrcP, boSimulaPercDeprec);
}

void TfrmSimulaResult::btnReduTaxaAdmClick(TObject*) {
    ReduzItensGerais('T', nbeOrcT, boSimulaPercTxAdm);
}

void TfrmSimulaResult::btnReduConsumoClick(TObject*) {
    const double p = CriaReduConsFat();
    if (p <= 0) return;
    int versao = Versao();
    Variant pacotes;
    {
        ProgressGuard progresso(this, 1, "");
        pacotes = CheckResultServ(principal().netCalcOrcaOper.AppServer(
                                      "getSimulaCons", {AnoTexto(), Arg::ref(versao),
                                                        Arg::ref(stCdFilial), Arg::ref(stMes)}),
                                  true, 3);
    }
    cdsSimulaCons.SetData(pacotes.array().at(0).packet());
    for (cdsSimulaCons.First(); !cdsSimulaCons.Eof(); cdsSimulaCons.Next()) {
        cdsSimulaCons.Edit();
        const double consumo = reduz(valorCampo(cdsSimulaCons, "VRCONSUMO"), p);
        cdsSimulaCons.FieldByName("VRPERCFAT").SetAsFloat(percentual(consumo, vrsimulacao));
        cdsSimulaCons.FieldByName("VRCONSUMO").SetAsFloat(consumo);
        cdsSimulaCons.Post();
    }
    cdsInsereCons.SetData(pacotes.array().at(1).packet());
    for (cdsInsereCons.First(); !cdsInsereCons.Eof(); cdsInsereCons.Next()) {
        cdsInsereCons.Edit();
        TField& valor = cdsInsereCons.FieldByName("VRORCAMENTO");
        const double reduzido = reduz(valor.IsNull() ? 0 : valor.AsFloat(), p);
        cdsInsereCons.FieldByName("FATURAMENTO").SetAsFloat(percentual(reduzido, vrsimulacao));
        const bool somenteLeitura = valor.ReadOnly();
        valor.SetReadOnly(false);
        valor.SetAsFloat(reduzido);
        valor.SetReadOnly(somenteLeitura);
        cdsInsereCons.Post();
    }
    cdsSimulaConsMes.SetData(pacotes.array().at(2).packet());
    // The line shows the period, as every other line does.
    double total = 0;
    for (cdsSimulaConsMes.First(); !cdsSimulaConsMes.Eof(); cdsSimulaConsMes.Next()) {
        cdsSimulaConsMes.Edit();
        for (int m = 1; m <= 12; ++m) {
            if (!NoPeriodo(m)) continue;
            reduzCampo(cdsSimulaConsMes, "VRORCA" + std::to_string(m), p);
            total += valorCampo(cdsSimulaConsMes, "VRORCA" + std::to_string(m));
        }
        cdsSimulaConsMes.Post();
    }
    boSimulaPercCons = true;
    nbeOrcC->SetNumber(total);
    calculaResultado();
    controlaBotoes();
}

void TfrmSimulaResult::btnReduMaoObraClick(TObject*) {
    const double p = CriaReduConsFat();
    if (p <= 0) return;
    if (!cdsItensMo.Active() || cdsItensMo.IsEmpty() || !boSimulaPercMo) {
        const double faturamento = nbeOrcF->GetNumber();
        const Variant pacotes =
            CheckResultServ(principal().netCalcOrcaOper.AppServer(
                                "GetSimulaMaoObra", {Arg::ref(stCdFilial), AnoTexto(), Versao(),
                                                     Arg::ref(stMes), faturamento}),
                            true, 2);
        cdsItensMo.SetData(pacotes.array().at(0).packet());
        cdsTpMaoObra.SetData(pacotes.array().at(1).packet());
        for (cdsTpMaoObra.First(); !cdsTpMaoObra.Eof(); cdsTpMaoObra.Next()) {
            cdsTpMaoObra.Edit();
            const double tipo = valorCampo(cdsTpMaoObra, "VRTPMAOOBRA");
            if (tipo != 0 && valorCampo(cdsTpMaoObra, "VRTOTFAT") != 0) {
                cdsTpMaoObra.FieldByName("PERCENTUALMO").SetAsFloat(percentual(tipo, faturamento));
                cdsTpMaoObra.FieldByName("VRTPMAOOBRA").SetAsFloat(reduz(tipo, p));
            } else {
                cdsTpMaoObra.FieldByName("PERCENTUALMO").SetAsFloat(0);
            }
            cdsTpMaoObra.Post();
        }
        cdsTpMaoObra.First();
    }
    if (cdsInseriMo.Active()) {
        for (cdsInseriMo.First(); !cdsInseriMo.Eof(); cdsInseriMo.Next()) {
            cdsInseriMo.Edit();
            reduzCampo(cdsInseriMo, "VALORMO", p);
            reduzCampo(cdsInseriMo, "VRTOTMO", p);
            cdsInseriMo.Post();
        }
    }
    double total = 0;
    for (cdsItensMo.First(); !cdsItensMo.Eof(); cdsItensMo.Next()) {
        cdsItensMo.Edit();
        for (int m = 1; m <= 12; ++m) {
            if (!NoPeriodo(m)) continue;
            reduzCampo(cdsItensMo, std::string("VRORCAMENTO") + kMes[m - 1], p);
            total += valorCampo(cdsItensMo, std::string("VRORCAMENTO") + kMes[m - 1]);
        }
        cdsItensMo.Post();
    }
    boSimulaPercMo = true;
    nbeOrcO->SetNumber(total);
    calculaResultado();
    controlaBotoes();
}

void TfrmSimulaResult::btnReduDespDivClick(TObject*) {
    const double p = CriaReduConsFat();
    if (p <= 0) return;
    Variant pacotes;
    {
        ProgressGuard progresso(this, 1, principal().Msg().Msg("Dados"));
        pacotes =
            CheckResultServ(principal().netCalcOrcaOper.AppServer(
                                "GetDespesas", {Arg::ref(stCdFilial), principal().speAno->Value(),
                                                Versao(), Arg::ref(stMes)}),
                            true, 2);
    }
    cdsDespesas.SetData(pacotes.array().at(0).packet());
    cdsItensDiversas.SetData(pacotes.array().at(1).packet());
    double soma = 0, linha = 0;
    for (cdsDespesas.First(); !cdsDespesas.Eof(); cdsDespesas.Next())
        soma += reduz(valorCampo(cdsDespesas, "VRTOTAL"), p);
    for (cdsDespesas.First(); !cdsDespesas.Eof(); cdsDespesas.Next()) {
        cdsDespesas.Edit();
        const double valor = reduz(valorCampo(cdsDespesas, "VRTOTAL"), p);
        cdsDespesas.FieldByName("VRTOTAL").SetAsFloat(valor);
        cdsDespesas.FieldByName("PORCDESP").SetAsFloat(percentual(valor, soma));
        cdsDespesas.FieldByName("PORCFAT").SetAsFloat(percentual(valor, vrsimulacao));
        cdsDespesas.Post();
        linha += valor;
    }
    for (cdsItensDiversas.First(); !cdsItensDiversas.Eof(); cdsItensDiversas.Next()) {
        cdsItensDiversas.Edit();
        for (int m = 1; m <= 12; ++m)
            if (NoPeriodo(m))
                reduzCampo(cdsItensDiversas, std::string("VRORCAMENTO") + kMes[m - 1], p);
        cdsItensDiversas.Post();
    }
    // The month rows of every expense from the version's first month, the values already
    // reduced above; each month's share is of its branch's billing of that month.
    if (!cdsMes.Active()) {
        cdsMes.AddField("CDFILIAL", FieldType::String, 4);
        cdsMes.AddField("CDDESPPREV", FieldType::String, 3);
        cdsMes.AddField("NMMES", FieldType::String, 20).SetDisplayLabel("Mês");
        cdsMes.AddField("VALOR", FieldType::Float);
        cdsMes.AddField("IDORDENA", FieldType::Integer);
        cdsMes.AddField("IDPERMCALC", FieldType::String, 1);
        cdsMes.AddField("FATURAMENTO", FieldType::Float).SetDisplayLabel("% Faturamento");
        cdsMes.CreateDataSet();
    } else {
        cdsMes.EmptyDataSet();
    }
    if (!cdsValTotal.Active()) VALORTOTAL();
    const auto faturamentoDoMes = [this](const std::string& filial, int mes) {
        for (cdsValTotal.First(); !cdsValTotal.Eof(); cdsValTotal.Next())
            if (cdsValTotal.FieldByName("CDFILIAL").AsString() == filial)
                return valorCampo(cdsValTotal, std::string("VRORCAMENTO") + kMes[mes - 1]);
        return 0.0;
    };
    const int inicio = MesInicialVersao();
    if (!cdsDespesas.IsEmpty()) {
        for (cdsItensDiversas.First(); !cdsItensDiversas.Eof(); cdsItensDiversas.Next()) {
            const std::string filial = cdsItensDiversas.FieldByName("CDFILIAL").AsString();
            const std::string despesa = cdsItensDiversas.FieldByName("CDDESPPREV").AsString();
            for (int k = 1; k <= 12; ++k) {
                const int m = (inicio - 1 + k - 1) % 12 + 1;
                const double valor =
                    valorCampo(cdsItensDiversas, std::string("VRORCAMENTO") + kMes[m - 1]);
                cdsMes.Append();
                cdsMes.FieldByName("IDORDENA").SetAsInteger(k);
                cdsMes.FieldByName("CDFILIAL").SetAsString(filial);
                cdsMes.FieldByName("CDDESPPREV").SetAsString(despesa);
                cdsMes.FieldByName("NMMES").SetAsString(msgPadrao.Msg(kNomeMes[m - 1]));
                // The dialog reopens on these rows: a month closed to the phase stays closed.
                cdsMes.FieldByName("IDPERMCALC").SetAsString(TfrmSimulaLinha::PermissaoDoMes(m));
                cdsMes.FieldByName("VALOR").SetAsFloat(valor);
                cdsMes.FieldByName("FATURAMENTO")
                    .SetAsFloat(percentual(valor, faturamentoDoMes(filial, m)));
                cdsMes.Post();
            }
        }
    }
    nbeOrcD->SetNumber(linha);
    boSimulaPercDd = true;
    calculaResultado();
    controlaBotoes();
}

void TfrmSimulaResult::btnReduDespEntrClick(TObject*) {
    const double p = CriaReduConsFat();
    if (p <= 0) return;
    if (!cdsentrada.Active() || cdsentrada.IsEmpty() || (boAtualizaGeralDe && !boSimulaPercDe)) {
        if (!cdsAux.Active() || cdsAux.IsEmpty())
            cdsAux.SetData(principal().cdsItensOrcamento.Data());
        // The entry items of the simulated branches, whether one or a list.
        DataPacket itens = cdsAux.Data();
        DataPacket entrada;
        entrada.fields = itens.fields;
        for (std::size_t r = 0; r < itens.rows.size(); ++r) {
            const Variant& tipo = itens.value(r, "IDTIPOORCAOP");
            const Variant& filial = itens.value(r, "CDFILIAL");
            if (!tipo.isNull() && tipo.toText() == "E" && !filial.isNull() &&
                Pertence(filial.toText()))
                entrada.rows.push_back(itens.rows[r]);
        }
        cdsentrada.SetData(std::move(entrada));
    }
    double total = 0;
    for (cdsentrada.First(); !cdsentrada.Eof(); cdsentrada.Next()) {
        cdsentrada.Edit();
        for (int m = 1; m <= 12; ++m) {
            if (!NoPeriodo(m)) continue;
            reduzCampo(cdsentrada, std::string("VRORCAMENTO") + kMes[m - 1], p);
            total += valorCampo(cdsentrada, std::string("VRORCAMENTO") + kMes[m - 1]);
        }
        cdsentrada.Post();
    }
    nbeOrcE->SetNumber(total);
    boSimulaPercDe = true;
    calculaResultado();
    controlaBotoes();
}
