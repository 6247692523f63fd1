#include "budget/dialogs/Cli_fyn10390.h"

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "budget/dialogs/PeriodoOrcamento.h"
#include "services/ui/Application.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TDateEditPlus.h"
#include "services/ui/TLabel.h"

#include <cassert>

TfrmPerCalc* frmPerCalc = nullptr;

namespace {

const char* const kMensagens =
    "DateIni_Inf|Data inicial deve ser informada.\n"
    "DateFin_Inf|Data Final deve ser informada.\n"
    "DateFin<DateIni|Data inicial não pode ser maior que data final.\n"
    "DateIni_NPer|Data de início deve estar dentro do período do orçamento.\n"
    "DateFin_NPer|Data de final deve estar dentro do período do orçamento.\n";

// Disabled date boxes are painted like inactive captions.
constexpr TColor kCorInativa = clGray;

} // namespace

TfrmPerCalc::TfrmPerCalc(TComponent* owner) : TfrmRotiGeral(owner) {
    msgPadrao.Add(kMensagens);
    cdsVersaoOrca.AddField("CDANOVERORCA", FieldType::String, 4).SetDisplayLabel("Ano");
    cdsVersaoOrca.AddField("CDVERSAOORCA", FieldType::String, 40).SetDisplayLabel("Versão");
    cdsVersaoOrca.AddField("NRMESINIVERORC", FieldType::String, 2).SetVisible(false);
    cdsVersaoOrca.AddField("DATAINI", FieldType::DateTime);
    cdsVersaoOrca.AddField("DATAFIN", FieldType::DateTime);
    CriaComponentes();
}

TfrmPerCalc::~TfrmPerCalc() {
    DestroyComponents();
    if (frmPerCalc == this) frmPerCalc = nullptr;
}

void TfrmPerCalc::CriaComponentes() {
    SetName("frmPerCalc");
    SetCaption("Período para Cálculo");
    SetBounds(0, 0, 330, 150);
    lblPerDe = Add<TLabel>("lblPerDe", this);
    lblPerDe->SetCaption("De");
    lblPerDe->SetBounds(12, 14, 40, 16);
    depPerDe = Add<TDateEditPlus>("depPerDe", this);
    depPerDe->SetBounds(12, 32, 100, 22);
    lblPerAte = Add<TLabel>("lblPerAte", this);
    lblPerAte->SetCaption("Até");
    lblPerAte->SetBounds(124, 14, 40, 16);
    depPerAte = Add<TDateEditPlus>("depPerAte", this);
    depPerAte->SetBounds(124, 32, 100, 22);
    for (TDateEditPlus* edit : {depPerDe, depPerAte}) {
        edit->SetColor(clInfoBk);
        edit->OnExit = [edit](TObject*) { edit->CheckValidDate(); };
    }
    chbPerTot = Add<TCheckBox>("chbPerTot", this);
    chbPerTot->SetCaption("Período Completo");
    chbPerTot->SetBounds(12, 66, 160, 20);
    chbPerTot->OnClick = [this](TObject* s) { chbPerTotClick(s); };
    RegisterDataSet(cdsVersaoOrca.Name(), &cdsVersaoOrca);
}

void TfrmPerCalc::FormCreate(TObject* Sender) {
    TfrmRotiGeral::FormCreate(Sender);
    assert(frmCalcOrcaOper && "the period dialog reads the main screen's version");
    StrOperac.clear();
    depPerDe->SetDate(0);
    depPerAte->SetDate(0);
    if (frmCalcOrcaOper->cdsVersaoOrca.Active())
        cdsVersaoOrca.SetData(frmCalcOrcaOper->cdsVersaoOrca.Data());
    else
        cdsVersaoOrca.CreateDataSet();
    chbPerTot->SetChecked(true);
    chbPerTotClick(chbPerTot);
}

void TfrmPerCalc::chbPerTotClick(TObject*) {
    const bool completo = chbPerTot->Checked();
    for (TDateEditPlus* edit : {depPerDe, depPerAte}) {
        edit->SetEnabled(!completo);
        edit->SetColor(completo ? kCorInativa : clInfoBk);
    }
}

void TfrmPerCalc::ValidaData() {
    // Without a loaded version no date lies inside its period.
    const double ini =
        cdsVersaoOrca.IsEmpty() ? 0 : cdsVersaoOrca.FieldByName("DATAINI").AsDateTime();
    const double fin =
        cdsVersaoOrca.IsEmpty() ? 0 : cdsVersaoOrca.FieldByName("DATAFIN").AsDateTime();
    ValidaPeriodo(msgPadrao, depPerDe, depPerAte, ini, fin);
}

void TfrmPerCalc::sbtConfirmaClick(TObject* Sender) {
    TfrmRotiGeral::sbtConfirmaClick(Sender);
    std::string tipo;
    double de = 0, ate = 0;
    if (chbPerTot->Checked()) {
        de = ate = Application::instance().today();
        tipo = "S";
    } else {
        ValidaData();
        de = depPerDe->GetDate();
        ate = depPerAte->GetDate();
        tipo = "N";
    }
    DataTCalc = tipo;
    DataIniCalc = de;
    DataFinCalc = ate;
    StrOperac = "S";
    if (Modal())
        SetModalResult(mrOk);
    else
        Close();
}

void TfrmPerCalc::FormClose(TObject* Sender, TCloseAction& Action) {
    if (StrOperac.empty()) StrOperac = "N";
    TfrmRotiGeral::FormClose(Sender, Action);
    if (frmPerCalc == this) frmPerCalc = nullptr;
}

void criaPerCalc() {
    CursorGuard hourglass;
    if (!frmPerCalc)
        frmPerCalc = Application::instance().createModuleForm<TfrmPerCalc>(kModuleCode, nullptr);
    frmPerCalc->SetWindowState(wsNormal);
    frmPerCalc->ShowModal();
}
