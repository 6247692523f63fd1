// Monthly value entry: the conversion of typed text, the key filters and column exits of the
// grids, and the edit-mode rules that keep a row in edit until Confirm or Cancel.
#include "budget/CalcOrcaOperEntryRules.h"
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "services/data/EAbort.h"
#include "services/data/NumberFormat.h"
#include "services/lib/Consiste.h"
#include "services/ui/ScreenRoutines.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TDateEditPlus.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"
#include "services/ui/TTabSheet.h"

using namespace EntryRules;

void TfrmCalcOrcaOper::LigaEventosEntrada() {
    // Attached once: the hidden date box exists from then on.
    if (ValidDate) return;
    for (const char* month : kMeses)
        for (TClientDataSet* cds : {&cdsItensOrcFatCons, &cdsItensOrcamento})
            cds->FieldByName(std::string("VRORCAMENTO") + month).OnSetText =
                [this](TField& f, const std::string& t) { VRORCAMENTOSetText(f, t); };
    cdsItensOrcFatCons.FieldByName("DTMESBASEITEM").OnSetText =
        [this](TField& f, const std::string& t) { cdsItensOrcFatConsDTMESBASEITEMSetText(f, t); };

    auto recusa = [this](TClientDataSet& d) { RecusaInclusaoExclusao(d); };
    for (TClientDataSet* cds : {&cdsItensOrcFatCons, &cdsItensOrcamento, &cdsOrcamentoFilial})
        cds->BeforeInsert = recusa;
    for (TClientDataSet* cds :
         {&cdsItensOrcFatCons, &cdsItensOrcamento, &cdsOrcamentoFilial, &cdsFeriadoFil})
        cds->BeforeDelete = recusa;
    m_fatConsBeforePost = [this](TClientDataSet& d) { cdsItensOrcFatConsBeforePost(d); };
    m_fatConsAfterPost = [this](TClientDataSet& d) { cdsItensOrcFatConsAfterPost(d); };
    m_itensBeforePost = [this](TClientDataSet& d) { cdsItensOrcamentoBeforePost(d); };
    m_itensAfterPost = [this](TClientDataSet& d) { cdsItensOrcamentoAfterPost(d); };
    m_itensBeforeEdit = [this](TClientDataSet& d) { cdsItensOrcamentoBeforeEdit(d); };
    cdsItensOrcFatCons.BeforePost = m_fatConsBeforePost;
    cdsItensOrcFatCons.AfterPost = m_fatConsAfterPost;
    cdsItensOrcFatCons.BeforeEdit = [this](TClientDataSet& d) { cdsItensOrcFatConsBeforeEdit(d); };
    cdsItensOrcFatCons.BeforeScroll = [this](TClientDataSet& d) {
        cdsItensOrcFatConsBeforeScroll(d);
    };
    cdsItensOrcamento.BeforePost = m_itensBeforePost;
    cdsItensOrcamento.AfterPost = m_itensAfterPost;
    cdsItensOrcamento.BeforeEdit = m_itensBeforeEdit;
    cdsItensOrcamento.BeforeScroll = [this](TClientDataSet& d) {
        cdsItensOrcamentoBeforeScroll(d);
    };
    // The billing row the operator moved to resumes the edit once the move is done.
    dtsPadrao.OnDataChange = [this](TDataSource&, TField* field) {
        if (field || !m_reeditaFatCons) return;
        m_reeditaFatCons = false;
        ReeditaAposMover(cdsItensOrcFatCons);
    };

    dbgItOrcFatur->OnKeyPress = [this](TObject* s, TKeyChar& k) { dbgItOrcFaturKeyPress(s, k); };
    dbgItConsumo->OnKeyPress = [this](TObject* s, TKeyChar& k) { dbgItConsumoKeyPress(s, k); };
    dbgItOrcFatur->OnKeyDown = [this](TObject* s, TKeyCode& k, TShiftState sh) {
        dbgItOrcFaturKeyDown(s, k, sh);
    };
    dbgItConsumo->OnKeyDown = [this](TObject* s, TKeyCode& k, TShiftState sh) {
        dbgItConsumoKeyDown(s, k, sh);
    };
    dbgItOrcFatur->OnColEnter = [this](TObject* s) { dbgItOrcFaturColEnter(s); };
    dbgItConsumo->OnColEnter = [this](TObject* s) { dbgItConsumoColEnter(s); };
    dbgItOrcFatur->OnColExit = [this](TObject* s) { dbgItOrcFaturColExit(s); };
    dbgItConsumo->OnColExit = [this](TObject* s) { dbgItConsumoColExit(s); };

    for (TDBGrid* grid : {dbgImposto, dbgMaoObra, dbgMatriz, dbgDiversas, dbgEntradas, dbgImpRecup,
                          dbgImpSobLuc, dbgInvest, dbgDeprec})
        grid->OnKeyPress = [this](TObject* s, TKeyChar& k) { dbgItensKeyPress(s, k); };
    for (TDBGrid* grid :
         {dbgImposto, dbgMaoObra, dbgDiversas, dbgEntradas, dbgImpRecup, dbgImpSobLuc, dbgInvest})
        grid->OnKeyDown = [this](TObject* s, TKeyCode& k, TShiftState sh) {
            dbgItensKeyDown(s, k, sh);
        };
    dbgDeprec->OnKeyDown = [this](TObject* s, TKeyCode& k, TShiftState sh) {
        dbgDeprecKeyDown(s, k, sh);
    };
    dbgMatriz->OnKeyDown = [this](TObject* s, TKeyCode& k, TShiftState sh) {
        dbgMatrizKeyDown(s, k, sh);
    };
    for (TDBGrid* grid :
         {dbgImposto, dbgMaoObra, dbgMatriz, dbgEntradas, dbgImpRecup, dbgImpSobLuc, dbgInvest})
        grid->OnColExit = [this](TObject* s) { dbgItensColExit(s); };
    dbgDiversas->OnColExit = [this](TObject* s) { dbgDiversasColExit(s); };
    dbgDeprec->OnEnter = [this](TObject* s) { dbgDeprecEnter(s); };
    dbgDeprec->OnColEnter = [this](TObject* s) { dbgDeprecColEnter(s); };
    dbgDeprec->OnColExit = [this](TObject* s) { dbgDeprecColExit(s); };

    LigaEventosChecks();

    ValidDate = new TDateEditPlus(this);
    ValidDate->SetName("ValidDate");
    ValidDate->SetParent(tshConsumo);
    ValidDate->SetVisible(false);
}

// --- Conversion and storing ---------------------------------------------------------------

double TfrmCalcOrcaOper::resultValor(const std::string& texto) const {
    std::string digits;
    for (char c : Trim(texto))
        if (c != '.') digits += c;
    if (digits.empty()) return 0;
    bool ok = false;
    const double value = TextToFloat(digits, ok);
    // Text that is not a number changes nothing.
    if (!ok) MensErro(msgPadrao.Msg("vrInv"));
    return value;
}

TDBGrid* TfrmCalcOrcaOper::GradeValoresPagina() const {
    switch (LetraPagina()) {
    case 'F':
        return dbgItOrcFatur;
    case 'C':
        return dbgItConsumo;
    case 'T':
        return dbgTxAdm;
    case 'I':
        return dbgImposto;
    case 'O':
        return dbgMaoObra;
    case 'M':
        return dbgMatriz;
    case 'D':
        return dbgDiversas;
    case 'R':
        return dbgImpRecup;
    case 'S':
        return dbgImpSobLuc;
    case 'N':
        return dbgInvest;
    case 'P':
        return dbgDeprec;
    case 'E':
        return dbgEntradas;
    default:
        return dbgItOrcFatur;
    }
}

TClientDataSet& TfrmCalcOrcaOper::DataSetValoresPagina() const {
    const char letter = LetraPagina();
    if (letter == 'F' || letter == 'C') return const_cast<TClientDataSet&>(cdsItensOrcFatCons);
    if (letter == 'T') return const_cast<TClientDataSet&>(cdsTxAdm);
    return const_cast<TClientDataSet&>(cdsItensOrcamento);
}

bool TfrmCalcOrcaOper::CampoMes(const std::string& fieldName) {
    return IsMonthField(fieldName);
}

std::string TfrmCalcOrcaOper::CampoSelecionado(const TDBGrid* grid) {
    return grid && grid->SelectedColumn() ? grid->SelectedColumn()->FieldName() : std::string();
}

void TfrmCalcOrcaOper::vrGrids(const std::string& mes) {
    const std::string campo = "VRORCAMENTO" + mes;
    std::string texto;
    GridText(GradeValoresPagina(), campo, true, texto);
    DataSetValoresPagina().FieldByName(campo).SetAsFloat(resultValor(texto));
}

void TfrmCalcOrcaOper::VRORCAMENTOSetText(TField& Sender, const std::string& Text) {
    TDBGrid* grid = GradeValoresPagina();
    // Text set by code rather than typed in the page's grid is converted as given.
    if (&Sender.DataSet() != &DataSetValoresPagina() ||
        !SameName(CampoSelecionado(grid), Sender.FieldName())) {
        Sender.SetAsFloat(resultValor(Text));
        return;
    }
    vrGrids(Sender.FieldName().substr(std::string("VRORCAMENTO").size()));
}

void TfrmCalcOrcaOper::cdsItensOrcFatConsDTMESBASEITEMSetText(TField& Sender,
                                                              const std::string& Text) {
    std::string texto = Text;
    TDBGrid* grid = LetraPagina() == 'F' ? dbgItOrcFatur : dbgItConsumo;
    if (SameName(CampoSelecionado(grid), "DTMESBASEITEM"))
        GridText(grid, "DTMESBASEITEM", true, texto);
    const std::string t = Trim(texto);
    if (t.empty() || t == "/") {
        Sender.Clear();
        return;
    }
    double days = 0;
    if (!BaseMonthDate(t, days)) MensErro("\"1/" + t + "\" " + msgPadrao.Msg("Date_Inv"));
    Sender.SetAsDateTime(days);
}

void TfrmCalcOrcaOper::vd_VrGrids(TDBGrid* grid) {
    TField* field = grid ? grid->SelectedField() : nullptr;
    if (!field || !CampoMes(field->FieldName())) return;
    const TDataSetState state = field->DataSet().State();
    if (state != dsEdit && state != dsInsert) return;
    if (Trim(grid->EditorText()).empty()) field->SetAsFloat(0);
}

void TfrmCalcOrcaOper::atualizaVrItens(TDBGrid* grid, TClientDataSet& dataSet) {
    if (dataSet.State() == dsBrowse) dataSet.Edit();
    TField* field = grid ? grid->SelectedField() : nullptr;
    if (!field || !CampoMes(field->FieldName()) || &field->DataSet() != &dataSet) return;
    const std::string texto = grid->EditorText();
    if (!Trim(texto).empty()) field->SetAsFloat(resultValor(texto));
}

bool TfrmCalcOrcaOper::TestaValores(TClientDataSet& dataSet) {
    const std::string filial = cdsItensOrcFatCons.FieldByName("CDFILIAL").AsString();
    if (cdsParDROFilial.Active())
        cdsParDROFilial.Locate("CDFILIAL", {Variant(filial)}, {true, false});
    bool exige = true;
    if (&dataSet == &cdsItensOrcFatCons)
        exige = dataSet.FieldByName("IDTIPOORCAOP").AsString() != "C" &&
                cdsParDROFilial.FieldByName("IDFATUROP").AsString() != "FE" &&
                cdsParDROFilial.FieldByName("IDDETALHEFATUR").AsString() != "M";
    bool erro = false;
    if (exige)
        for (const char* month : kMeses)
            if (dataSet.FieldByName(std::string("VRORCAMENTO") + month).IsNull()) erro = true;
    if (erro) MensErro(msgPadrao.Msg("Item_Inf"));
    return erro;
}

void TfrmCalcOrcaOper::total() {
    if (cdsItensOrcamento.State() == dsBrowse) return;
    cdsItensOrcamento.FieldByName("SOMAT").SetAsFloat(MonthSum(cdsItensOrcamento));
}

void TfrmCalcOrcaOper::vd_MesBase(double data) {
    int year = 0, month = 0, day = 0;
    DecodeDate(data, year, month, day);
    if (std::atoi(speAno->Text().c_str()) < year) MensErro(msgPadrao.Msg("Mes_Maior_Ano"));
}

// --- Dataset events -------------------------------------------------------------------------

void TfrmCalcOrcaOper::RecusaInclusaoExclusao(TClientDataSet&) {
    Abort();
}

void TfrmCalcOrcaOper::cdsItensOrcFatConsBeforeEdit(TClientDataSet&) {
    if (!boCheck && !boEditTxAdm) boEditItemOrca = true;
}

void TfrmCalcOrcaOper::cdsItensOrcamentoBeforeEdit(TClientDataSet& DataSet) {
    const std::string item = DataSet.FieldByName("IDITEMORCAMENTO").AsString();
    if (item == "E" || item == "A") Abort();
    RecusaSemPermissao(DataSet, false);
    if (!boCheck && !boEditTxAdm) boEditItemOrca = true;
}

void TfrmCalcOrcaOper::RecusaSemPermissao(const TClientDataSet& row, bool cancelaFatCons) {
    const bool faseFechada = PhaseClosed(cdsVerifFaseOper);
    if (!faseFechada && row.FieldByName("IDACESSOCALC").AsString() != "N") return;
    if (cancelaFatCons && cdsItensOrcFatCons.State() != dsBrowse) cdsItensOrcFatCons.Cancel();
    if (faseFechada)
        MensErro(
            msgPadrao.Msg("Perm_Fase", cdsVerifFaseOper.FieldByName("NMFASEORCOPERAC").AsString()));
    MensErro(msgPadrao.Msg("Perm_Filial"));
}

void TfrmCalcOrcaOper::cdsItensOrcFatConsBeforePost(TClientDataSet& DataSet) {
    if (DataSet.State() != dsEdit) return;
    TDBGrid* grid = LetraPagina() == 'F' ? dbgItOrcFatur : dbgItConsumo;
    if (SameName(CampoSelecionado(grid), "DTMESBASEITEM")) {
        std::string texto;
        GridText(grid, "DTMESBASEITEM", true, texto);
        const std::string t = Trim(texto);
        if (!t.empty() && t != "/") DataSet.FieldByName("DTMESBASEITEM").SetText(t);
    }
    vd_VrGrids(grid);
}

void TfrmCalcOrcaOper::cdsItensOrcamentoBeforePost(TClientDataSet& DataSet) {
    const char letter = LetraPagina();
    if (std::string("IOMDRSNP").find(letter) != std::string::npos && DataSet.State() == dsEdit)
        vd_VrGrids(GradeValoresPagina());
    total();
}

void TfrmCalcOrcaOper::ReeditaAposMover(TClientDataSet& dataSet) {
    if (boEditItemOrca && !boCheck && dataSet.State() == dsBrowse && !dataSet.IsEmpty())
        dataSet.Edit();
}

void TfrmCalcOrcaOper::cdsItensOrcFatConsAfterPost(TClientDataSet& DataSet) {
    ReeditaAposMover(DataSet);
}

void TfrmCalcOrcaOper::cdsItensOrcamentoAfterPost(TClientDataSet& DataSet) {
    ReeditaAposMover(DataSet);
}

// The post that precedes every move puts the row straight back in edit; that edit belongs to
// the row being left and must not travel with the cursor. It is dropped here (it holds no
// change) and the row moved to is put in edit once the move is done.
void TfrmCalcOrcaOper::cdsItensOrcFatConsBeforeScroll(TClientDataSet& DataSet) {
    if (DataSet.State() != dsEdit) return;
    const bool saved = boCheck;
    boCheck = true;
    Finally restore([saved] { boCheck = saved; });
    DataSet.Cancel();
    m_reeditaFatCons = boEditItemOrca && !saved;
}

void TfrmCalcOrcaOper::cdsItensOrcamentoBeforeScroll(TClientDataSet& DataSet) {
    if (DataSet.State() != dsEdit) return;
    // The item scroll handler re-enters edit on the row moved to.
    const bool saved = boCheck;
    boCheck = true;
    Finally restore([saved] { boCheck = saved; });
    DataSet.Cancel();
}
