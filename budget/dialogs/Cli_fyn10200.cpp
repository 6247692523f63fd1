#include "budget/dialogs/Cli_fyn10200.h"

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "services/lib/Consiste.h"
#include "services/net/Arg.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/ScreenRoutines.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TComboBox.h"
#include "services/ui/TGroupBox.h"
#include "services/ui/TLabel.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TRadioButton.h"
#include "services/ui/TSpinEdit.h"
#include "services/ui/TTabSheet.h"
#include "services/ui/TfrmPesquisaLista.h"

#include <cassert>
#include <set>

TfrmReplicaVal* frmReplicaVal = nullptr;
std::string stFilial = "T";
std::string stFilialOrc;
std::string stItens = "T";
std::string stOperac;

namespace {

const char* const kMensagens = "Fat_Bruto|Faturamento Bruto\n"
                               "Consumo|Consumo\n"
                               "Imp_SLucr|Imposto Sobre o Lucro\n"
                               "Investi|Investimento\n"
                               "Deprec|Depreciação\n"
                               "imposto_recup|Imposto a Recuperar\n"
                               "Diversas|Despesas Diversas\n"
                               "tp_despesa|Tipo de Despesas\n"
                               "Entradas|Despesas de Lanc. Entradas\n"
                               "tp_Oper|Tipo de Operação\n"
                               "mao_obra|Mão de Obra\n"
                               "item_mo|Tipo de Mão de Obra\n"
                               "matriz|Despesas da Matriz\n"
                               "Imposto|Imposto\n"
                               "Filial|Lista de Filiais\n"
                               "ListaFil_Inf|Lista de filiais deve ser informada.\n"
                               "ITENS_INF|Lista de Itens de Orçamento deve ser informada.\n"
                               "Check_Inf|Mês deve ser informado.\n";

// "All": assigned from a string, as assigning the literal trips a false warning of the compiler.
const std::string kTodos = "T";
const char* const kSemFilial = "Não ha filial cadastrada";
const char* const kSemItem = "Não há agrupamento cadastrado.";
const char* const kMeses[12] = {"Janeiro",  "Fevereiro", "Março",    "Abril",
                                "Maio",     "Junho",     "Julho",    "Agosto",
                                "Setembro", "Outubro",   "Novembro", "Dezembro"};
const char* const kNomesCaixa[12] = {"ckbJan", "ckbFev", "ckbMar", "ckbAbr", "ckbMai", "ckbJun",
                                     "ckbJul", "ckbAgo", "ckbSet", "ckbOut", "ckbNov", "ckbDez"};
const char* const kNomesItem[4] = {"DSDESPADMFAT", "NMDESPPREV", "NMTIPOOPER", "SGIMPOSTO"};

TfrmCalcOrcaOper& principal() {
    assert(frmCalcOrcaOper && "the replication dialog works on the main screen's page");
    return *frmCalcOrcaOper;
}

// What the dialog shows and offers for one page of the main screen.
struct Pagina {
    TTabSheet* TfrmCalcOrcaOper::*page;
    const char* descricao; // catalog key of the description; null: left as it is
    const char* grupo;     // catalog key of the item group's caption; null: left as it is
    bool itens;            // the item group is enabled
    char letra;            // type letter for the item picker (0: none)
    const char* nome;      // visible name column of the item picker
    const char* titulo;    // catalog key of the item picker's title
};

const Pagina kPaginas[] = {
    {&TfrmCalcOrcaOper::tshFaturBruto, "Fat_Bruto", nullptr, false, 0, nullptr, nullptr},
    {&TfrmCalcOrcaOper::tshConsumo, "Consumo", nullptr, false, 0, nullptr, nullptr},
    {&TfrmCalcOrcaOper::tshImpSobLuc, "Imp_SLucr", nullptr, false, 0, nullptr, nullptr},
    {&TfrmCalcOrcaOper::tshInvest, "Investi", nullptr, false, 0, nullptr, nullptr},
    {&TfrmCalcOrcaOper::tshDeprec, "Deprec", nullptr, false, 0, nullptr, nullptr},
    {&TfrmCalcOrcaOper::tshImpRecup, "Imposto_recup", "Imposto_recup", true, 'R', "SGIMPOSTO",
     "imposto_recup"},
    {&TfrmCalcOrcaOper::tshDiversas, "Diversas", "tp_despesa", true, 'D', "NMDESPPREV", "Diversas"},
    {&TfrmCalcOrcaOper::tshEntradas, "Entradas", "tp_despesa", true, 'E', "NMDESPPREV", "Entradas"},
    {&TfrmCalcOrcaOper::tshMaoObra, "mao_obra", "item_mo", true, 'O', "DSDESPADMFAT", "mao_obra"},
    {&TfrmCalcOrcaOper::tshMatriz, "matriz", "tp_despesa", true, 'M', "NMDESPPREV", "matriz"},
    {&TfrmCalcOrcaOper::tshImposto, "Imposto", "Imposto", true, 'I', "SGIMPOSTO", "Imposto"},
    {&TfrmCalcOrcaOper::tshTxAdm, nullptr, nullptr, true, 0, nullptr, nullptr},
};

const Pagina* paginaDe(const TTabSheet* page) {
    const TfrmCalcOrcaOper& main = principal();
    for (const Pagina& p : kPaginas)
        if (main.*p.page == page) return &p;
    return nullptr;
}

} // namespace

TfrmReplicaVal::TfrmReplicaVal(TComponent* owner) : TfrmRotiGeral(owner) {
    msgPadrao.Add(kMensagens);
    cdsListaFil.AddField("IDMARCADO", FieldType::String, 1).SetVisible(false);
    cdsListaFil.AddField("CDFILIAL", FieldType::String, 4).SetDisplayLabel("Código");
    cdsListaFil.AddField("NMFILIAL", FieldType::String, 30).SetDisplayLabel("Nome da Filial");
    cdsListaFil.SetIndexFieldNames("CDFILIAL");
    cdsListaMo.AddField("IDMARCADO", FieldType::String, 1).SetVisible(false);
    for (const char* name : kNomesItem)
        cdsListaMo.AddField(name, FieldType::String, 40).SetDisplayLabel("Descrição");
    cdsListaMo.AddField("CODIGO", FieldType::String, 10).SetDisplayLabel("Código");
    cdsListaMo.SetIndexFieldNames("CODIGO");
    cdsTpDesLEn.AddField("IDORCDESPENTROP", FieldType::String, 1);
    CriaComponentes();
}

TfrmReplicaVal::~TfrmReplicaVal() {
    DestroyComponents();
    if (frmReplicaVal == this) frmReplicaVal = nullptr;
}

void TfrmReplicaVal::CriaGrupoLista(TGroupBox*& box, const char* name, const char* caption, int top,
                                    TRadioButton*& all, const char* allName, const char* allCaption,
                                    TRadioButton*& list, const char* listName, TButtonFlat*& button,
                                    const char* buttonName) {
    box = Add<TGroupBox>(name, this);
    box->SetCaption(caption);
    box->SetBounds(8, top, 404, 52);
    all = Add<TRadioButton>(allName, box);
    all->SetCaption(allCaption);
    all->SetBounds(12, 22, 80, 20);
    all->SetChecked(true);
    list = Add<TRadioButton>(listName, box);
    list->SetCaption("Lista");
    list->SetBounds(110, 22, 80, 20);
    button = Add<TButtonFlat>(buttonName, box);
    button->SetBounds(200, 18, 28, 26);
    button->SetHint("Pesquisar");
    button->SetEnabled(false);
}

void TfrmReplicaVal::CriaComponentes() {
    SetName("frmReplicaVal");
    SetCaption("Replica Valores");
    SetBounds(0, 0, 420, 410);
    lblDescItemOrc = Add<TLabel>("lblDescItemOrc", this);
    lblDescItemOrc->SetCaption("Item de Orçamento");
    lblDescItemOrc->SetBounds(8, 8, 200, 16);
    edtDescItemOrc = Add<TEdit>("edtDescItemOrc", this);
    edtDescItemOrc->SetBounds(8, 26, 404, 22);
    edtDescItemOrc->SetReadOnly(true);
    lblValor = Add<TLabel>("lblValor", this);
    lblValor->SetCaption("Valor");
    lblValor->SetBounds(8, 56, 120, 16);
    dbeValor = Add<TNumberEdit>("dbeValor", this);
    dbeValor->SetBounds(8, 74, 140, 22);
    dbeValor->SetDecimals(2);
    dbeValor->OnKeyPress = [this](TObject* s, TKeyChar& k) { dbeValorKeyPress(s, k); };
    lblOperac = Add<TLabel>("lblOperac", this);
    lblOperac->SetCaption("Operação");
    lblOperac->SetBounds(160, 56, 120, 16);
    cbbOperac = Add<TComboBox>("cbbOperac", this);
    cbbOperac->SetStyle(csDropDownList);
    cbbOperac->SetItems({"Atribui valor", "Soma", "Subtrai", "Acrescer %", "Decrescer %"});
    cbbOperac->SetBounds(160, 74, 160, 22);

    CriaGrupoLista(grbFiliais, "grbFiliais", "Lista de Filiais", 104, rbtTdListFil, "rbtTdListFil",
                   "Todas", rbtListFil, "rbtListFil", btnListaFil, "btnListaFil");
    CriaGrupoLista(grbItemOrc, "grbItemOrc", "Itens Orçamento", 162, rbtTdItemOrc, "rbtTdItemOrc",
                   "Todos", rbtListaItemOrc, "rbtListaItemOrc", btnListaItemOrc, "btnListaItemOrc");
    rbtTdListFil->OnClick = [this](TObject* s) { rbtTdListFilClick(s); };
    rbtListFil->OnClick = [this](TObject* s) { rbtListFilClick(s); };
    btnListaFil->OnClick = [this](TObject* s) { btnListaFilClick(s); };
    rbtTdItemOrc->OnClick = [this](TObject* s) { rbtTdItemOrcClick(s); };
    rbtListaItemOrc->OnClick = [this](TObject* s) { rbtListaItemOrcClick(s); };
    btnListaItemOrc->OnClick = [this](TObject* s) { btnListaItemOrcClick(s); };

    grbMeses = Add<TGroupBox>("grbMeses", this);
    grbMeses->SetCaption("Meses");
    grbMeses->SetBounds(8, 220, 404, 136);
    ckbTdMes = Add<TCheckBox>("ckbTdMes", grbMeses);
    ckbTdMes->SetCaption("Todos");
    ckbTdMes->SetBounds(12, 20, 80, 20);
    ckbTdMes->OnClick = [this](TObject* s) { ckbTdMesClick(s); };
    grbMesesItens = Add<TGroupBox>("grbMesesItens", grbMeses);
    grbMesesItens->SetBounds(8, 42, 388, 88);
    for (int m = 0; m < 12; ++m) {
        TCheckBox* box = Add<TCheckBox>(kNomesCaixa[m], grbMesesItens);
        box->SetCaption(kMeses[m]);
        box->SetBounds(10 + (m % 4) * 94, 8 + (m / 4) * 26, 92, 20);
        box->OnClick = [this](TObject* s) { vdCheck(s); };
        ckbMes[static_cast<std::size_t>(m)] = box;
    }
    for (TClientDataSet* cds : {&cdsListaFil, &cdsListaMo, &cdsTpDesLEn})
        RegisterDataSet(cds->Name(), cds);
}

void TfrmReplicaVal::FormCreate(TObject* Sender) {
    TfrmRotiGeral::FormCreate(Sender);
    cbbOperac->SetItemIndex(0);
    stItens = kTodos;
    rbtTdItemOrc->SetChecked(true);
    AjustaPagina(principal().pgcOrcamento->ActivePage());
    AjustaMeses();
    if (stFilial == "T")
        rbtTdListFil->SetChecked(true);
    else
        rbtListFil->SetChecked(true);
    MontaFiliaisOrcamento();
}

void TfrmReplicaVal::AjustaPagina(const TTabSheet* page) {
    const Pagina* p = paginaDe(page);
    m_letraItens = p ? p->letra : 0;
    if (!p) return;
    if (p->descricao) edtDescItemOrc->SetText(msgPadrao.Msg(p->descricao));
    std::string grupo = p->grupo ? msgPadrao.Msg(p->grupo) : std::string();
    const char* nome = p->nome;
    if (p->letra == 'E') {
        cdsTpDesLEn.SetData(
            CheckResultServ(principal().netCalcOrcaOper.AppServer("TpDespLanEnt", {}), true, 0)
                .packet());
        if (!cdsTpDesLEn.IsEmpty() &&
            cdsTpDesLEn.FieldByName("IDORCDESPENTROP").AsString() == "O") {
            grupo = msgPadrao.Msg("tp_Oper");
            nome = "NMTIPOOPER";
        }
    }
    if (!grupo.empty()) grbItemOrc->SetCaption(grupo);
    SetChildEnabled(grbItemOrc, p->itens);
    grbItemOrc->SetEnabled(p->itens);
    // The search button follows "Lista", which the opening always clears.
    btnListaItemOrc->SetEnabled(p->itens && rbtListaItemOrc->Checked());
    for (const char* name : kNomesItem)
        cdsListaMo.FieldByName(name).SetVisible(nome && std::string(name) == nome);
}

void TfrmReplicaVal::AjustaMeses() {
    const TfrmCalcOrcaOper& main = principal();
    bool todos = true;
    for (int m = 0; m < 12; ++m) {
        if (!main.MesFechado(m + 1)) continue;
        TCheckBox* box = ckbMes[static_cast<std::size_t>(m)];
        box->SetChecked(false);
        box->SetEnabled(false);
        todos = false;
    }
    // "Todos" would take the closed months too.
    if (!todos) {
        ckbTdMes->SetChecked(false);
        ckbTdMes->SetEnabled(false);
    }
}

void TfrmReplicaVal::MontaFiliaisOrcamento() {
    TClientDataSet& rows = principal().cdsItensOrcFatCons;
    stFilialOrc.clear();
    if (!rows.Active()) return;
    const int branch = rows.FieldByName("CDFILIAL").Index();
    const int item = rows.FieldByName("IDITEMORCAMENTO").Index();
    const int status = rows.FieldByName("IDSTATUSORCA").Index();
    const int access = rows.FieldByName("IDACESSOCALC").Index();
    std::set<std::string> seen;
    // Read without moving the main screen's cursor: its scroll handlers must not run.
    for (int row = 0; row < rows.RecordCount(); ++row) {
        if (!TfrmCalcOrcaOper::LinhaReplicavel(rows.RowValue(row, item).toText(),
                                               rows.RowValue(row, status).toText(),
                                               rows.RowValue(row, access).toText()))
            continue;
        const std::string code = rows.RowValue(row, branch).toText();
        if (seen.insert(code).second) stFilialOrc += "_" + code;
    }
    if (!stFilialOrc.empty()) stFilialOrc += "_";
}

void TfrmReplicaVal::rbtTdListFilClick(TObject*) {
    btnListaFil->SetEnabled(false);
    stFilial = kTodos;
}

void TfrmReplicaVal::rbtListFilClick(TObject*) {
    if (stFilial == "T") stFilial.clear();
    btnListaFil->SetEnabled(true);
}

void TfrmReplicaVal::btnListaFilClick(TObject*) {
    stItens.clear();
    rbtTdItemOrc->SetChecked(true);
    std::string lista = stFilialOrc;
    cdsListaFil.SetData(
        CheckResultServ(principal().netCalcOrcaOper.AppServer("GetListaFilRepl", {Arg::ref(lista)}),
                        true, 0)
            .packet());
    PesquisaLista(&dtsFilial, "CDFILIAL", msgPadrao.Msg("Filial") + "|" + kSemFilial, true,
                  stFilial);
}

void TfrmReplicaVal::rbtTdItemOrcClick(TObject*) {
    btnListaItemOrc->SetEnabled(false);
    stItens = kTodos;
}

void TfrmReplicaVal::rbtListaItemOrcClick(TObject*) {
    if (stItens == "T") stItens.clear();
    btnListaItemOrc->SetEnabled(true);
}

void TfrmReplicaVal::btnListaItemOrcClick(TObject*) {
    const Pagina* p = paginaDe(principal().pgcOrcamento->ActivePage());
    // The fee page has no items to choose from.
    if (!m_letraItens || !p) {
        Application::instance().platform().MessageBox(MessageKind::Information, kSemItem,
                                                      MessageButtons::Ok);
        return;
    }
    TfrmCalcOrcaOper& main = principal();
    std::string filiais = rbtTdListFil->Checked() ? stFilialOrc : stFilial;
    std::string letra(1, m_letraItens);
    cdsListaMo.SetData(CheckResultServ(main.netCalcOrcaOper.AppServer(
                                           "GetListaItens", {Arg::ref(filiais), Arg::ref(letra),
                                                             Variant(main.speAno->Text())}),
                                       true, 0)
                           .packet());
    PesquisaLista(&dtsListaMo, "CODIGO", msgPadrao.Msg(p->titulo) + "|" + kSemItem, true, stItens);
}

void TfrmReplicaVal::ckbTdMesClick(TObject*) {
    const bool todos = ckbTdMes->Checked();
    const TfrmCalcOrcaOper& main = principal();
    for (int m = 0; m < 12; ++m) {
        TCheckBox* box = ckbMes[static_cast<std::size_t>(m)];
        if (todos) box->SetChecked(false);
        box->SetEnabled(!todos && !main.MesFechado(m + 1));
    }
}

void TfrmReplicaVal::vdCheck(TObject*) {
    for (TCheckBox* box : ckbMes)
        if (!box->Checked()) return;
    ckbTdMes->SetChecked(true);
}

void TfrmReplicaVal::dbeValorKeyPress(TObject*, TKeyChar& Key) {
    if (Key >= U'0' && Key <= U'9' && dbeValor->Text().size() > 8) Key = 0;
}

std::string TfrmReplicaVal::getOperac() const {
    static const char* const kCodigos[] = {"AT", "SO", "SU", "AC", "DE"};
    const int index = cbbOperac->ItemIndex();
    return index >= 0 && index < 5 ? kCodigos[index] : "AT";
}

void TfrmReplicaVal::vdFilial() {
    if (rbtListFil->Checked() && stFilial.empty()) {
        rbtListFil->SetFocus();
        MensErro(msgPadrao.Msg("ListaFil_Inf"));
    }
}

void TfrmReplicaVal::sbtConfirmaClick(TObject* Sender) {
    TfrmRotiGeral::sbtConfirmaClick(Sender);
    stOperac = getOperac();
    vdFilial();
    if (rbtListaItemOrc->Checked() && stItens.empty()) {
        rbtListaItemOrc->SetFocus();
        MensErro(msgPadrao.Msg("ITENS_INF"));
    }
    bool algumMes = ckbTdMes->Checked();
    for (const TCheckBox* box : ckbMes)
        algumMes = algumMes || box->Checked();
    if (!algumMes) MensErro(msgPadrao.Msg("Check_Inf"));

    TfrmCalcOrcaOper& main = principal();
    main.v_vrItem = dbeValor->GetNumber();
    main.boTdMes = ckbTdMes->Checked();
    for (int m = 0; m < 12; ++m)
        main.*TfrmCalcOrcaOper::kBoMeses[static_cast<std::size_t>(m)] =
            ckbMes[static_cast<std::size_t>(m)]->Checked();
    main.stReplicFil = stFilial == "T" ? stFilialOrc : stFilial;
    main.stReplicItens = stItens.empty() ? "T" : stItens;
    main.boReplicacao = true;
    if (Modal())
        SetModalResult(mrOk);
    else
        Close();
}

void TfrmReplicaVal::FormClose(TObject* Sender, TCloseAction& Action) {
    TfrmRotiGeral::FormClose(Sender, Action);
    if (frmReplicaVal == this) frmReplicaVal = nullptr;
}

void criaReplicaVal(const std::string& filiais) {
    stFilial = filiais;
    CursorGuard hourglass;
    if (!frmReplicaVal)
        frmReplicaVal =
            Application::instance().createModuleForm<TfrmReplicaVal>(kModuleCode, nullptr);
    frmReplicaVal->SetWindowState(wsNormal);
    frmReplicaVal->ShowModal();
}
