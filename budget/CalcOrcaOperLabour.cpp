#include "budget/Cli_fyn10000.h"
#include "budget/dialogs/Cli_fyn10360.h"
#include "services/data/TextCase.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TPageControl.h"

void TfrmCalcOrcaOper::sbtOrcMaoObraClick(TObject* Sender) {
    bool gerou = false;
    GravaNoServidor([&gerou] { gerou = CriaCalcMaoObraOrc(); });
    if (gerou) sbtVerificarClick(Sender);
    TiraSelecaoDoCheck();
}

void TfrmCalcOrcaOper::TiraSelecaoDoCheck() {
    const TTabSheet* page = pgcOrcamento->ActivePage();
    TDBGrid* grid = page == tshFaturBruto ? dbgItOrcFatur
                    : page == tshConsumo  ? dbgItConsumo
                                          : nullptr;
    if (!grid) return;
    const TField* selected = grid->SelectedField();
    const char* check = grid == dbgItOrcFatur ? "IDCHECKF" : "IDCHECKC";
    // The check column toggles on any key: a selection left there would tick rows by accident.
    if (selected && equalsNoCase(selected->FieldName(), check)) grid->SetSelectedIndex(1);
}
