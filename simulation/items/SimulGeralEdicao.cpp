// Changing the month rows of the general item dialog: which months may be changed, and what a
// changed month does to its item and to the line's total.
#include "budget/Cli_fyn10000.h"
#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/items/Cli_fyn10400.h"

#include <cassert>

namespace {

// Effected or approved.
bool fechado(const std::string& flag) {
    return flag == "E" || flag == "A";
}

std::string texto(const TClientDataSet& ds, const char* campo) {
    const TField* f = ds.FindField(campo);
    return f ? f->AsString() : std::string();
}

} // namespace

bool TfrmSimulGeral::MesEditavel() const {
    if (!cdsInsereItens.Active() || cdsInsereItens.IsEmpty() || cdsServico.IsEmpty()) return false;
    const int mes = cdsInsereItens.FieldByName("NMES").AsInteger();
    const std::string stMes = frmSimulaResult ? frmSimulaResult->stMes : "T";
    if (stMes != "T" && stMes != std::to_string(mes)) return false;
    if (PermissaoDoMes(mes) == "N") return false;
    if (fechado(texto(cdsServico, "IDITEMORCAMENTO")) || fechado(texto(cdsServico, "IDSTATUSORCA")))
        return false;
    if (frmCalcOrcaOper) {
        const TClientDataSet& fase = frmCalcOrcaOper->cdsVerifFaseOper;
        if (fase.Active() && !fase.IsEmpty() && texto(fase, "IDFASECALCORCA") == "N") return false;
    }
    // The branch's budget as the result screen copied it: effected, approved or out of reach.
    const TClientDataSet& filiais = Resultado().cdsOrcFilial;
    const TField* codigo = filiais.Active() ? filiais.FindField("CDFILIAL") : nullptr;
    const TField* situacao = filiais.FindField("IDSTATUSORCA");
    const TField* acesso = filiais.FindField("IDACESSOCALC");
    const std::string filial = texto(cdsServico, "CDFILIAL");
    for (int row = 0; codigo && row < filiais.RecordCount(); ++row) {
        if (filiais.RowValue(row, codigo->Index()).toText() != filial) continue;
        return !(situacao && fechado(filiais.RowValue(row, situacao->Index()).toText())) &&
               !(acesso && filiais.RowValue(row, acesso->Index()).toText() == "N");
    }
    return true;
}

void TfrmSimulGeral::AjustaEdicao() {
    const TColumn* coluna = dbgItens->SelectedColumn();
    if (coluna && coluna->FieldName() == "VRMES" && MesEditavel())
        dbgItens->AddOption(dgEditing);
    else
        dbgItens->RemoveOption(dgEditing);
}

void TfrmSimulGeral::dbgItensKeyPress(TObject*, TKeyChar& Key) {
    FiltraTeclaMes(Key, {"VRMES"}, !MesEditavel());
}

void TfrmSimulGeral::cdsInsereItensBeforeEdit(TClientDataSet& DataSet) {
    if (!MesEditavel()) Abort();
    doVrAnterior = DataSet.FieldByName("VRMES").AsFloat();
}

void TfrmSimulGeral::cdsInsereItensBeforePost(TClientDataSet& DataSet) {
    const std::string n = std::to_string(DataSet.FieldByName("NMES").AsInteger());
    // The result screen's own read carries the billing on the item rows only.
    const TField& doMes = DataSet.FieldByName("VRFATORCAMENTO" + n);
    const TField* doItem = cdsServico.FindField("VRFATORCAMENTO" + n);
    const double faturamento = !doMes.IsNull() ? doMes.AsFloat() : doItem ? doItem->AsFloat() : 0;
    const double valor = DataSet.FieldByName("VRMES").AsFloat();
    DataSet.FieldByName("PORCIMPOST").SetAsFloat(faturamento == 0 ? 0 : valor * 100 / faturamento);
}

void TfrmSimulGeral::cdsInsereItensAfterPost(TClientDataSet& DataSet) {
    const double valor = DataSet.FieldByName("VRMES").AsFloat();
    doTotalGeral = doTotalGeral + valor - doVrAnterior;
    doVrAnterior = valor;
    cdsServico.Edit();
    cdsServico
        .FieldByName(
            msgPadrao.Msg("mes_" + std::to_string(DataSet.FieldByName("NMES").AsInteger())))
        .SetAsFloat(valor);
    cdsServico.FieldByName("TOTAL").SetAsFloat(Resultado().valorPeriodo(cdsServico));
    cdsServico.Post();
}

void TfrmSimulGeral::cdsInsereItensBeforeInsert(TClientDataSet&) {
    Abort();
}

void TfrmSimulGeral::sbtAlterarClick(TObject* Sender) {
    if (dbgItens->Focused()) {
        dbgItens->SetSelectedField(&cdsInsereItens.FieldByName("VRMES"));
        cdsInsereItens.Edit();
        return;
    }
    TfrmSimulaLinha::sbtAlterarClick(Sender);
}
