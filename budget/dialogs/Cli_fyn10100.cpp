#include "budget/dialogs/Cli_fyn10100.h"

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TGroupBox.h"
#include "services/ui/TRadioButton.h"
#include "services/ui/TfrmPesquisaLista.h"

#include <cassert>

TfrmFiltroCalculoOrc* frmFiltroCalculoOrc = nullptr;

namespace {

const char* const kMensagens =
    "Lista_Fil|Filial\n"
    "Lista_AgrupFil|Agrupamento de Filiais\n"
    "Lista_Reg|Região\n"
    "Lista_Seg|Segmento de Mercado\n"
    "Filial_n_par|Não há filial parametrizada para o operador.\n"
    "ListaFil_Inf|Lista de filiais deve ser informada.\n"
    "ListaAgrup_Inf|Lista de agrupamento de filiais deve ser informada.\n"
    "ListaReg_Inf|Lista de região deve ser informada.\n"
    "ListaSeg_Inf|Lista de segmento deve ser informada.\n";

// The picker's title, and after "|" the text shown when there is nothing to pick.
std::string tituloPesquisa(const std::string& title, const char* empty) {
    return title + "|" + empty;
}

const char* const kSemAgrupamento = "Não há agrupamento cadastrado.";
const char* const kSemSegmento = "Não há segmento cadastrado.";

void declarePicker(TClientDataSet& cds, const char* key, const char* keyLabel, int keySize,
                   const char* name, const char* nameLabel, int nameSize) {
    cds.AddField("IDMARCADO", FieldType::String, 1).SetVisible(false);
    cds.AddField(key, FieldType::String, keySize).SetDisplayLabel(keyLabel);
    cds.AddField(name, FieldType::String, nameSize).SetDisplayLabel(nameLabel);
    cds.SetIndexFieldNames(key);
}

bool todasOuVazia(const std::string& list) {
    return list.empty() || list == "T";
}

} // namespace

TfrmFiltroCalculoOrc::TfrmFiltroCalculoOrc(TComponent* owner) : TfrmFiltroPadrao(owner) {
    msgPadrao.Add(kMensagens);
    declarePicker(cdsListaFilial, "CDFILIAL", "Código", 4, "NMFILIAL", "Filial", 30);
    declarePicker(cdsAgrupFil, "CDGRUPFILI", "Código", 10, "NMGRUPFILI", "Agrupamento de Filial",
                  40);
    declarePicker(cdsListaReg, "CDREGIAO", "Código", 3, "NMREGIAO", "Região", 30);
    declarePicker(cdsListaSeg, "CDSEGMER", "Código", 5, "DSSEGMER", "Segmento de Mercado", 40);
    CriaComponentes();
}

TfrmFiltroCalculoOrc::~TfrmFiltroCalculoOrc() {
    DestroyComponents();
    if (frmFiltroCalculoOrc == this) frmFiltroCalculoOrc = nullptr;
}

void TfrmFiltroCalculoOrc::CriaComponentes() {
    SetName("frmFiltroCalculoOrc");
    SetCaption("Filtro Cálculo do Orçamento");
    SetBounds(0, 0, 440, 330);
    struct Group {
        const char* box;
        const char* caption;
        const char* all;
        const char* allCaption;
        const char* list;
        const char* button;
        TGroupBox* TfrmFiltroCalculoOrc::*boxMember;
        TRadioButton* TfrmFiltroCalculoOrc::*allMember;
        TRadioButton* TfrmFiltroCalculoOrc::*listMember;
        TButtonFlat* TfrmFiltroCalculoOrc::*buttonMember;
        void (TfrmFiltroCalculoOrc::*search)(TObject*);
        void (TfrmFiltroCalculoOrc::*allClick)(TObject*);
        void (TfrmFiltroCalculoOrc::*listClick)(TObject*);
    };
    const Group groups[] = {
        {"grbFilial", "Filiais", "rbtTdListFil", "Todas", "rbtListFil", "btnListaFil",
         &TfrmFiltroCalculoOrc::grbFilial, &TfrmFiltroCalculoOrc::rbtTdListFil,
         &TfrmFiltroCalculoOrc::rbtListFil, &TfrmFiltroCalculoOrc::btnListaFil,
         &TfrmFiltroCalculoOrc::btnListaFilClick, &TfrmFiltroCalculoOrc::rbtTdListFilClick,
         &TfrmFiltroCalculoOrc::rbtListFilClick},
        {"grbAgrupFil", "Agrup. Filiais", "rbtTodosAgrupFil", "Todos", "rbtListaAgrupFil",
         "btpListaAgrupFil", &TfrmFiltroCalculoOrc::grbAgrupFil,
         &TfrmFiltroCalculoOrc::rbtTodosAgrupFil, &TfrmFiltroCalculoOrc::rbtListaAgrupFil,
         &TfrmFiltroCalculoOrc::btpListaAgrupFil, &TfrmFiltroCalculoOrc::btpListaAgrupFilClick,
         &TfrmFiltroCalculoOrc::rbtTodosAgrupFilClick,
         &TfrmFiltroCalculoOrc::rbtListaAgrupFilClick},
        {"grbRegiao", "Região", "rbtTdReg", "Todas", "rbtListReg", "BtnPesqReg",
         &TfrmFiltroCalculoOrc::grbRegiao, &TfrmFiltroCalculoOrc::rbtTdReg,
         &TfrmFiltroCalculoOrc::rbtListReg, &TfrmFiltroCalculoOrc::BtnPesqReg,
         &TfrmFiltroCalculoOrc::BtnPesqRegClick, &TfrmFiltroCalculoOrc::rbtTdRegClick,
         &TfrmFiltroCalculoOrc::rbtListRegClick},
        {"grbSegmento", "Segmento", "rbtTodosSeg", "Todos", "rbtListaSeg", "btpListaSeg",
         &TfrmFiltroCalculoOrc::grbSegmento, &TfrmFiltroCalculoOrc::rbtTodosSeg,
         &TfrmFiltroCalculoOrc::rbtListaSeg, &TfrmFiltroCalculoOrc::btpListaSeg,
         &TfrmFiltroCalculoOrc::btpListaSegClick, &TfrmFiltroCalculoOrc::rbtTodosSegClick,
         &TfrmFiltroCalculoOrc::rbtListaSegClick},
    };
    int top = 8;
    for (const Group& g : groups) {
        auto* box = Add<TGroupBox>(g.box, this);
        box->SetCaption(g.caption);
        box->SetBounds(8, top, 420, 56);
        auto* all = Add<TRadioButton>(g.all, box);
        all->SetCaption(g.allCaption);
        all->SetBounds(12, 22, 90, 20);
        all->SetChecked(true);
        auto* list = Add<TRadioButton>(g.list, box);
        list->SetCaption("Lista");
        list->SetBounds(120, 22, 90, 20);
        auto* button = Add<TButtonFlat>(g.button, box);
        button->SetBounds(220, 18, 28, 26);
        button->SetHint("Pesquisar");
        button->SetEnabled(false);
        this->*g.boxMember = box;
        this->*g.allMember = all;
        this->*g.listMember = list;
        this->*g.buttonMember = button;
        auto search = g.search, allClick = g.allClick, listClick = g.listClick;
        button->OnClick = [this, search](TObject* s) { (this->*search)(s); };
        all->OnClick = [this, allClick](TObject* s) { (this->*allClick)(s); };
        list->OnClick = [this, listClick](TObject* s) { (this->*listClick)(s); };
        top += 62;
    }
    OnActivate = [this](TObject* s) { FormActivate(s); };
    for (TClientDataSet* cds : {&cdsListaFilial, &cdsAgrupFil, &cdsListaReg, &cdsListaSeg})
        RegisterDataSet(cds->Name(), cds);
}

TfrmCalcOrcaOper& TfrmFiltroCalculoOrc::Principal() const {
    assert(frmCalcOrcaOper && "the filter dialog edits the main screen's lists");
    return *frmCalcOrcaOper;
}

void TfrmFiltroCalculoOrc::FormCreate(TObject* Sender) {
    TfrmFiltroPadrao::FormCreate(Sender);
    if (ModuFili()) {
        for (TRadioButton* radio : {rbtTdListFil, rbtListFil, rbtTodosAgrupFil, rbtListaAgrupFil,
                                    rbtTdReg, rbtListReg, rbtTodosSeg, rbtListaSeg})
            radio->SetEnabled(false);
        return;
    }
    MarcaRadios();
}

void TfrmFiltroCalculoOrc::MarcaRadios() {
    TfrmCalcOrcaOper& main = Principal();
    const struct {
        const std::string& list;
        TRadioButton* lista;
        TRadioButton* todas;
        TButtonFlat* search;
    } groups[] = {
        {main.stListaFil, rbtListFil, rbtTdListFil, btnListaFil},
        {main.stListaAgrupFil, rbtListaAgrupFil, rbtTodosAgrupFil, btpListaAgrupFil},
        {main.stListaReg, rbtListReg, rbtTdReg, BtnPesqReg},
        {main.stListaSeg, rbtListaSeg, rbtTodosSeg, btpListaSeg},
    };
    for (const auto& g : groups) {
        const bool lista = !todasOuVazia(g.list);
        g.lista->SetChecked(lista);
        g.todas->SetChecked(!lista);
        // A radio button already checked reports no click: the search button is set here.
        g.search->SetEnabled(lista);
    }
}

void TfrmFiltroCalculoOrc::FormActivate(TObject* Sender) {
    Application::instance().platform().Repaint(*this);
}

void TfrmFiltroCalculoOrc::FormClose(TObject* Sender, TCloseAction& Action) {
    TfrmFiltroPadrao::FormClose(Sender, Action);
    // Freed once the event is over: the next opening creates a fresh dialog.
    if (frmFiltroCalculoOrc == this) frmFiltroCalculoOrc = nullptr;
}

namespace {

void escolheLista(std::string& list, TButtonFlat* button) {
    if (list == "T") list.clear();
    button->SetEnabled(true);
}

} // namespace

void TfrmFiltroCalculoOrc::rbtTdListFilClick(TObject*) {
    btnListaFil->SetEnabled(false);
}
void TfrmFiltroCalculoOrc::rbtListFilClick(TObject*) {
    escolheLista(Principal().stListaFil, btnListaFil);
}
void TfrmFiltroCalculoOrc::rbtTodosAgrupFilClick(TObject*) {
    btpListaAgrupFil->SetEnabled(false);
}
void TfrmFiltroCalculoOrc::rbtListaAgrupFilClick(TObject*) {
    escolheLista(Principal().stListaAgrupFil, btpListaAgrupFil);
}
void TfrmFiltroCalculoOrc::rbtTdRegClick(TObject*) {
    BtnPesqReg->SetEnabled(false);
}
void TfrmFiltroCalculoOrc::rbtListRegClick(TObject*) {
    escolheLista(Principal().stListaReg, BtnPesqReg);
}
void TfrmFiltroCalculoOrc::rbtTodosSegClick(TObject*) {
    btpListaSeg->SetEnabled(false);
}
void TfrmFiltroCalculoOrc::rbtListaSegClick(TObject*) {
    escolheLista(Principal().stListaSeg, btpListaSeg);
}

void TfrmFiltroCalculoOrc::btnListaFilClick(TObject* Sender) {
    TfrmCalcOrcaOper& main = Principal();
    // The branches offered depend only on groups and regions actually restricting them.
    if (main.stListaAgrupFil.empty() || rbtTodosAgrupFil->Checked()) main.stListaAgrupFil = "T";
    if (main.stListaReg.empty() || rbtTdReg->Checked()) main.stListaReg = "T";
    const Variant data =
        CheckResultServ(main.netCalcOrcaOper.AppServer("GetListaFilial",
                                                       {Operador(), Arg::ref(main.stListaAgrupFil),
                                                        Arg::ref(main.stListaReg), "N"}),
                        true, 0);
    if (data.type() != VarType::Packet) MensErro("Resposta do servidor inválida para as filiais.");
    cdsListaFilial.SetData(data.packet());
    if (!cdsListaFilial.IsEmpty())
        PesquisaLista(&dtsFilial, "CDFILIAL",
                      tituloPesquisa(msgPadrao.Msg("Lista_Fil"), kSemAgrupamento), true,
                      main.stListaFil);
    else
        MensErro(msgPadrao.Msg("Filial_n_par"), false);
}

void TfrmFiltroCalculoOrc::CarregaLista(const char* method, TClientDataSet& target) {
    const Variant data =
        CheckResultServ(Principal().netCalcOrcaOper.AppServer(method, {Operador()}), true, 0);
    if (data.type() != VarType::Packet)
        MensErro(std::string("Resposta do servidor inválida para ") + method + ".");
    target.SetData(data.packet());
}

void TfrmFiltroCalculoOrc::btpListaAgrupFilClick(TObject* Sender) {
    CarregaLista("GetListaAgrupFil", cdsAgrupFil);
    PesquisaLista(&dtsAgrupFil, "CDGRUPFILI",
                  tituloPesquisa(msgPadrao.Msg("Lista_AgrupFil"), kSemAgrupamento), true,
                  Principal().stListaAgrupFil);
}

void TfrmFiltroCalculoOrc::BtnPesqRegClick(TObject* Sender) {
    CarregaLista("GetListaReg", cdsListaReg);
    PesquisaLista(&dtsListaReg, "CDREGIAO",
                  tituloPesquisa(msgPadrao.Msg("Lista_Reg"), kSemAgrupamento), true,
                  Principal().stListaReg);
}

void TfrmFiltroCalculoOrc::btpListaSegClick(TObject* Sender) {
    CarregaLista("GetListaSeg", cdsListaSeg);
    PesquisaLista(&dtsListaSeg, "CDSEGMER",
                  tituloPesquisa(msgPadrao.Msg("Lista_Seg"), kSemSegmento), true,
                  Principal().stListaSeg);
}

void TfrmFiltroCalculoOrc::vdFiltro() {
    TfrmCalcOrcaOper& main = Principal();
    const struct {
        TRadioButton* list;
        const std::string& value;
        const char* message;
    } groups[] = {
        {rbtListFil, main.stListaFil, "ListaFil_Inf"},
        {rbtListaAgrupFil, main.stListaAgrupFil, "ListaAgrup_Inf"},
        {rbtListReg, main.stListaReg, "ListaReg_Inf"},
        {rbtListaSeg, main.stListaSeg, "ListaSeg_Inf"},
    };
    for (const auto& g : groups)
        if (g.list->Checked() && g.value.empty()) {
            g.list->SetFocus();
            MensErro(msgPadrao.Msg(g.message));
        }
}

void TfrmFiltroCalculoOrc::sbtConfirmaClick(TObject* Sender) {
    TfrmFiltroPadrao::sbtConfirmaClick(Sender);
    vdFiltro();
    TfrmCalcOrcaOper& main = Principal();
    if (rbtTdListFil->Checked()) main.stListaFil = "T";
    if (rbtTodosAgrupFil->Checked()) main.stListaAgrupFil = "T";
    if (rbtTdReg->Checked()) main.stListaReg = "T";
    if (rbtTodosSeg->Checked()) main.stListaSeg = "T";
    main.boConfirmou = true;
    if (Modal())
        SetModalResult(mrOk);
    else
        Close();
}

void TfrmFiltroCalculoOrc::btfSaveOpcClick(TObject* Sender) {
    TfrmCalcOrcaOper& main = Principal();
    SetOpcao("stListaFil", main.stListaFil);
    SetOpcao("stListaAgrupFil", main.stListaAgrupFil);
    SetOpcao("stListaReg", main.stListaReg);
    SetOpcao("stListaSeg", main.stListaSeg);
    TfrmFiltroPadrao::btfSaveOpcClick(Sender);
}

void TfrmFiltroCalculoOrc::btfLoadOpcClick(TObject* Sender) {
    TfrmFiltroPadrao::btfLoadOpcClick(Sender);
    TfrmCalcOrcaOper& main = Principal();
    main.stListaFil = Opcao("stListaFil");
    main.stListaAgrupFil = Opcao("stListaAgrupFil");
    main.stListaReg = Opcao("stListaReg");
    main.stListaSeg = Opcao("stListaSeg");
    // The radio buttons show the loaded lists, or confirming would turn them back into "all".
    if (!ModuFili()) MarcaRadios();
}

void criaFiltroCalculo() {
    CursorGuard hourglass;
    if (!frmFiltroCalculoOrc)
        frmFiltroCalculoOrc =
            Application::instance().createModuleForm<TfrmFiltroCalculoOrc>(kModuleCode, nullptr);
    frmFiltroCalculoOrc->SetWindowState(wsNormal);
    frmFiltroCalculoOrc->ShowModal();
}
