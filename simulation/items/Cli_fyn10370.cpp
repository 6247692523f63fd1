#include "simulation/items/Cli_fyn10370.h"

#include "budget/Cli_fyn10000.h"
#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/net/Arg.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TPanel.h"
#include "services/ui/TSpinEdit.h"
#include "simulation/Cli_fyn10300.h"

#include <cassert>

namespace {

TfrmSimulaResult& resultado() {
    assert(frmSimulaResult && "the consumption simulation is opened from the result screen");
    return *frmSimulaResult;
}

TfrmCalcOrcaOper& principal() {
    assert(frmCalcOrcaOper && "the consumption simulation works on the main screen's budget");
    return *frmCalcOrcaOper;
}

double numero(const TField& campo) {
    return campo.IsNull() ? 0.0 : campo.AsFloat();
}

// Values and diners count as changed from the cent, as the budget stores them.
bool mudou(const TField& antes, double depois) {
    return RoundDec(numero(antes), 2) != RoundDec(depois, 2) || (antes.IsNull() && depois != 0);
}

double custoMedio(double valor, double comensais) {
    return comensais > 0 ? valor / comensais : 0.0;
}

// The main screen's version as the server takes it (0 when it is not a number).
int versao() {
    int numero = 0;
    for (char c : principal().edtVersao->Text()) {
        if (c < '0' || c > '9' || numero > 99999999) return 0;
        numero = numero * 10 + (c - '0');
    }
    return numero;
}

std::string ano() {
    TfrmSimulaResult& r = resultado();
    return r.speAno ? r.speAno->Text() : principal().speAno->Text();
}

} // namespace

TfrmSimulaCons::TfrmSimulaCons(TComponent* owner) : TfrmSimulaLinha(owner) {
    msgPadrao.Add("Excl|Confirma exclusão?\n"
                  "Atu|Com a atualização, os valores alterados serão substituidos pelos "
                  "lançados no orçamento. Confirma atualização?\n"
                  "ValorInvalido|Valor inválido para o campo Valor.\n"
                  "Conf|Confirma operação?\n"
                  "Canc|Cancelar operação?\n");
    CriaDataSets();
    dtsPadrao.SetDataSet(&cdsSimulaCons);
    Monta("frmSimulaCons", "Simulação do Consumo", "FYN10370", "dbgItensSimulacao", cdsInsereItens);
    dbgItensSimulacao = dbgMeses;
    MostraNome(dtsPadrao, "NMSERVICO");
    CriaGrades();
    RegisterDataSet(cdsSimulaCons.Name(), &cdsSimulaCons);
    RegisterDataSet(cdsSimulaConsMes.Name(), &cdsSimulaConsMes);
    RegisterDataSet(cdsInsereItens.Name(), &cdsInsereItens);
}

TfrmSimulaCons::~TfrmSimulaCons() {
    DestroyComponents();
}

void TfrmSimulaCons::CriaDataSets() {
    const auto valor = [](TClientDataSet& ds, const char* nome, const char* rotulo) -> TField& {
        TField& f = ds.AddField(nome, FieldType::Float);
        f.SetDisplayLabel(rotulo);
        f.SetDisplayFormat("#,##0.00");
        return f;
    };
    cdsSimulaCons.AddField("CDSERVFILI", FieldType::String, 5).SetDisplayLabel("Código");
    TField& nome = cdsSimulaCons.AddField("NMSERVICO", FieldType::String, 40);
    nome.SetDisplayLabel("Nome do Serviço");
    // A service typed in by hand has no name of its own.
    nome.OnGetText = [](TField& f, std::string& texto, bool exibicao) {
        texto = f.AsString();
        if (exibicao && texto.empty()) texto = "Manual";
    };
    valor(cdsSimulaCons, "QTCOMENSAIS", "Comensais Estimados");
    valor(cdsSimulaCons, "VRCONSUMO", "Vr. Consumo");
    valor(cdsSimulaCons, "VRPERCFAT", "% Faturamento");
    cdsSimulaCons.AddField("CDFILIAL", FieldType::String, 4).SetDisplayLabel("Filial");
    cdsSimulaCons.AddIndex("OrdenaFilianServicos", "QTCOMENSAIS;CDSERVFILI",
                           "QTCOMENSAIS;CDSERVFILI");
    cdsSimulaCons.AfterScroll = [this](TClientDataSet& ds) { cdsSimulaConsAfterScroll(ds); };
    cdsSimulaCons.CreateDataSet();

    for (int m = 1; m <= 12; ++m)
        cdsSimulaConsMes.AddField("VRORCA" + std::to_string(m), FieldType::Float);
    for (int m = 1; m <= 12; ++m)
        cdsSimulaConsMes.AddField("QTORCA" + std::to_string(m), FieldType::Float);
    cdsSimulaConsMes.AddField("CDSERVFILI", FieldType::String, 5);
    cdsSimulaConsMes.AddField("NMSERVICO", FieldType::String, 40);
    cdsSimulaConsMes.AddField("IDITEMORCAMENTO", FieldType::String, 1);
    cdsSimulaConsMes.AddField("CDFILIAL", FieldType::String, 4);
    cdsSimulaConsMes.CreateDataSet();

    cdsInsereItens.AddField("CDSERVFILI", FieldType::String, 5).SetVisible(false);
    TField& mes = cdsInsereItens.AddField("MES", FieldType::Integer);
    mes.SetDisplayLabel("Mês");
    mes.SetAlignment(taLeftJustify);
    mes.OnGetText = [this](TField& f, std::string& texto, bool) {
        texto = f.IsNull() ? std::string() : NomeMes(f.AsInteger());
    };
    cdsInsereItens.AddField("NDIAUTIL", FieldType::Float).SetDisplayLabel("Nº Dias Úteis");
    valor(cdsInsereItens, "VRCUSTO", "PU do Serviço");
    LigaValorDigitado(valor(cdsInsereItens, "QTORCAMENTO", "Comensais Estimados"));
    valor(cdsInsereItens, "VRPERCMED", "Custo Perc. Médio");
    LigaValorDigitado(valor(cdsInsereItens, "VRORCAMENTO", "Valor Total"));
    cdsInsereItens.AddField("IDORDENA", FieldType::String, 2);
    cdsInsereItens.AddField("IDITEMORCAMENTO", FieldType::String, 1);
    cdsInsereItens.AddField("CDFILIAL", FieldType::String, 4);
    valor(cdsInsereItens, "FATURAMENTO", "% Faturamento");
    cdsInsereItens.SetIndexFieldNames("IDORDENA");
    cdsInsereItens.BeforePost = [this](TClientDataSet& ds) { cdsInsereItensBeforePost(ds); };
    cdsInsereItens.AfterScroll = [this](TClientDataSet& ds) { cdsInsereItensAfterScroll(ds); };
    cdsInsereItens.BeforeInsert = [this](TClientDataSet& ds) { cdsInsereItensBeforeInsert(ds); };
    cdsInsereItens.BeforeEdit = [this](TClientDataSet& ds) { cdsInsereItensBeforeEdit(ds); };
    cdsInsereItens.CreateDataSet();
}

void TfrmSimulaCons::CriaGrades() {
    // Room for the twelve months of a service without scrolling.
    SetBounds(Left(), Top(), 780, 640);
    panMeses->SetBounds(panMeses->Left(), 640 - 28 - 305, 780, 305);
    dbgPadrao->AddColumn("CDFILIAL", "Filial", 45);
    dbgPadrao->AddColumn("CDSERVFILI", "Código", 55);
    dbgPadrao->AddColumn("NMSERVICO", "Nome do Serviço", 240);
    dbgPadrao->AddColumn("QTCOMENSAIS", "Comensais Estimados", 135);
    dbgPadrao->AddColumn("VRCONSUMO", "Vr. Consumo", 120);
    dbgPadrao->AddColumn("VRPERCFAT", "% Faturamento", 100);

    dbgItensSimulacao->AddColumn("MES", "Mês", 90).SetReadOnly(true);
    dbgItensSimulacao->AddColumn("NDIAUTIL", "Nº Dias Úteis", 90).SetReadOnly(true);
    dbgItensSimulacao->AddColumn("VRCUSTO", "PU do Serviço", 95).SetReadOnly(true);
    dbgItensSimulacao->AddColumn("QTORCAMENTO", "Qtde. Orçada", 100);
    dbgItensSimulacao->AddColumn("VRPERCMED", "Custo Perc. Médio", 120).SetReadOnly(true);
    dbgItensSimulacao->AddColumn("VRORCAMENTO", "Valor Total", 110);
    dbgItensSimulacao->AddColumn("FATURAMENTO", "% Faturamento", 100).SetReadOnly(true);
    dbgItensSimulacao->OnKeyPress = [this](TObject* s, TKeyChar& k) {
        dbgItensSimulacaoKeyPress(s, k);
    };
}

void TfrmSimulaCons::FormCreate(TObject* Sender) {
    TfrmSimulaLinha::FormCreate(Sender);
    mnuIncluir->SetEnabled(false);
    mnuExcluir->SetEnabled(false);
    TfrmSimulaResult& r = resultado();
    // What the result screen kept from the last opening, unless it must be read again: a
    // discarded simulation, or a typed consumption that no reduction has replaced.
    const bool doServidor = !r.cdsSimulaCons.Active() || r.cdsSimulaCons.IsEmpty() ||
                            r.boAtualizaGeralCons || (r.boSimulaConsManual && !r.boSimulaPercCons);
    if (doServidor) {
        getSimulaCons();
    } else {
        cdsSimulaCons.SetData(r.cdsSimulaCons.Data());
        cdsInsereItens.SetData(r.cdsInsereCons.Data());
        cdsSimulaConsMes.SetData(r.cdsSimulaConsMes.Data());
        FiltraMeses();
        AtualizaCustoMedio();
        // The shown months go through the posting rules, so the service shows their totals.
        m_boInterno = true;
        try {
            for (cdsInsereItens.First(); !cdsInsereItens.Eof(); cdsInsereItens.Next()) {
                cdsInsereItens.Edit();
                cdsInsereItens.FieldByName("VRPERCMED")
                    .SetAsFloat(custoMedio(numero(cdsInsereItens.FieldByName("VRORCAMENTO")),
                                           numero(cdsInsereItens.FieldByName("QTORCAMENTO"))));
                cdsInsereItens.Post();
            }
        } catch (...) {
            m_boInterno = false;
            throw;
        }
        m_boInterno = false;
        HabilitaBotoes();
    }
    if (!cdsSimulaCons.IsEmpty()) doTotalConsumo = TotalConsumo();
    OrdenaServicos();
}

void TfrmSimulaCons::FormClose(TObject* Sender, TCloseAction& Action) {
    // Closing by the window's frame leaves as the exit menu does.
    if (cdsSimulaCons.Active() && !cdsSimulaCons.IsEmpty()) VerificaSimulacao();
    boIdCriado = false;
    TfrmSimulaLinha::FormClose(Sender, Action);
}

std::vector<DataPacket> TfrmSimulaCons::Pacotes() const {
    return {cdsSimulaCons.Data(), cdsSimulaConsMes.Data(), cdsInsereItens.Data()};
}

void TfrmSimulaCons::getSimulaCons() {
    TfrmSimulaResult& r = resultado();
    int numeroVersao = versao();
    Variant pacotes;
    {
        ProgressGuard progresso(this, 1, "");
        pacotes = CheckResultServ(principal().netCalcOrcaOper.AppServer(
                                      "getSimulaCons", {ano(), Arg::ref(numeroVersao),
                                                        Arg::ref(r.stCdFilial), Arg::ref(r.stMes)}),
                                  true, 3);
    }
    {
        // The month rows follow the service once they are loaded.
        HandlerGuard<TClientDataSet::Event> rolagem(cdsSimulaCons.AfterScroll);
        cdsSimulaCons.SetData(pacotes.array().at(0).packet());
        if (r.nbeOrcL->GetNumber() > 0) {
            for (cdsSimulaCons.First(); !cdsSimulaCons.Eof(); cdsSimulaCons.Next()) {
                cdsSimulaCons.Edit();
                cdsSimulaCons.FieldByName("VRPERCFAT")
                    .SetAsFloat(r.vrsimulacao != 0
                                    ? numero(cdsSimulaCons.FieldByName("VRCONSUMO")) * 100 /
                                          r.vrsimulacao
                                    : 0.0);
                cdsSimulaCons.Post();
            }
            cdsSimulaCons.First();
        }
    }
    cdsInsereItens.SetData(pacotes.array().at(1).packet());
    FiltraMeses();
    cdsSimulaConsMes.SetData(pacotes.array().at(2).packet());
}

void TfrmSimulaCons::OrdenaServicos() {
    cdsSimulaCons.SetIndexName("OrdenaFilianServicos");
    cdsSimulaCons.First();
    FiltraMeses();
}

void TfrmSimulaCons::FiltraMeses() {
    if (cdsSimulaCons.IsEmpty()) return;
    lineCdfilial = cdsSimulaCons.FieldByName("CDFILIAL").AsString();
    lineServFili = cdsSimulaCons.FieldByName("CDSERVFILI").AsString();
    if (!cdsInsereItens.Active()) return;
    cdsInsereItens.SetFiltered(false);
    cdsInsereItens.SetFilter("CDSERVFILI = '" + lineServFili + "' AND CDFILIAL ='" + lineCdfilial +
                             "'");
    cdsInsereItens.SetFiltered(true);
    cdsInsereItensAfterScroll(cdsInsereItens);
}

void TfrmSimulaCons::cdsSimulaConsAfterScroll(TClientDataSet&) {
    FiltraMeses();
}

void TfrmSimulaCons::AtualizaCustoMedio() {
    HandlerGuard<TClientDataSet::Event> antes(cdsInsereItens.BeforePost);
    HandlerGuard<TClientDataSet::Event> edicao(cdsInsereItens.BeforeEdit);
    HandlerGuard<TClientDataSet::Event> rolagem(cdsInsereItens.AfterScroll);
    const bool filtrado = cdsInsereItens.Filtered();
    cdsInsereItens.SetFiltered(false);
    for (cdsInsereItens.First(); !cdsInsereItens.Eof(); cdsInsereItens.Next()) {
        cdsInsereItens.Edit();
        cdsInsereItens.FieldByName("VRPERCMED")
            .SetAsFloat(custoMedio(numero(cdsInsereItens.FieldByName("VRORCAMENTO")),
                                   numero(cdsInsereItens.FieldByName("QTORCAMENTO"))));
        cdsInsereItens.Post();
    }
    cdsInsereItens.SetFiltered(filtrado);
}

void TfrmSimulaCons::cdsInsereItensBeforePost(TClientDataSet& ds) {
    TfrmSimulaResult& r = resultado();
    const std::string servico = ds.FieldByName("CDSERVFILI").AsString();
    const std::string filial = ds.FieldByName("CDFILIAL").AsString();
    const int mes = ds.FieldByName("MES").AsInteger();
    const double comensaisMes = numero(ds.FieldByName("QTORCAMENTO"));
    const double valorMes = numero(ds.FieldByName("VRORCAMENTO"));

    if (mes >= 1 && mes <= 12 &&
        cdsSimulaConsMes.Locate("CDSERVFILI;CDFILIAL", {Variant(servico), Variant(filial)},
                                {true, false})) {
        cdsSimulaConsMes.Edit();
        TField& qt = cdsSimulaConsMes.FieldByName("QTORCA" + std::to_string(mes));
        TField& vr = cdsSimulaConsMes.FieldByName("VRORCA" + std::to_string(mes));
        if (mudou(qt, comensaisMes) || mudou(vr, valorMes)) m_boAlterou = true;
        qt.SetAsFloat(comensaisMes);
        vr.SetAsFloat(valorMes);
        cdsSimulaConsMes.Post();
    }

    double comensais = 0, valor = 0;
    if (r.stMes == "T") {
        comensais = comensaisMes;
        for (int m = 1; m <= 12; ++m)
            valor += numero(cdsSimulaConsMes.FieldByName("VRORCA" + std::to_string(m)));
    } else {
        if (const TField* qt = cdsSimulaConsMes.FindField("QTORCA" + r.stMes); qt && !qt->IsNull())
            comensais = qt->AsFloat();
        if (const TField* vr = cdsSimulaConsMes.FindField("VRORCA" + r.stMes); vr && !vr->IsNull())
            valor = vr->AsFloat();
    }
    ds.FieldByName("VRPERCMED").SetAsFloat(custoMedio(valorMes, comensaisMes));

    if (!cdsSimulaCons.IsEmpty()) {
        // The service's new diners may reorder the services: the month rows stay as they are.
        HandlerGuard<TClientDataSet::Event> rolagem(cdsSimulaCons.AfterScroll);
        cdsSimulaCons.Edit();
        cdsSimulaCons.FieldByName("VRCONSUMO").SetAsFloat(valor);
        cdsSimulaCons.FieldByName("QTCOMENSAIS").SetAsFloat(comensais);
        if (r.nbeOrcL->GetNumber() > 0)
            cdsSimulaCons.FieldByName("VRPERCFAT")
                .SetAsFloat(r.vrsimulacao != 0 ? valor * 100 / r.vrsimulacao : 0.0);
        cdsSimulaCons.Post();
    }

    // A branch without billing in the month keeps the share it had.
    if (mes >= 1 && mes <= 12 && r.cdsValTotal.Active() &&
        r.cdsValTotal.Locate("CDFILIAL", {Variant(filial)}, {true, false})) {
        const double total = numero(r.cdsValTotal.FieldByName("VRORCAMENTO" + Abreviatura(mes)));
        if (total > 0) ds.FieldByName("FATURAMENTO").SetAsFloat(valorMes * 100 / total);
    }
}

bool TfrmSimulaCons::MesFechado() const {
    if (!cdsInsereItens.Active() || cdsInsereItens.IsEmpty()) return false;
    return PermissaoDoMes(cdsInsereItens.FieldByName("MES").AsInteger()) == "N";
}

void TfrmSimulaCons::cdsInsereItensAfterScroll(TClientDataSet&) {
    if (MesFechado())
        dbgItensSimulacao->RemoveOption(dgEditing);
    else
        dbgItensSimulacao->AddOption(dgEditing);
}

void TfrmSimulaCons::cdsInsereItensBeforeInsert(TClientDataSet&) {
    Abort();
}

void TfrmSimulaCons::cdsInsereItensBeforeEdit(TClientDataSet&) {
    // The save would refuse a closed month and pass over an effected service.
    if (!m_boInterno && (ItemEfetivado() || MesFechado())) Abort();
}

void TfrmSimulaCons::dbgItensSimulacaoKeyPress(TObject*, TKeyChar& Key) {
    FiltraTeclaMes(Key, {"QTORCAMENTO", "VRORCAMENTO"}, ItemEfetivado());
}

bool TfrmSimulaCons::ItemEfetivado() const {
    if (!cdsInsereItens.Active() || cdsInsereItens.IsEmpty()) return false;
    const std::string flag = cdsInsereItens.FieldByName("IDITEMORCAMENTO").AsString();
    return flag == "E" || flag == "A";
}

double TfrmSimulaCons::TotalConsumo() const {
    const int campo = cdsSimulaCons.FieldByName("VRCONSUMO").Index();
    double total = 0;
    for (int linha = 0; linha < cdsSimulaCons.RecordCount(); ++linha) {
        const Variant& v = cdsSimulaCons.RowValue(linha, campo);
        if (!v.isNull()) total += v.toDouble();
    }
    return total;
}

void TfrmSimulaCons::VerificaSimulacao() {
    // Diners changed, or values moved between months, leave the total as it was and must
    // still reach the budget.
    if (m_boAlterou || RoundDec(TotalConsumo(), 2) != RoundDec(doTotalConsumo, 2)) {
        TfrmSimulaResult& r = resultado();
        r.boAtualizaGeralCons = false;
        r.boSimulaCons = true;
    }
}

void TfrmSimulaCons::sbtAlterarClick(TObject*) {
    if (!dbgItensSimulacao->Focused() || cdsInsereItens.IsEmpty()) return;
    dbgItensSimulacao->SetSelectedField(&cdsInsereItens.FieldByName("QTORCAMENTO"));
    cdsInsereItens.Edit();
}

void TfrmSimulaCons::sbtConfirmarClick(TObject* Sender) {
    TfrmSimulaLinha::sbtConfirmarClick(Sender);
    if (!Pergunta("Conf")) return;
    if (!cdsInsereItens.IsEmpty()) {
        if (!EditandoMeses()) {
            m_boInterno = true;
            try {
                cdsInsereItens.Edit();
            } catch (...) {
                m_boInterno = false;
                throw;
            }
            m_boInterno = false;
        }
        cdsInsereItens.Post();
    }
    VerificaSimulacao();
    EnableButtons(false);
}

void TfrmSimulaCons::sbtCancelarClick(TObject* Sender) {
    TfrmSimulaLinha::sbtCancelarClick(Sender);
    if (!Pergunta("Canc")) return;
    if (EditandoMeses()) cdsInsereItens.Cancel();
    EnableButtons(false);
}

void TfrmSimulaCons::sbtVerificarClick(TObject*) {
    if (!Pergunta("Atu")) return;
    getSimulaCons();
    TfrmSimulaResult& r = resultado();
    r.boSimulaCons = false;
    r.boSimulaPercCons = false;
    r.boAtualizaGeralCons = true;
    // The budget's values are the new starting point.
    doTotalConsumo = TotalConsumo();
    m_boAlterou = false;
    OrdenaServicos();
}

void TfrmSimulaCons::mnuSairClick(TObject* Sender) {
    TfrmSimulaLinha::mnuSairClick(Sender);
    if (!cdsSimulaCons.IsEmpty()) VerificaSimulacao();
    EnableButtons(false);
}

void TfrmSimulaCons::HabilitaBotoes() {
    EnableButtons(EditandoMeses());
}

void TfrmSimulaCons::EnableButtons(bool editando) {
    const bool semMeses = !cdsInsereItens.Active() || cdsInsereItens.IsEmpty();
    Habilita(!dbgPadrao->Focused() && !editando && !ItemEfetivado(),
             !editando && !dbgItensSimulacao->Focused() && !semMeses);
}

std::vector<DataPacket> criaSimulaCons() {
    return TfrmSimulaLinha::Executa<TfrmSimulaCons>();
}

void TfrmSimulaResult::btnConsumoClick(TObject*) {
    validaFilial(true);
    const std::vector<DataPacket> pacotes = criaSimulaCons();
    if (pacotes.size() == 3) {
        cdsSimulaCons.SetData(pacotes[0]);
        cdsSimulaConsMes.SetData(pacotes[1]);
        cdsInsereCons.SetData(pacotes[2]);
    }
    if (btnConsumo->Enabled()) btnConsumo->SetFocus();
    atualizaValores();
    controlaBotoes();
}
