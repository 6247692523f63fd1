#include "simulation/Cli_fyn10380.h"

#include "budget/ModuleState.h"
#include "services/lib/Consiste.h"
#include "services/ui/Application.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TLabel.h"
#include "services/ui/TNumberEdit.h"

TfrmReduConsFat* frmReduConsFat = nullptr;
bool boConfReduConsFat = false;

TfrmReduConsFat::TfrmReduConsFat(TComponent* owner) : TfrmRotiGeral(owner) {
    msgPadrao.Add("valor_perc|O percentual informado deve estar entre 0 e 100.\n");
    CriaComponentes();
}

TfrmReduConsFat::~TfrmReduConsFat() {
    DestroyComponents();
    if (frmReduConsFat == this) frmReduConsFat = nullptr;
}

void TfrmReduConsFat::CriaComponentes() {
    SetName("frmReduConsFat");
    SetCaption("% Redução x Faturamento");
    SetBounds(0, 0, 300, 130);
    lblCodTela = Add<TLabel>("lblCodTela", this);
    lblCodTela->SetCaption("FYN10380");
    lblCodTela->SetBounds(220, 4, 70, 16);
    lblValor = Add<TLabel>("lblValor", this);
    lblValor->SetCaption("Percentual de redução");
    lblValor->SetBounds(12, 28, 150, 18);
    edtValor = Add<TNumberEdit>("edtValor", this);
    edtValor->SetDecimals(2);
    edtValor->SetBounds(12, 48, 90, 24);
    lblPerc = Add<TLabel>("lblPerc", this);
    lblPerc->SetCaption("%");
    lblPerc->SetBounds(108, 52, 16, 18);
}

void TfrmReduConsFat::FormCreate(TObject* Sender) {
    TfrmRotiGeral::FormCreate(Sender);
    edtValor->SetText("");
    edtValor->SetFocus();
}

void TfrmReduConsFat::VdValor() {
    const double valor = edtValor->GetNumber();
    if (valor < 0 || valor > 100) {
        edtValor->SetFocus();
        MensErro(msgPadrao.Msg("valor_perc"));
    }
}

void TfrmReduConsFat::sbtConfirmaClick(TObject* Sender) {
    TfrmRotiGeral::sbtConfirmaClick(Sender);
    VdValor();
    boConfReduConsFat = true;
    if (Modal())
        SetModalResult(mrOk);
    else
        Close();
}

void TfrmReduConsFat::FormClose(TObject* Sender, TCloseAction& Action) {
    TfrmRotiGeral::FormClose(Sender, Action);
    if (frmReduConsFat == this) frmReduConsFat = nullptr;
}

double CriaReduConsFat() {
    boConfReduConsFat = false;
    {
        CursorGuard hourglass;
        if (!frmReduConsFat)
            frmReduConsFat =
                Application::instance().createModuleForm<TfrmReduConsFat>(kModuleCode, nullptr);
    }
    // Closing frees the dialog only once the running event is over: its value is still there.
    TfrmReduConsFat* dialogo = frmReduConsFat;
    dialogo->SetWindowState(wsNormal);
    dialogo->ShowModal();
    return boConfReduConsFat ? dialogo->edtValor->GetNumber() : 0;
}
