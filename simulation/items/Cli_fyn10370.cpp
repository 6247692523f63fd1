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

std::string ano() {
    TfrmSimulaResult& r = TfrmSimulaCons::Resultado();
    return r.speAno ? r.speAno->Text() : TfrmSimulaLinha::Principal().speAno->Text();
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
    TfrmSimulaResult& r = Resultado();
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
        const EdicaoInterna interna(m_boInterno);
        for (cdsInsereItens.First(); !cdsInsereItens.Eof(); cdsInsereItens.Next()) {
            cdsInsereItens.Edit();
            PoeCustoMedio();
            cdsInsereItens.Post();
        }
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
    TfrmSimulaResult& r = Resultado();
    int numeroVersao = Resultado().Versao();
    Variant pacotes;
    {
        ProgressGuard progresso(this, 1, "");
        pacotes = CheckResultServ(Principal().netCalcOrcaOper.AppServer(
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
                                    ? Numero(cdsSimulaCons.FieldByName("VRCONSUMO")) * 100 /
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

double TfrmSimulaCons::Numero(const TField& campo) {
    return campo.IsNull() ? 0.0 : campo.AsFloat();
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
