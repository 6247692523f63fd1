// The arithmetic of the result simulation, the lines fed by the line dialogs, the typing rules
// of the editable lines and the buttons offered while a simulation is in progress.
#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/net/Arg.h"
#include "services/ui/ScreenRoutines.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TPanel.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/ResultadoSimulacao.h"

#include <cassert>

namespace {

TfrmCalcOrcaOper& principal() {
    assert(frmCalcOrcaOper && "the result simulation works on the main screen's budget");
    return *frmCalcOrcaOper;
}

} // namespace

void TfrmSimulaResult::calculaResultado() {
    ResultadoSimulacao r;
    r.fatBruto = nbeOrcF->GetNumber();
    r.impostos = nbeOrcImp->GetNumber();
    r.consumo = nbeOrcC->GetNumber();
    r.maoObra = nbeOrcO->GetNumber();
    r.taxaAdm = nbeOrcT->GetNumber();
    r.despDiversas = nbeOrcD->GetNumber();
    r.despEntradas = nbeOrcE->GetNumber();
    r.impRecuperar = nbeOrcR->GetNumber();
    r.impLucro = nbeOrcLu->GetNumber();
    r.investimentos = nbeOrcN->GetNumber();
    r.depreciacao = nbeOrcP->GetNumber();
    r.sobreFatBruto =
        cdsParamorcaoperac.Active() && !cdsParamorcaoperac.IsEmpty() &&
        cdsParamorcaoperac.FieldByName("IDTIPOSIMULARESULTFAT").AsString() == "FATURAMENTO_BRUTO";
    r.calcula();
    nbeOrcF->SetNumber(r.fatBruto);
    nbeOrcL->SetNumber(r.fatLiquido);
    vrsimulacao = r.base;
    nbeResult->SetNumber(r.resultado);
    nbePrcImp->SetNumber(r.prcImpostos);
    nbePrcL->SetNumber(r.prcFatLiquido);
    nbePrcC->SetNumber(r.prcConsumo);
    nbePrcO->SetNumber(r.prcMaoObra);
    nbePrct->SetNumber(r.prcTaxaAdm);
    nbePrcD->SetNumber(r.prcDespDiversas);
    nbePrcE->SetNumber(r.prcDespEntradas);
    nbePrcR->SetNumber(r.prcImpRecuperar);
    nbePrcN->SetNumber(r.prcInvestimentos);
    nbePrcP->SetNumber(r.prcDepreciacao);
    nbePrcS->SetNumber(r.prcImpLucro);
    nbePrcResult->SetNumber(r.prcResultado);
}

void TfrmSimulaResult::atualizaValores() {
    const auto soma = [this](TClientDataSet& ds) {
        double total = 0;
        for (ds.First(); !ds.Eof(); ds.Next())
            total += valorPeriodo(ds);
        return total;
    };
    if (cdsItensFat.Active() && !cdsItensFat.IsEmpty()) nbeOrcF->SetNumber(soma(cdsItensFat));
    if (cdsItensMo.Active() && !cdsItensMo.IsEmpty()) nbeOrcO->SetNumber(soma(cdsItensMo));
    if (cdsItensDiversas.Active() && !cdsItensDiversas.IsEmpty())
        nbeOrcD->SetNumber(soma(cdsItensDiversas));
    if (cdsentrada.Active() && !cdsentrada.IsEmpty()) {
        cdsTpDespLanEnt.SetData(
            CheckResultServ(principal().netCalcOrcaOper.AppServer("TpDespLanEnt", {}), true, 0)
                .packet());
        const bool porOperacao = !cdsTpDespLanEnt.IsEmpty() &&
                                 cdsTpDespLanEnt.FieldByName("IDORCDESPENTROP").AsString() == "O";
        cdsentrada.SetFilter("IDTIPOORCAOP = 'E' AND " + filtroFil(stCdFilial) +
                             (porOperacao ? " AND CDTIPOOPER <> 'V'" : " AND CDTIPOOPER = 'V'"));
        cdsentrada.SetFiltered(true);
        nbeOrcE->SetNumber(soma(cdsentrada));
        cdsentrada.SetFiltered(false);
        cdsentrada.SetFilter("");
    }
    if (cdsSimulaConsMes.Active() && !cdsSimulaConsMes.IsEmpty()) {
        double total = 0;
        for (cdsSimulaConsMes.First(); !cdsSimulaConsMes.Eof(); cdsSimulaConsMes.Next()) {
            for (int m = 1; m <= 12; ++m) {
                if (stMes != "T" && std::to_string(m) != stMes) continue;
                const TField& f = cdsSimulaConsMes.FieldByName("VRORCA" + std::to_string(m));
                if (!f.IsNull()) total += f.AsFloat();
            }
        }
        nbeOrcC->SetNumber(total);
    }
    calculaResultado();
}

void TfrmSimulaResult::controlaBotoes() {
    bool simulando = false;
    for (bool flag : {boSimulaFat,    boSimulaFatManual,  boSimulaImp,       boSimulaPercImp,
                      boSimulaCons,   boSimulaConsManual, boSimulaPercCons,  boSimulaMo,
                      boSimulaPercMo, boSimulaTxAdm,      boSimulaPercTxAdm, boSimulaDd,
                      boSimulaPercDd, boSimulaDe,         boSimulaPercDe,    boSimulaRecup,
                      boSimulaSL,     boSimulaPercSL,     boSimulaDeprec,    boSimulaPercDeprec,
                      boSimulaInves,  boSimulaPercInves})
        simulando = simulando || flag;
    sbtConfirma->SetEnabled(simulando);
    sbtAtualizar->SetEnabled(simulando);
    // A line is reduced at most once per simulation, and not after its dialog changed it.
    btnReduImp->SetEnabled(!boSimulaImp && !boSimulaPercImp);
    btnReduConsumo->SetEnabled(!boSimulaCons && !boSimulaPercCons);
    btnReduMaoObra->SetEnabled(!boSimulaMo && !boSimulaPercMo);
    btnReduTaxaAdm->SetEnabled(!boSimulaTxAdm && !boSimulaPercTxAdm);
    btnReduDespDiv->SetEnabled(!boSimulaDd && !boSimulaPercDd);
    btnReduDespEntr->SetEnabled(!boSimulaDe && !boSimulaPercDe);
    btnReduImpSobreL->SetEnabled(!boSimulaSL && !boSimulaPercSL);
    btnReduInvestimentos->SetEnabled(!boSimulaInves && !boSimulaPercInves);
    btnReduDeprec->SetEnabled(!boSimulaDeprec && !boSimulaPercDeprec);
    // Unsaved work locks the choice of branches and period.
    SetChildEnabled(panCabecalho, !simulando);
    if (!simulando) AjustaControlesFilial();
    edtNmFilial->SetEnabled(false);
}

void TfrmSimulaResult::VALORTOTAL() {
    TfrmCalcOrcaOper& m = principal();
    cdsValTotal.SetData(
        CheckResultServ(m.netCalcOrcaOper.AppServer("ValorTotal", {AnoTexto(), Arg::ref(stCdFilial),
                                                                   std::to_string(Versao())}),
                        true, 0)
            .packet());
}

void TfrmSimulaResult::validaBotoes() {
    TfrmCalcOrcaOper& m = principal();
    cdsValidaFat.SetData(
        CheckResultServ(
            m.netCalcOrcaOper.AppServer("ValidaFat", {Arg::ref(stCdFilial), AnoTexto(), Versao()}),
            true, 0)
            .packet());
}

namespace {

// At most ten characters in a line box; backspace always passes. A selected text is replaced
// by the key, so it does not count: a shown "1.949.126,84" can still be typed over.
bool LimiteAtingido(const TNumberEdit* edit, TKeyChar& Key) {
    const std::size_t restantes = edit->Text().size() - static_cast<std::size_t>(edit->SelLength());
    if (Key != 8 && restantes >= 10) {
        Key = 0;
        return true;
    }
    return false;
}

// A key that types or erases (not Enter, Tab or Escape).
bool Digitacao(TKeyChar key) {
    return key == 8 || key >= 32;
}

} // namespace

void TfrmSimulaResult::nbeOrcFKeyPress(TObject*, TKeyChar& Key) {
    if (LimiteAtingido(nbeOrcF, Key) || !Digitacao(Key)) return;
    // Typing replaces the line's dialog for the rest of the simulation.
    boSimulaFatManual = true;
    btnFatBrut->SetEnabled(false);
    controlaBotoes();
}

void TfrmSimulaResult::nbeOrcCKeyPress(TObject*, TKeyChar& Key) {
    if (LimiteAtingido(nbeOrcC, Key) || !Digitacao(Key)) return;
    boSimulaConsManual = true;
    if (cdsSimulaConsMes.Active()) cdsSimulaConsMes.EmptyDataSet();
    btnConsumo->SetEnabled(false);
    controlaBotoes();
}

void TfrmSimulaResult::nbeOrcImpKeyPress(TObject*, TKeyChar& Key) {
    LimiteAtingido(nbeOrcImp, Key);
}

void TfrmSimulaResult::nbeOrcFEnter(TObject*) {
    vrFat = nbeOrcF->GetNumber();
}

void TfrmSimulaResult::nbeOrcImpEnter(TObject*) {
    vrImp = nbeOrcImp->GetNumber();
}

void TfrmSimulaResult::nbeOrcCEnter(TObject*) {
    vrCons = nbeOrcC->GetNumber();
}

void TfrmSimulaResult::nbeOrcFExit(TObject*) {
    if (nbeOrcF->GetNumber() != vrFat) calculaResultado();
}

void TfrmSimulaResult::nbeOrcImpExit(TObject*) {
    if (nbeOrcImp->GetNumber() != vrImp) calculaResultado();
}

void TfrmSimulaResult::nbeOrcCExit(TObject*) {
    if (nbeOrcC->GetNumber() != vrCons) calculaResultado();
}

void TfrmSimulaResult::nbeLinhaExit(TObject*) {
    calculaResultado();
}
