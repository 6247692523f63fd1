#include "simulation/items/Cli_fyn10330.h"

#include "budget/Cli_fyn10000.h"
#include "services/lib/Consiste.h"
#include "services/net/Arg.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TEdit.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TPanel.h"
#include "services/ui/TSpinEdit.h"
#include "simulation/Cli_fyn10300.h"

#include <cassert>

namespace {

const char* const kMensagens =
    "Excl|Confirma exclusão?\n"
    "Atu|Com a atualização, os valores alterados serão substituidos pelos lançados no "
    "orçamento. Confirma atualização?\n"
    "Conf|Confirmar operação?\n"
    "Cancel|Cancela operação?\n"
    "ValorInvalido|Valor inválido para o campo Valor.\n";

} // namespace

bool TfrmSimulaMaoObra::TemLinhas(const TClientDataSet& ds) {
    return ds.Active() && !ds.IsEmpty();
}

TfrmSimulaMaoObra::TfrmSimulaMaoObra(TComponent* owner) : TfrmSimulaLinha(owner) {
    msgPadrao.Add(kMensagens);

    cdsTpMaoObra.AddField("CDFILIAL", FieldType::String, 4).SetDisplayLabel("Filial");
    cdsTpMaoObra.AddField("DSORCAMENTOMO", FieldType::String, 50)
        .SetDisplayLabel("Orçamento M.Obra");
    cdsTpMaoObra.AddField("CDDESPADMFAT", FieldType::String, 2).SetDisplayLabel("Código M.O");
    cdsTpMaoObra.AddField("DSDESPADMFAT", FieldType::String, 40).SetDisplayLabel("Descrição M.O");
    TField& linhaValor = cdsTpMaoObra.AddField("VRTPMAOOBRA", FieldType::Float);
    linhaValor.SetDisplayLabel("Valor");
    linhaValor.SetDisplayFormat("#,##0.00");
    TField& linhaPerc = cdsTpMaoObra.AddField("PERCENTUALMO", FieldType::Float);
    linhaPerc.SetDisplayLabel("% Faturamento");
    linhaPerc.SetDisplayFormat("#,##0.00");
    cdsTpMaoObra.AddField("CDORCAMENTOMO", FieldType::String, 10);
    cdsTpMaoObra.AddField("IDITEMORCAMENTO", FieldType::String, 1);
    cdsTpMaoObra.AddField("VRTOTFAT", FieldType::Float);
    cdsTpMaoObra.SetIndexFieldNames("CDDESPADMFAT");

    for (auto [nome, tamanho] : {std::pair{"CDDESPADMFAT", 2},
                                 {"IDITEMORCAMENTO", 1},
                                 {"CDFILIAL", 4},
                                 {"CDORCAMENTOMO", 10},
                                 {"DSORCAMENTOMO", 50},
                                 {"DSDESPADMFAT", 40}})
        cdsSimulaItensMo.AddField(nome, FieldType::String, tamanho);
    for (const char* prefixo : {"NDIAUTIL", "VRORCAMENTO"})
        for (int mes = 1; mes <= 12; ++mes)
            cdsSimulaItensMo.AddField(prefixo + Abreviatura(mes), FieldType::Float);
    cdsSimulaItensMo.AddField("VRTOTMO", FieldType::Float);

    cdsInseriItens.AddField("NMMES", FieldType::String, 20).SetDisplayLabel("Mês");
    cdsInseriItens.AddField("NDIAUTIL", FieldType::Float).SetDisplayLabel("Nr. Dias ");
    TField& valorMes = cdsInseriItens.AddField("VALORMO", FieldType::Float);
    valorMes.SetDisplayLabel("Valor");
    valorMes.SetDisplayFormat("#,##0.00");
    valorMes.SetMaxValue(9999999);
    TField& percMes = cdsInseriItens.AddField("PRCMAOOBRA", FieldType::Float);
    percMes.SetDisplayLabel("%Faturamento");
    percMes.SetDisplayFormat("#,##0.0");
    cdsInseriItens.AddField("CDFILIAL", FieldType::String, 4);
    cdsInseriItens.AddField("CDDESPADMFAT", FieldType::String, 2);
    cdsInseriItens.AddField("IDORDENACAO", FieldType::String, 2);
    cdsInseriItens.AddField("VRTOTMO", FieldType::Float).SetDisplayFormat("#,##0.00");
    cdsInseriItens.AddField("IDPERMCALC", FieldType::String, 1);
    cdsInseriItens.AddField("CDORCAMENTOMO", FieldType::String, 10);
    cdsInseriItens.SetIndexFieldNames("IDORDENACAO");
    LigaValorDigitado(valorMes);

    dtsPadrao.SetDataSet(&cdsTpMaoObra);
    Monta("frmSimulaMaoObra", "Simulação de Mão de Obra", "FYN10330", "dbgItensSimulacao",
          cdsInseriItens);
    dbgItensSimulacao = dbgMeses;
    MostraNome(dtsPadrao, "DSDESPADMFAT");

    // Small enough for a small screen, tall enough for the twelve months at once.
    SetBounds(0, 0, 760, 580);
    panMeses->SetBounds(0, 262, 760, 290);
    panRodape->SetBounds(0, 552, 760, 28);

    dbgPadrao->AddColumn("CDFILIAL", "Filial", 50);
    dbgPadrao->AddColumn("DSORCAMENTOMO", "Orçamento M.Obra", 190);
    dbgPadrao->AddColumn("CDDESPADMFAT", "Código M.O", 80);
    dbgPadrao->AddColumn("DSDESPADMFAT", "Descrição M.O", 170);
    dbgPadrao->AddColumn("VRTPMAOOBRA", "Valor", 110);
    dbgPadrao->AddColumn("PERCENTUALMO", "% Faturamento", 105);
    dbgPadrao->AddColumn("CDORCAMENTOMO", "Orçamento", 80).SetVisible(false);

    dbgItensSimulacao->AddColumn("NMMES", "Mês", 120).SetReadOnly(true);
    dbgItensSimulacao->AddColumn("NDIAUTIL", "Nr. Dias ", 90).SetReadOnly(true);
    dbgItensSimulacao->AddColumn("VALORMO", "Valor", 140);
    dbgItensSimulacao->AddColumn("PRCMAOOBRA", "%Faturamento", 110).SetReadOnly(true);
    dbgItensSimulacao->AddColumn("CDORCAMENTOMO", "Orçamento", 80).SetVisible(false);
    dbgItensSimulacao->OnKeyPress = [this](TObject* s, TKeyChar& k) {
        dbgItensSimulacaoKeyPress(s, k);
    };

    cdsTpMaoObra.AfterScroll = [this](TClientDataSet& d) { cdsTpMaoObraAfterScroll(d); };
    cdsTpMaoObra.BeforeEdit = [this](TClientDataSet& d) { cdsTpMaoObraBeforeEdit(d); };
    cdsInseriItens.BeforeEdit = [this](TClientDataSet& d) { cdsInseriItensBeforeEdit(d); };
    cdsInseriItens.AfterScroll = [this](TClientDataSet& d) { cdsInseriItensAfterScroll(d); };
    cdsInseriItens.BeforeDelete = [this](TClientDataSet& d) { cdsInseriItensBeforeDelete(d); };
    cdsInseriItens.BeforePost = [this](TClientDataSet& d) { cdsInseriItensBeforePost(d); };
    cdsInseriItens.AfterPost = [this](TClientDataSet& d) { cdsInseriItensAfterPost(d); };
    cdsInseriItens.BeforeInsert = [this](TClientDataSet& d) { cdsInseriItensBeforeInsert(d); };

    for (TClientDataSet* ds : {&cdsTpMaoObra, &cdsSimulaItensMo, &cdsInseriItens})
        RegisterDataSet(ds->Name(), ds);
}

TfrmSimulaMaoObra::~TfrmSimulaMaoObra() {
    DestroyComponents();
}

void TfrmSimulaMaoObra::FormCreate(TObject* Sender) {
    TfrmSimulaLinha::FormCreate(Sender);
    if (!RetomaSimulacao()) {
        if (!cdsInseriItens.Active()) cdsInseriItens.CreateDataSet();
        cdsInseriItens.EmptyDataSet();
        boCreate = false;
        CarregaDoServidor(Resultado().vrsimulacao);
        boCreate = true;
    }
    // Insert and delete stay off: controlaMenu never offers them.
    controlaMenu();
}

bool TfrmSimulaMaoObra::RetomaSimulacao() {
    TfrmSimulaResult& r = Resultado();
    // What the previous opening left is worth taking back only while the line's simulation
    // is pending on the result screen; after a save or a discard the budget is the truth.
    const bool pendente = r.boSimulaMo || r.boSimulaPercMo;
    if (!pendente || !TemLinhas(r.cdsItensMo) || !TemLinhas(r.cdsTpMaoObra)) return false;
    cdsSimulaItensMo.SetData(r.cdsItensMo.Data());
    {
        // The month rows are rebuilt once, below, for the first line.
        HandlerGuard semMeses(cdsTpMaoObra.AfterScroll);
        cdsTpMaoObra.SetData(r.cdsTpMaoObra.Data());
    }
    if (TemLinhas(r.cdsInseriMo)) {
        HandlerGuard semAntesDeGravar(cdsInseriItens.BeforePost);
        cdsInseriItens.SetData(r.cdsInseriMo.Data());
    } else if (!cdsInseriItens.Active()) {
        cdsInseriItens.CreateDataSet();
    }
    cdsTpMaoObra.First();
    cdsTpMaoObraAfterScroll(cdsTpMaoObra);
    return true;
}

void TfrmSimulaMaoObra::CarregaDoServidor(double base) {
    TfrmSimulaResult& r = Resultado();
    std::string ano = r.speAno ? r.speAno->Text() : Principal().speAno->Text();
    const Variant resposta =
        CheckResultServ(Principal().netCalcOrcaOper.AppServer(
                            "GetSimulaMaoObra", {Arg::ref(r.stCdFilial), ano, Resultado().Versao(),
                                                 Arg::ref(r.stMes), Arg::ref(base)}),
                        true, 2);
    const std::vector<Variant>& pacotes = resposta.array();
    if (pacotes.size() < 2) MensErro("Resposta do servidor inválida para GetSimulaMaoObra.");
    cdsSimulaItensMo.SetData(pacotes[0].packet());
    cdsTpMaoObra.SetData(pacotes[1].packet());
    // No line, no scroll: the months of a line that is gone must not stay.
    if (cdsTpMaoObra.IsEmpty()) organizaItensMo();
}

void TfrmSimulaMaoObra::FormClose(TObject* Sender, TCloseAction& Action) {
    TfrmSimulaLinha::FormClose(Sender, Action);
    boIdCriado = false;
}

std::vector<DataPacket> TfrmSimulaMaoObra::Pacotes() const {
    return {cdsTpMaoObra.Data(), cdsSimulaItensMo.Data(), cdsInseriItens.Data()};
}

void TfrmSimulaMaoObra::controlaMenu() {
    const bool editando = EditandoMeses();
    const bool semLinhas = !TemLinhas(cdsTpMaoObra);
    Habilita(!dbgPadrao->Focused() && !editando && !ItemEfetivado() && !semLinhas,
             !editando && !dbgItensSimulacao->Focused() && !semLinhas);
}

// --- Toolbar ---------------------------------------------------------------------------------

void TfrmSimulaMaoObra::sbtAlterarClick(TObject*) {
    // The lines themselves are never typed: Edit always means the month rows.
    if (!TemLinhas(cdsInseriItens)) return;
    dbgItensSimulacao->SetFocus();
    dbgItensSimulacao->SetSelectedField(&cdsInseriItens.FieldByName("VALORMO"));
    cdsInseriItens.Edit();
}

void TfrmSimulaMaoObra::sbtConfirmarClick(TObject* Sender) {
    if (EditandoMeses()) dbgItensSimulacao->UpdateData();
    if (!Pergunta("Conf")) return;
    if (EditandoMeses())
        cdsInseriItens.Post();
    else
        TfrmSimulaLinha::sbtConfirmarClick(Sender);
}

void TfrmSimulaMaoObra::sbtCancelarClick(TObject* Sender) {
    if (!Pergunta("Cancel")) return;
    if (EditandoMeses()) {
        cdsInseriItens.Cancel();
        // Months posted before this edit are still to be saved.
        Resultado().boSimulaMo = m_simulavaAntes;
    } else {
        TfrmSimulaLinha::sbtCancelarClick(Sender);
    }
}

void TfrmSimulaMaoObra::sbtVerificarClick(TObject*) {
    if (!Pergunta("Atu")) return;
    TfrmSimulaResult& r = Resultado();
    CarregaDoServidor(r.nbeOrcF->GetNumber());
    r.boSimulaMo = false;
    r.boSimulaPercMo = false;
    m_simulavaAntes = false;
    controlaMenu();
}

// --- The result screen's labour button --------------------------------------------------------

std::vector<DataPacket> criaSimulaMo() {
    return TfrmSimulaLinha::Executa<TfrmSimulaMaoObra>();
}

void TfrmSimulaResult::btnMaoObraClick(TObject*) {
    validaFilial(true);
    vrFat = nbeOrcF->GetNumber();
    vrImp = nbeOrcImp->GetNumber();
    vrCons = nbeOrcC->GetNumber();
    const double antes = nbeOrcO->GetNumber();
    const std::vector<DataPacket> pacotes = criaSimulaMo();
    if (pacotes.size() == 3) {
        cdsTpMaoObra.SetData(pacotes[0]);
        cdsItensMo.SetData(pacotes[1]);
        cdsInseriMo.SetData(pacotes[2]);
    }
    atualizaValores();
    if (nbeOrcO->GetNumber() != antes && !boSimulaMo && boAtualizaGeralMo) boSimulaMo = true;
    controlaBotoes();
    if (btnMaoObra->Enabled()) btnMaoObra->SetFocus();
}
