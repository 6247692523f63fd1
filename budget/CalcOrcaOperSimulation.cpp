#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "simulation/Cli_fyn10300.h"

void TfrmCalcOrcaOper::sbtSimulaResClick(TObject* Sender) {
    boclique = true;
    boSimulacao = false;
    {
        Finally fimClique([] { boclique = false; });
        criaSimulaResult();
        TiraSelecaoDoCheck();
        // A simulation saved there must show here.
        boConfirmou = true;
        Finally fimConfirmou([this] { boConfirmou = false; });
        panFiltroExit(Sender);
    }
    if (cdsItensOrcFatCons.Active()) cdsItensOrcFatCons.Cancel();
}
