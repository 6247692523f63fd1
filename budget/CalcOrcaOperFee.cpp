// The administrative fee page: its rows are typed like the other budget lines, selected for
// the fee calculation, and kept in edit as one session until Confirm or Cancel.
#include "budget/CalcOrcaOperEntryRules.h"
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/net/Arg.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/ScreenRoutines.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCellStyle.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TGridDrawCell.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TTabSheet.h"

using namespace EntryRules;

namespace {

const LocateOptions kNoCase{true, false};
// Longer month texts are refused rather than converted.
constexpr std::size_t kMaxTexto = 100;

bool closed(const std::string& state) {
    return state == "E" || state == "A";
}

bool isOneOf(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (SameName(name, n)) return true;
    return false;
}

std::string monthField(const char* month) {
    return std::string("VRORCAMENTO") + month;
}

} // namespace

void TfrmCalcOrcaOper::LigaEventosTxAdm() {
    for (const char* month : kMeses)
        cdsTxAdm.FieldByName(monthField(month)).OnSetText =
            [this](TField& f, const std::string& t) { VRORCAMENTOSetText(f, t); };
    cdsTxAdm.BeforeInsert = [this](TClientDataSet& d) { cdsTxAdmBeforeInsert(d); };
    // Rows come from the server and go back there: none is removed on the screen.
    cdsTxAdm.BeforeDelete = [this](TClientDataSet& d) { cdsTxAdmBeforeInsert(d); };
    cdsTxAdm.BeforeEdit = [this](TClientDataSet& d) { cdsTxAdmBeforeEdit(d); };
    cdsTxAdm.BeforePost = [this](TClientDataSet& d) { cdsTxAdmBeforePost(d); };
    cdsTxAdm.BeforeScroll = [this](TClientDataSet& d) { cdsTxAdmBeforeScroll(d); };
    cdsTxAdm.AfterScroll = [this](TClientDataSet& d) { cdsTxAdmAfterScroll(d); };
    dtsTxAdm.OnStateChange = [this](TDataSource&) { dtsTxAdmStateChange(this); };

    dbgTxAdm->OnEnter = [this](TObject* s) { dbgTxAdmColEnter(s); };
    dbgTxAdm->OnColEnter = [this](TObject* s) { dbgTxAdmColEnter(s); };
    dbgTxAdm->OnColExit = [this](TObject* s) { dbgTxAdmColExit(s); };
    dbgTxAdm->OnKeyPress = [this](TObject* s, TKeyChar& k) { dbgTxAdmKeyPress(s, k); };
    dbgTxAdm->OnKeyDown = [this](TObject* s, TKeyCode& k, TShiftState sh) {
        dbgTxAdmKeyDown(s, k, sh);
    };
    dbgTxAdm->OnDblClick = [this](TObject* s) { dbgTxAdmDblClick(s); };
    dbgTxAdm->OnDrawColumnCell = [this](TObject* s, const TGridDrawCell& c, TCellStyle& st) {
        dbgTxAdmDrawColumnCell(s, c, st);
    };
    dbgTxAdm->OnTitleClick = [this](TColumn* c) { dbgTxAdmTitleClick(c); };

    sbtTxAdm->OnClick = [this](TObject* s) { sbtTxAdmClick(s); };
    btnCalcImpo->OnClick = [this](TObject* s) { btnCalcImpoClick(s); };
    btnCalcImpCons->OnClick = btnCalcImpo->OnClick;
    btnCalcDeprec->OnClick = [this](TObject* s) { btnCalcDeprecClick(s); };
    sbtProdDesp->OnClick = [this](TObject* s) { sbtProdDespClick(s); };
}

// --- Rows and totals ------------------------------------------------------------------------

void TfrmCalcOrcaOper::totalTxAdm() {
    // Summed as the server sums it, so an untouched row posts the total it was read with.
    cdsTxAdm.FieldByName("SOMAT").SetAsFloat(EntryRules::MonthSum(cdsTxAdm));
}

void TfrmCalcOrcaOper::dtsTxAdmStateChange(TObject* Sender) {
    dtsPadraoStateChange(Sender);
    if (dtsTxAdm.State() == dsEdit) {
        boEditTxAdm = true;
        HabilitaPaginas(false, tshTxAdm);
    } else {
        boEditTxAdm = false;
        HabilitaPaginas(true);
    }
}

void TfrmCalcOrcaOper::cdsTxAdmBeforeInsert(TClientDataSet&) {
    Abort();
}

void TfrmCalcOrcaOper::cdsTxAdmBeforeEdit(TClientDataSet& DataSet) {
    const bool faseFechada = PhaseClosed(cdsVerifFaseOper);
    if (!faseFechada && DataSet.FieldByName("IDACESSOCALC").AsString() != "N") return;
    if (faseFechada)
        MensErro(
            msgPadrao.Msg("Perm_Fase", cdsVerifFaseOper.FieldByName("NMFASEORCOPERAC").AsString()));
    MensErro(msgPadrao.Msg("Perm_Filial"));
}

void TfrmCalcOrcaOper::cdsTxAdmBeforePost(TClientDataSet& DataSet) {
    // A value confirmed while its cell is still being typed reaches the row only now: the
    // total must follow it.
    if (DataSet.State() == dsEdit) totalTxAdm();
}

// The post before a move re-enters edit on the row being left (the session goes on); that
// edit holds nothing and must not travel with the cursor. The row moved to is put in edit by
// the scroll handler.
void TfrmCalcOrcaOper::cdsTxAdmBeforeScroll(TClientDataSet& DataSet) {
    if (DataSet.State() != dsEdit) return;
    HandlerGuard state(dtsTxAdm.OnStateChange);
    const bool saved = boCheck;
    boCheck = true;
    Finally restore([saved] { boCheck = saved; });
    DataSet.Cancel();
}

void TfrmCalcOrcaOper::cdsTxAdmAfterScroll(TClientDataSet& DataSet) {
    if (boCheck) return;
    dbgTxAdmColEnter(this);
    // Rows read while another page is shown are not the operator's move.
    if (pgcOrcamento->ActivePage() != tshTxAdm) return;
    const Variant filial = DataSet.FieldByName("CDFILIAL").AsVariant();
    if (cdsOrcamentoFilial.Active()) cdsOrcamentoFilial.Locate("CDFILIAL", {filial}, kNoCase);
    if (cdsItensOrcFatCons.Active()) cdsItensOrcFatCons.Locate("CDFILIAL", {filial}, kNoCase);
    // The shared pass, then the fee page's lock, which that pass would otherwise undo.
    dtsTxAdmStateChange(this);
}

// --- The grid -------------------------------------------------------------------------------

void TfrmCalcOrcaOper::dbgTxAdmColEnter(TObject*) {
    const std::string campo = CampoSelecionado(dbgTxAdm);
    SetGridEditing(dbgTxAdm,
                   boMaiorVersao && !isOneOf(campo, {"IDCHECK", "CDFILIAL", "NMFILIAL", "SOMAT"}));
}

void TfrmCalcOrcaOper::dbgTxAdmColExit(TObject*) {
    if (cdsTxAdm.State() != dsEdit) return;
    vd_VrGrids(dbgTxAdm);
    totalTxAdm();
}

void TfrmCalcOrcaOper::dbgTxAdmKeyPress(TObject*, TKeyChar& Key) {
    if (!cdsTxAdm.Active() || cdsTxAdm.IsEmpty()) return;
    // Approved rows are as closed as effected ones: the server refuses both.
    if (Key != U'\t' && closed(cdsTxAdm.FieldByName("IDITEMORCAMENTO").AsString())) Key = 0;
    if (Key == U'e' || Key == U'E' || Key == U'+' || Key == U'-') Key = 0;
    if (cdsTxAdm.State() == dsEdit)
        for (const char* month : kMeses) {
            std::string texto;
            GridText(dbgTxAdm, monthField(month), true, texto);
            if (texto.size() > kMaxTexto) MensErro(msgPadrao.Msg("vrInv"));
        }
}

void TfrmCalcOrcaOper::dbgTxAdmKeyDown(TObject*, TKeyCode& Key, TShiftState) {
    if (Key == VK_SPACE && SameName(CampoSelecionado(dbgTxAdm), "IDCHECK")) {
        Key = 0;
        dbgTxAdmDblClick(dbgTxAdm);
        return;
    }
    if (Key == VK_DELETE && !sbtAlterar->Enabled()) Key = 0;
}

void TfrmCalcOrcaOper::dbgTxAdmDblClick(TObject*) {
    if (!SameName(CampoSelecionado(dbgTxAdm), "IDCHECK")) return;
    if (!cdsTxAdm.Active() || cdsTxAdm.IsEmpty()) return;
    const std::string item = cdsTxAdm.FieldByName("IDITEMORCAMENTO").AsString();
    if (item == "E") MensErro(msgPadrao.Msg("Item_Efet"));
    if (item == "A") MensErro(msgPadrao.Msg("Item_Apr"));
    // A mark is not a typed value: it opens no edit session, and one already open (months
    // typed and not yet confirmed) goes on afterwards.
    const bool sessao = boEditTxAdm;
    boEditTxAdm = false;
    {
        Finally clear([sessao] { boEditTxAdm = sessao; });
        HandlerGuard state(dtsTxAdm.OnStateChange);
        if (cdsTxAdm.State() == dsBrowse) cdsTxAdm.Edit();
        TField& field = cdsTxAdm.FieldByName("IDCHECK");
        field.SetAsString(field.AsString() == "S" ? "N" : "S");
        cdsTxAdm.Post();
    }
    dtsTxAdmStateChange(this);
}

void TfrmCalcOrcaOper::dbgTxAdmDrawColumnCell(TObject*, const TGridDrawCell& Cell,
                                              TCellStyle& Style) {
    DesenhaCelula(Cell, Style, Cell.Text("IDITEMORCAMENTO"));
}

bool TfrmCalcOrcaOper::TxAdmBloqueada(const TClientDataSet& row) {
    return closed(row.FieldByName("IDITEMORCAMENTO").AsString()) ||
           row.FieldByName("IDACESSOCALC").AsString() == "N";
}

void TfrmCalcOrcaOper::dbgTxAdmTitleClick(TColumn* Column) {
    if (!Column || !SameName(Column->FieldName(), "IDCHECK")) return;
    TClientDataSet& ds = cdsTxAdm;
    // Marks are chosen between edit sessions, not inside one.
    if (!ds.Active() || ds.IsEmpty() || ds.State() != dsBrowse) return;
    boTitle = true;
    boCheck = true;
    Finally clear([this] {
        boTitle = false;
        boCheck = false;
    });
    int bloqueadas = 0, marcadas = 0;
    {
        FreezeGuard freeze(ds);
        HandlerGuard scroll(ds.AfterScroll);
        for (ds.First(); !ds.Eof(); ds.Next()) {
            if (TxAdmBloqueada(ds))
                ++bloqueadas;
            else if (ds.FieldByName("IDCHECK").AsString() == "S")
                ++marcadas;
        }
        ds.First();
    }
    std::string valor;
    if (marcadas < (ds.RecordCount() - bloqueadas) / 2.0) {
        if (!Ask(msgPadrao.Msg("Conf_MTodas"))) return;
        valor = "S";
    } else {
        if (!Ask(msgPadrao.Msg("Conf_DTodas"))) return;
        valor = "N";
    }
    {
        FreezeGuard freeze(ds);
        HandlerGuard scroll(ds.AfterScroll);
        // One enabling pass afterwards, not one per row.
        HandlerGuard state(dtsTxAdm.OnStateChange);
        recNo = 0;
        for (ds.First(); !ds.Eof(); ds.Next(), ++recNo) {
            if (TxAdmBloqueada(ds)) continue;
            ds.Edit();
            ds.FieldByName("IDCHECK").SetAsString(valor);
            totalTxAdm();
            ds.Post();
        }
        if (ds.State() == dsEdit) ds.Post();
        ds.First();
    }
    boEditTxAdm = false;
    dtsTxAdmStateChange(this);
}

// --- The fee calculation --------------------------------------------------------------------

bool TfrmCalcOrcaOper::ValoresTxAdmPendentes() const {
    if (!cdsTxAdm.Active()) return false;
    if (boEditTxAdm || cdsTxAdm.State() != dsBrowse || dbgTxAdm->EditorModified()) return true;
    if (cdsTxAdm.ChangeCount() == 0) return false;
    const DataPacket delta = cdsTxAdm.Delta();
    std::vector<int> meses;
    for (const char* month : kMeses)
        meses.push_back(delta.fieldIndex(monthField(month)));
    for (const RowChange& change : delta.changes) {
        if (change.kind != UpdateKind::Modified || change.row < 0) return true;
        const auto& row = delta.rows[static_cast<std::size_t>(change.row)];
        for (int m : meses)
            if (m >= 0 && static_cast<std::size_t>(m) < change.original.size() &&
                !(row[static_cast<std::size_t>(m)] == change.original[static_cast<std::size_t>(m)]))
                return true;
    }
    return false;
}

int TfrmCalcOrcaOper::TxAdmSelecionadas() const {
    if (!cdsTxAdm.Active()) return 0;
    const int check = cdsTxAdm.FieldByName("IDCHECK").Index();
    int count = 0;
    for (int row = 0; row < cdsTxAdm.RecordCount(); ++row)
        if (cdsTxAdm.RowValue(row, check).toText() == "S") ++count;
    return count;
}

void TfrmCalcOrcaOper::sbtTxAdmClick(TObject*) {
    // The server calculates from the marks alone: typed months would be thrown away unsaved.
    if (ValoresTxAdmPendentes()) MensErro(msgPadrao.Msg("TxAdm_Pend"));
    {
        FreezeGuard freeze(cdsTxAdm);
        boCheck = true;
        Finally restaura([] {
            boLoop = false;
            DeactiveShowAvi();
            boCheck = false;
        });
        ActiveShowAvi(this, 1, msgPadrao.Msg("Calculando"));
        if (TxAdmSelecionadas() == 0) MensErro(msgPadrao.Msg("Fil_deve"));
        // The marks travel whether or not they are still pending: once a Confirm has merged
        // them, a null packet would calculate nothing and still be reported as done.
        Variant pacote = Variant(cdsTxAdm.Data());
        Variant inicio = Variant::fromDate(DataIniCalc), final = Variant::fromDate(DataFinCalc);
        std::string periodo = DataTCalc;
        GravaNoServidor([&] {
            const Variant answer = CheckResultServ(
                netCalcOrcaOper.AppServer(
                    "SetTxAdm", {Arg::ref(pacote), "T", TextoAno(), NumeroVersao(), Operador(), "N",
                                 true, false, Variant(cdsParDROFilial.Data()), Arg::ref(periodo),
                                 Arg::ref(inicio), Arg::ref(final)}),
                true, 0);
            // A refusal that still came back as an answer is no success either.
            if (answer.type() == VarType::Packet && answer.packet().fieldIndex("Retorno") >= 0 &&
                !answer.packet().rows.empty() &&
                answer.packet().value(0, "Retorno").toText() != "OK") {
                const int motivo = answer.packet().fieldIndex("MENSAGEM");
                MensErro(motivo >= 0 ? answer.packet().value(0, "MENSAGEM").toText()
                                     : msgPadrao.Msg("Calc_Imp_Err"));
            }
        });
        cdsTxAdm.MergeChangeLog();
    }
    sbtVerificarClick(this);
    pgcOrcamentoChange(this);
    Informa(msgPadrao.Msg("calc_ok"));
}

void TfrmCalcOrcaOper::Informa(const std::string& texto) {
    Application::instance().platform().MessageBox(MessageKind::Information, texto,
                                                  MessageButtons::Ok);
}
