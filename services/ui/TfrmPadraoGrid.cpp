#include "services/ui/TfrmPadraoGrid.h"

#include "services/data/TClientDataSet.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TMenu.h"
#include "services/ui/TPanel.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TfrmProcura.h"

namespace {
struct ToolSpec {
    TSpeedButton* TfrmPadraoGrid::*button;
    TMenuItem* TfrmPadraoGrid::*item;
    const char* buttonName;
    const char* itemName;
    const char* caption;
    void (TfrmPadraoGrid::*handler)(TObject*);
};

const ToolSpec kTools[] = {
    {&TfrmPadraoGrid::sbtIncluir, &TfrmPadraoGrid::mnuIncluir, "sbtIncluir", "mnuIncluir",
     "Incluir", &TfrmPadraoGrid::sbtIncluirClick},
    {&TfrmPadraoGrid::sbtAlterar, &TfrmPadraoGrid::mnuAlterar, "sbtAlterar", "mnuAlterar",
     "Alterar", &TfrmPadraoGrid::sbtAlterarClick},
    {&TfrmPadraoGrid::sbtExcluir, &TfrmPadraoGrid::mnuExcluir, "sbtExcluir", "mnuExcluir",
     "Excluir", &TfrmPadraoGrid::sbtExcluirClick},
    {&TfrmPadraoGrid::sbtProcurar, &TfrmPadraoGrid::mnuProcurar, "sbtProcurar", "mnuProcurar",
     "Procurar", &TfrmPadraoGrid::sbtProcurarClick},
    {&TfrmPadraoGrid::sbtVerificar, &TfrmPadraoGrid::mnuVerificar, "sbtVerificar", "mnuVerificar",
     "Verificar", &TfrmPadraoGrid::sbtVerificarClick},
    {&TfrmPadraoGrid::sbtOrdenar, &TfrmPadraoGrid::mnuOrdenar, "sbtOrdenar", "mnuOrdenar",
     "Ordenar", &TfrmPadraoGrid::sbtOrdenarClick},
    {&TfrmPadraoGrid::sbtCancelar, &TfrmPadraoGrid::mnuCancelar, "sbtCancelar", "mnuCancelar",
     "Cancelar", &TfrmPadraoGrid::sbtCancelarClick},
    {&TfrmPadraoGrid::sbtConfirmar, &TfrmPadraoGrid::mnuConfirmar, "sbtConfirmar", "mnuConfirmar",
     "Confirmar", &TfrmPadraoGrid::sbtConfirmarClick},
    {&TfrmPadraoGrid::sbtAjuda, nullptr, "sbtAjuda", nullptr, "Ajuda",
     &TfrmPadraoGrid::sbtAjudaClick},
    {&TfrmPadraoGrid::sbtImprimir, &TfrmPadraoGrid::mnuListagem, "sbtImprimir", "mnuListagem",
     "Imprimir", &TfrmPadraoGrid::sbtImprimirClick},
    {&TfrmPadraoGrid::sbtFechar, &TfrmPadraoGrid::mnuSair, "sbtFechar", "mnuSair", "Fechar",
     &TfrmPadraoGrid::mnuSairClick},
};

bool editing(const TDataSource& source) {
    return source.State() == dsEdit || source.State() == dsInsert;
}
} // namespace

TfrmPadraoGrid::TfrmPadraoGrid(TComponent* owner) : TForm(owner), dtsPadrao("dtsPadrao") {
    SetName("frmPadraoGrid");
    SetFormStyle(fsMDIChild);
    SetBounds(0, 0, 1024, 640);
    SetKeyPreview(true);

    mnuPrincipal = Add<TMainMenu>("mnuPrincipal");
    SetMenu(mnuPrincipal);
    mnuManutencao = Add<TMenuItem>("mnuManutencao");
    mnuManutencao->SetCaption("&Manutenção");
    mnuPrincipal->Items().Add(mnuManutencao);

    panMenu = Add<TPanel>("panMenu", this);
    panMenu->SetAlign(alTop);
    panMenu->SetBounds(0, 0, 1024, 32);

    int left = 4;
    for (const ToolSpec& spec : kTools) {
        auto* button = Add<TSpeedButton>(spec.buttonName, panMenu);
        button->SetHint(spec.caption);
        button->SetGlyph(spec.buttonName + 3);
        button->SetBounds(left, 3, 26, 26);
        left += 28;
        auto handler = spec.handler;
        button->OnClick = [this, handler](TObject* sender) { (this->*handler)(sender); };
        this->*spec.button = button;
        if (spec.item) {
            auto* item = Add<TMenuItem>(spec.itemName);
            item->SetCaption(spec.itemName == std::string("mnuSair") ? "Sair" : spec.caption);
            item->OnClick = [this, handler](TObject* sender) { (this->*handler)(sender); };
            mnuManutencao->Add(item);
            this->*spec.item = item;
        }
    }
    mnuListagem->SetCaption("Listagem");

    panGrid = Add<TPanel>("panGrid", this);
    panGrid->SetAlign(alClient);
    panGrid->SetBevelOuter(bvNone);
    dbgPadrao = Add<TDBGrid>("dbgPadrao", panGrid);
    dbgPadrao->SetAlign(alClient);
    dbgPadrao->SetDataSource(&dtsPadrao);
    dbgPadrao->OnKeyPress = [this](TObject* s, TKeyChar& k) { dbgPadraoKeyPress(s, k); };

    dtsPadrao.OnStateChange = [this](TDataSource&) { dtsPadraoStateChange(this); };
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    OnKeyDown = [this](TObject* s, TKeyCode& k, TShiftState sh) { FormKeyDown(s, k, sh); };
    OnKeyPress = [this](TObject* s, TKeyChar& k) { FormKeyPress(s, k); };
}

TfrmPadraoGrid::~TfrmPadraoGrid() {
    // The grid listens to dtsPadrao: it goes before the data source does.
    DestroyComponents();
}

void TfrmPadraoGrid::sbtIncluirClick(TObject*) {
    if (TClientDataSet* ds = dtsPadrao.DataSet()) {
        ds->Append();
        dbgPadrao->SetFocus();
    }
}

void TfrmPadraoGrid::sbtAlterarClick(TObject*) {
    if (TClientDataSet* ds = dtsPadrao.DataSet(); ds && ds->Active()) {
        ds->Edit();
        dbgPadrao->SetFocus();
    }
}

void TfrmPadraoGrid::sbtExcluirClick(TObject*) {
    TClientDataSet* ds = dtsPadrao.DataSet();
    if (!ds || !ds->Active() || ds->IsEmpty()) return;
    if (Application::instance().platform().MessageBox(MessageKind::Confirmation,
                                                      "Confirma a exclusão do registro?",
                                                      MessageButtons::YesNo) != mrYes)
        return;
    ds->Delete();
}

void TfrmPadraoGrid::sbtProcurarClick(TObject*) {
    if (TClientDataSet* ds = dtsPadrao.DataSet(); ds && ds->Active()) Procura(ds);
}

void TfrmPadraoGrid::sbtVerificarClick(TObject*) {}

void TfrmPadraoGrid::sbtOrdenarClick(TObject*) {}

void TfrmPadraoGrid::sbtCancelarClick(TObject*) {
    if (TClientDataSet* ds = dtsPadrao.DataSet(); ds && editing(dtsPadrao)) ds->Cancel();
}

void TfrmPadraoGrid::sbtConfirmarClick(TObject*) {
    if (TClientDataSet* ds = dtsPadrao.DataSet(); ds && editing(dtsPadrao)) {
        dbgPadrao->UpdateData();
        ds->Post();
    }
}

void TfrmPadraoGrid::sbtAjudaClick(TObject*) {}

void TfrmPadraoGrid::sbtImprimirClick(TObject*) {}

void TfrmPadraoGrid::mnuSairClick(TObject*) {
    Close();
}

void TfrmPadraoGrid::dbgPadraoKeyPress(TObject*, TKeyChar& Key) {
    if (Key == U'\r') {
        Key = 0;
        TKeyCode tab = VK_TAB;
        dbgPadrao->DefaultKeyDown(tab, 0);
    }
}

void TfrmPadraoGrid::FormCreate(TObject*) {
    dtsPadraoStateChange(this);
}

void TfrmPadraoGrid::FormClose(TObject*, TCloseAction& Action) {
    Action = caFree;
}

void TfrmPadraoGrid::FormKeyDown(TObject*, TKeyCode& Key, TShiftState Shift) {
    if (Key == VK_RETURN && Shift == 0 && ActiveControl() &&
        dynamic_cast<TDBGrid*>(ActiveControl()) == nullptr) {
        Key = 0;
        SelectNext(ActiveControl(), true);
    }
}

void TfrmPadraoGrid::FormKeyPress(TObject*, TKeyChar&) {}

void TfrmPadraoGrid::dtsPadraoStateChange(TObject*) {
    TClientDataSet* ds = dtsPadrao.DataSet();
    bool open = ds && ds->Active();
    bool edit = editing(dtsPadrao);
    bool rows = open && !ds->IsEmpty();
    mnuIncluir->SetEnabled(open && !edit);
    mnuAlterar->SetEnabled(rows && !edit);
    mnuExcluir->SetEnabled(rows && !edit);
    mnuProcurar->SetEnabled(rows && !edit);
    mnuVerificar->SetEnabled(!edit);
    mnuCancelar->SetEnabled(edit);
    mnuConfirmar->SetEnabled(edit);
    mnuListagem->SetEnabled(rows && !edit);
    MirrorButtons();
}

void TfrmPadraoGrid::MirrorButtons() {
    for (const ToolSpec& spec : kTools)
        if (spec.item && spec.item != &TfrmPadraoGrid::mnuSair)
            (this->*spec.button)->SetEnabled((this->*spec.item)->Enabled());
}
