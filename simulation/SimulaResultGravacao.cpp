// Saving the simulation into the budget, line by line as the operator confirms, and discarding
// it. A save the server refuses keeps the simulation on screen with the server's message.
#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "services/lib/Consiste.h"
#include "services/net/Arg.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TSpinEdit.h"
#include "simulation/Cli_fyn10300.h"

#include <cassert>

namespace {

TfrmCalcOrcaOper& principal() {
    assert(frmCalcOrcaOper && "the result simulation works on the main screen's budget");
    return *frmCalcOrcaOper;
}

bool confirma(const std::string& texto) {
    return Application::instance().platform().MessageBox(MessageKind::Confirmation, texto,
                                                         MessageButtons::YesNo) == mrYes;
}

bool difere(double a, double b) {
    return RoundDec(a, 2) != RoundDec(b, 2);
}

} // namespace

void TfrmSimulaResult::sbtConfirmaClick(TObject*) {
    validaFilial(true);
    boSimulou = true;
    std::vector<Variant> dados;
    for (TClientDataSet* ds : {&cdsItensFat, &cdsItensMo, &cdsItensDiversas, &cdsentrada,
                               &cdsSimulaConsMes, &cdsImpRecu})
        dados.push_back(ds->Active() ? Variant(ds->Data()) : Variant());
    for (TClientDataSet* ds : {&cdsItensFat, &cdsItensMo, &cdsItensDiversas, &cdsentrada})
        if (ds->Active() && !ds->IsEmpty()) ds->First();
    if (chkFilialLista->Checked() && stCdFilial.empty()) {
        chkFilialLista->SetFocus();
        MensErro(msgPadrao.Msg("Fili_inf"));
    }

    // What the budget holds for the simulated branches.
    double v_TestValFat = 0, v_TestValCons = 0;
    if (cdsItensFatCons.Active()) {
        for (cdsItensFatCons.First(); !cdsItensFatCons.Eof(); cdsItensFatCons.Next()) {
            if (!Pertence(cdsItensFatCons.FieldByName("CDFILIAL").AsString())) continue;
            const std::string tipo = cdsItensFatCons.FieldByName("IDTIPOORCAOP").AsString();
            if (tipo == "F") v_TestValFat += valorPeriodo(cdsItensFatCons);
            if (tipo == "C") v_TestValCons += valorPeriodo(cdsItensFatCons);
        }
    }

    // Each line's answer decides only that line: a No never drops what an earlier Yes chose.
    bool boConsumo =
        difere(v_TestValCons, nbeOrcC->GetNumber()) || boSimulaCons || boSimulaPercCons;
    bool boFaturamento = false, faturamentoDoDialogo = false;
    // Months typed in the billing dialog count even when the total stayed: a value moved
    // from one month to another is still a change the operator expects saved.
    if (difere(nbeOrcF->GetNumber(), v_TestValFat) || boSimulaFat) {
        if (!boSimulaFat) {
            boFaturamento = confirma(msgPadrao.Msg("conf_OrcFat"));
            if (boFaturamento) boAtualizaGeralFat = false;
        } else {
            faturamentoDoDialogo = confirma(msgPadrao.Msg("conf_OrcFat"));
        }
    }
    if (boConsumo) boConsumo = confirma(msgPadrao.Msg("conf_OrcCons"));
    const auto linha = [&](bool dialogo, bool reducao, const char* pergunta) {
        return (dialogo || reducao) && confirma(msgPadrao.Msg(pergunta));
    };
    const bool maoObra = linha(boSimulaMo, boSimulaPercMo, "conf_OrcMo");
    const bool diversas = linha(boSimulaDd, boSimulaPercDd, "conf_OrcDd");
    const bool entrada = linha(boSimulaDe, boSimulaPercDe, "conf_OrcDe");

    struct Geral {
        char tipo;
        TNumberEdit* valor;
        bool dialogo, reducao;
        const char* pergunta;
    };
    const Geral gerais[] = {
        {'I', nbeOrcImp, boSimulaImp, boSimulaPercImp, "conf_OrcImp"},
        {'R', nbeOrcR, boSimulaRecup, false, "conf_orcR"},
        {'S', nbeOrcLu, boSimulaSL, boSimulaPercSL, "conf_orcS"},
        {'P', nbeOrcP, boSimulaDeprec, boSimulaPercDeprec, "conf_orcP"},
        {'N', nbeOrcN, boSimulaInves, boSimulaPercInves, "conf_orcN"},
        {'T', nbeOrcT, boSimulaTxAdm, boSimulaPercTxAdm, "conf_orcT"},
    };
    std::string stImpostoGeral;
    for (const Geral& g : gerais) {
        double soma = 0;
        if (cdsImpRecu.Active()) {
            cdsImpRecu.SetFiltered(false);
            for (cdsImpRecu.First(); !cdsImpRecu.Eof(); cdsImpRecu.Next())
                if (cdsImpRecu.FieldByName("IDTIPOORCAOP").AsString() == std::string(1, g.tipo) &&
                    Pertence(cdsImpRecu.FieldByName("CDFILIAL").AsString()))
                    soma += valorPeriodo(cdsImpRecu);
        }
        if ((difere(soma, g.valor->GetNumber()) || g.dialogo || g.reducao) &&
            confirma(msgPadrao.Msg(g.pergunta)))
            stImpostoGeral += std::string(1, g.tipo) + "_";
    }

    const bool boConfirma = boFaturamento || faturamentoDoDialogo || boConsumo || maoObra ||
                            diversas || entrada || !stImpostoGeral.empty();
    if (boConfirma) {
        if (confirma(msgPadrao.Msg("Conf_Simulacao"))) {
            // The billing dialog's values go only when their question was answered Yes.
            if (!faturamentoDoDialogo) dados[0] = Variant();
            Variant pacotes(std::move(dados));
            std::string ano = speAno ? std::to_string(speAno->Value()) : AnoTexto();
            // A refusal ends here with the server's message: the simulation stays on screen.
            CheckResultServ(
                principal().netCalcOrcaOper.AppServer(
                    "SetSimulacao",
                    {Arg::ref(pacotes), Arg::ref(stCdFilial), ano, Versao(), nbeOrcC->GetNumber(),
                     boConsumo, nbeOrcF->GetNumber(), boFaturamento, nbeOrcImp->GetNumber(), false,
                     maoObra, diversas, entrada, Arg::ref(stImpostoGeral), Arg::ref(stMes)}),
                true, 0);
        }
        principal().boSimulacao = true;
    }

    for (bool* flag :
         {&boSimulaFat,       &boSimulaMo,         &boSimulaDd,        &boSimulaDe,
          &boSimulaCons,      &boSimulaImp,        &boSimulaRecup,     &boSimulaDeprec,
          &boSimulaInves,     &boSimulaTxAdm,      &boSimulaSL,        &boSimulou,
          &boSimulaFatManual, &boSimulaConsManual, &boStateChange,     &boSimulaPercImp,
          &boSimulaPercCons,  &boSimulaPercMo,     &boSimulaPercTxAdm, &boSimulaPercDd,
          &boSimulaPercDe,    &boSimulaPercSL,     &boSimulaPercInves, &boSimulaPercDeprec})
        *flag = false;
    boConfirmaSimul = true;
    controlaBotoes();
    principal().sbtVerificarClick(this);
    organizaItensSimul();
}

void TfrmSimulaResult::sbtAtualizarClick(TObject*) {
    if (!confirma(msgPadrao.Msg("Cancel"))) return;
    boSimulaConsManual = false;
    boSimulaFatManual = false;
    for (bool* flag :
         {&boAtualizaGeralFat, &boAtualizaGeralMo, &boAtualizaGeralDd, &boAtualizaGeralDe,
          &boAtualizaGeralCons, &boAtualizaGeralImp, &boAtualizaGeralRecup, &boAtualizaGeralDeprec,
          &boAtualizaGeralInves, &boAtualizaGeralTxAdm, &boAtualizaGeralSL})
        *flag = true;
    for (bool* flag : {&boSimulou,         &boSimulaFat,      &boSimulaCons,   &boSimulaImp,
                       &boSimulaMo,        &boSimulaTxAdm,    &boSimulaDd,     &boSimulaDe,
                       &boSimulaRecup,     &boSimulaSL,       &boSimulaInves,  &boSimulaDeprec,
                       &boSimulaPercImp,   &boSimulaPercCons, &boSimulaPercMo, &boSimulaPercTxAdm,
                       &boSimulaPercDd,    &boSimulaPercDe,   &boSimulaPercSL, &boSimulaPercInves,
                       &boSimulaPercDeprec})
        *flag = false;
    // The simulated values go with the simulation.
    for (TClientDataSet* ds :
         {&cdsItensFat, &cdsSimulaCons, &cdsSimulaConsMes, &cdsItensMo, &cdsItensDiversas,
          &cdsentrada, &cdsInsereCons, &cdsTpMaoObra, &cdsInseriMo, &cdsDespesas, &cdsMes, &cdsAux})
        if (ds->Active()) ds->EmptyDataSet();
    panCabecalhoExit(this);
    organizaItensSimul();
}
