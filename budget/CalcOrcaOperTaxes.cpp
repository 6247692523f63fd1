// Orders the server computes from master data: taxes on billing or consumption, and the
// depreciation of fixed assets. The screen selects, confirms, sends and reads the budget again.
#include "budget/CalcOrcaOperEntryRules.h"
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "budget/dialogs/Cli_fyn10390.h"
#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/net/Arg.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TEdit.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpinEdit.h"

using namespace EntryRules;

namespace {

// Whether a visible row has the field "S", read without moving the cursor (moving the branch
// list filters the items again).
bool anyChecked(const TClientDataSet& ds, const char* field) {
    if (!ds.Active()) return false;
    const int index = ds.FieldByName(field).Index();
    for (int row = 0; row < ds.RecordCount(); ++row)
        if (SameName(ds.RowValue(row, index).toText(), "S")) return true;
    return false;
}

std::string text(const TClientDataSet& ds, const char* field) {
    const TField* f = ds.FindField(field);
    return f && !ds.IsEmpty() ? f->AsString() : std::string();
}

} // namespace

void TfrmCalcOrcaOper::btnCalcImpoClick(TObject* Sender) {
    const bool imposto = pgcOrcamento->ActivePage() == tshImposto;
    std::string tipo = imposto ? "F" : "C";
    const char* campo = imposto ? "IDCHECKI" : "IDCHECKR";
    if (cdsRetorno.Active()) cdsRetorno.EmptyDataSet();
    if (!anyChecked(cdsOrcamentoFilial, campo)) MensErro(msgPadrao.Msg("Inf_Check_Calc"));
    if (Ask(msgPadrao.Msg("Conf"))) {
        Variant answer;
        GravaNoServidor([&] {
            ActiveShowAvi(this, 1, msgPadrao.Msg("Calc"));
            Finally close([] { DeactiveShowAvi(); });
            // A failed call has no answer to read: its message ends the order here.
            answer = CheckResultServ(
                netCalcOrcaOper.AppServer("CalculaImpos",
                                          {Variant(cdsOrcamentoFilial.Data()), speAno->Text(),
                                           edtVersao->Text(), Arg::ref(tipo)}),
                true, 0);
        });
        if (answer.type() == VarType::Packet) cdsRetorno.SetData(answer.packet());
        const std::string retorno = text(cdsRetorno, "Retorno");
        if (retorno == "OK") {
            Informa(msgPadrao.Msg("calc_ok"));
        } else if (retorno == "Erro") {
            // The catalog's text says what to check; the server's says where.
            const std::string motivo = text(cdsRetorno, "MENSAGEM");
            Informa(msgPadrao.Msg("Calc_Imp_Err") + (motivo.empty() ? "" : "\n" + motivo));
        }
    }
    // Whatever was answered, the budget is read once more.
    sbtVerificarClick(Sender);
}

void TfrmCalcOrcaOper::btnCalcDeprecClick(TObject* Sender) {
    if (!anyChecked(cdsItensOrcamento, "IDCHECK")) MensErro(msgPadrao.Msg("FILIAL_N_INF"));
    criaPerCalc();
    if (StrOperac != "S") return;
    std::string periodo = DataTCalc;
    Variant inicio = Variant::fromDate(DataIniCalc), final = Variant::fromDate(DataFinCalc);
    GravaNoServidor([&] {
        CheckResultServ(netCalcOrcaOper.AppServer(
                            "calculaDeprec", {Variant(cdsItensOrcamento.Data()), Arg::ref(periodo),
                                              Arg::ref(inicio), Arg::ref(final), Operador()}),
                        true, 0);
    });
    sbtVerificarClick(Sender);
}

void TfrmCalcOrcaOper::sbtProdDespClick(TObject* Sender) {
    TClientDataSet& item = cdsItensOrcamento;
    // Without an expense item there is nothing to break into products.
    if (!item.Active() || item.IsEmpty() || text(item, "CDDESPPREV").empty())
        MensErro(msgPadrao.Msg("Prod_Item"));
    // The products screen opens read-only on a line that cannot be changed any more.
    const std::string estado = text(item, "IDITEMORCAMENTO");
    stIDITEMORCAMENTO = estado == "E" || estado == "A" ? estado : text(item, "IDSTATUSORCA");
    LoadBPL("FYN10395", {Variant(text(item, "NRANOORCAOP")), Variant(text(item, "CDVERSORCAOP")),
                         Variant(text(item, "CDFILIAL")), Variant(text(item, "NMDESPPREV")),
                         Variant(text(item, "NRSEQITEMORCA")), Variant(text(item, "CDDESPPREV")),
                         Variant(stIDITEMORCAMENTO), Variant("FYN10000")});
    sbtVerificarClick(Sender);
}
