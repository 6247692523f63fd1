// Effecting: the branches selected on the billing page become the effective budget once every
// item the operator types has all twelve months.
#include "budget/CalcOrcaOperEntryRules.h"
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "services/lib/Consiste.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TPageControl.h"

#include <string_view>

using namespace EntryRules;

namespace {

const LocateOptions kNoCase{true, false};

// The item types whose months the operator must have filled, in the order they are tested.
constexpr std::string_view kTiposTestados = "IOTDRE";

} // namespace

void TfrmCalcOrcaOper::sbtEfetivarClick(TObject*) {
    pgcOrcamento->SetActivePage(tshFaturBruto);
    pgcOrcamentoChange(this);
    if (!cdsItensOrcFatCons.Active() || !TestCheck(cdsItensOrcFatCons))
        MensErro(msgPadrao.Msg("Inf_Check"));
    if (Ask(msgPadrao.Msg("Efet_Todos"))) Efetivar(cdsItensOrcFatCons, "T");
}

void TfrmCalcOrcaOper::TestaItensFilial(const std::string& filial, char tipo) {
    if (tipo == 'T') {
        if (!cdsTxAdm.Active()) return;
        // The fee rows are a dataset of their own; only the branch's rows count.
        for (cdsTxAdm.First(); !cdsTxAdm.Eof(); cdsTxAdm.Next())
            if (SameName(cdsTxAdm.FieldByName("CDFILIAL").AsString(), filial))
                TestaValores(cdsTxAdm);
        return;
    }
    if (!cdsItensOrcamento.Active()) return;
    cdsItensOrcamento.SetFiltered(false);
    cdsItensOrcamento.SetFilter("IDTIPOORCAOP = '" + std::string(1, tipo) + "'AND CDFILIAL = '" +
                                filial + "'");
    cdsItensOrcamento.SetFiltered(true);
    for (cdsItensOrcamento.First(); !cdsItensOrcamento.Eof(); cdsItensOrcamento.Next())
        TestaValores(cdsItensOrcamento);
    cdsItensOrcamento.SetFiltered(false);
}

void TfrmCalcOrcaOper::Efetivar(TClientDataSet& dataSet, const std::string& tipo) {
    TClientDataSet& fc = cdsItensOrcFatCons;
    std::string lista = "_";
    {
        FreezeGuard freezeDataSet(dataSet);
        HandlerGuard filialScroll(cdsOrcamentoFilial.AfterScroll);
        HandlerGuard fatConsScroll(fc.AfterScroll);
        HandlerGuard itensScroll(cdsItensOrcamento.AfterScroll);
        HandlerGuard txAdmScroll(cdsTxAdm.AfterScroll);
        FreezeGuard freezeFiliais(cdsOrcamentoFilial);
        FreezeGuard freezeItens(cdsItensOrcamento);
        FreezeGuard freezeTxAdm(cdsTxAdm);
        boCheck = true;
        ActiveShowAvi(this, 1, "Efetivando");
        // The walks move every cursor and the item filter: all of them come back as they were.
        const std::string filtro = cdsItensOrcamento.Filter();
        const bool filtrado = cdsItensOrcamento.Filtered();
        const std::string filialFc = fc.FieldByName("CDFILIAL").AsString();
        const std::string filialOrc = cdsOrcamentoFilial.FieldByName("CDFILIAL").AsString();
        const std::string filialTx =
            cdsTxAdm.Active() ? cdsTxAdm.FieldByName("CDFILIAL").AsString() : std::string();
        Finally restaura([&] {
            DeactiveShowAvi();
            boLoop = false;
            boCheck = false;
            cdsItensOrcamento.SetFiltered(false);
            cdsItensOrcamento.SetFilter(filtro);
            cdsItensOrcamento.SetFiltered(filtrado);
            fc.Locate("CDFILIAL", {Variant(filialFc)}, kNoCase);
            cdsOrcamentoFilial.Locate("CDFILIAL", {Variant(filialOrc)}, kNoCase);
            if (cdsTxAdm.Active()) cdsTxAdm.Locate("CDFILIAL", {Variant(filialTx)}, kNoCase);
        });

        for (fc.First(); !fc.Eof(); fc.Next())
            if (fc.FieldByName("IDCHECKF").AsString() == "S")
                lista += fc.FieldByName("CDFILIAL").AsString() + "_";

        for (cdsOrcamentoFilial.First(); !cdsOrcamentoFilial.Eof(); cdsOrcamentoFilial.Next()) {
            const std::string filial = cdsOrcamentoFilial.FieldByName("CDFILIAL").AsString();
            if (lista.find("_" + filial + "_") == std::string::npos) continue;
            for (char letra : kTiposTestados)
                TestaItensFilial(filial, letra);
        }
        for (fc.First(); !fc.Eof(); fc.Next())
            if (fc.FieldByName("IDCHECKF").AsString() == "S")
                TestaItensFilial(fc.FieldByName("CDFILIAL").AsString(), 'M');

        std::string letra = tipo;
        CheckResultServ(netCalcOrcaOper.AppServer("Efetivar", {Arg::ref(lista), Arg::ref(letra),
                                                               TextoAno(), NumeroVersao()}),
                        true, 0);
    }
    sbtVerificarClick(this);
    pgcOrcamentoChange(this);
}
