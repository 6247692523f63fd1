#include "simulation/items/Cli_fyn10310.h"

#include "budget/Cli_fyn10000.h"
#include "services/lib/Consiste.h"
#include "services/net/Arg.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TPanel.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"
#include "simulation/Cli_fyn10300.h"

#include <cassert>
#include <charconv>

namespace {

const char* const kMensagens =
    "Excl|Confirma exclusão?\n"
    "Atu|Com a atualização, os valores alterados serão substituidos pelos lançados no "
    "orçamento. Confirma atualização?\n"
    "ValorInvalido|Valor inválido para o campo Valor.\n"
    "cancel_oper|Cancelar operação?\n";

} // namespace

TfrmSimulaFat::TfrmSimulaFat(TComponent* owner) : TfrmSimulaLinha(owner) {
    msgPadrao.Add(kMensagens);
    CriaDataSets();
    dtsPadrao.SetDataSet(&cdsServOrc);
    Monta("frmSimulaFat", "Simulação do Faturamento", "FYN10310", "dbgItensSimulacao",
          cdsInseriItens);
    dbgItensSimulacao = dbgMeses;
    // Room for the nine month columns and the twelve months without scrolling.
    SetBounds(0, 0, 980, 680);
    panMeses->SetBounds(0, 340, 980, 312);
    MostraNome(dtsPadrao, "NMSERVICO");
    CriaGrades();
    for (TClientDataSet* ds : {&cdsServOrc, &cdsSimulaItens, &cdsInseriItens})
        RegisterDataSet(ds->Name(), ds);
    cdsServOrc.AfterScroll = [this](TClientDataSet& ds) { cdsServOrcAfterScroll(ds); };
    cdsServOrc.BeforeEdit = [this](TClientDataSet& ds) { cdsServOrcBeforeEdit(ds); };
    cdsServOrc.BeforeInsert = [this](TClientDataSet& ds) { cdsServOrcBeforeInsert(ds); };
    cdsInseriItens.BeforePost = [this](TClientDataSet& ds) { cdsInseriItensBeforePost(ds); };
    cdsInseriItens.BeforeEdit = [this](TClientDataSet& ds) { cdsInseriItensBeforeEdit(ds); };
    cdsInseriItens.BeforeDelete = [this](TClientDataSet& ds) { cdsInseriItensBeforeDelete(ds); };
    cdsInseriItens.AfterScroll = [this](TClientDataSet& ds) { cdsInseriItensAfterScroll(ds); };
    dbgItensSimulacao->OnKeyPress = [this](TObject* s, TKeyChar& k) {
        dbgItensSimulacaoKeyPress(s, k);
    };
}

TfrmSimulaFat::~TfrmSimulaFat() {
    DestroyComponents();
}

void TfrmSimulaFat::CriaDataSets() {
    TClientDataSet& s = cdsServOrc;
    s.AddField("CDSERVFILI", FieldType::String, 5).SetDisplayLabel("Código");
    TField& nome = s.AddField("NMSERVICO", FieldType::String, 40);
    nome.SetDisplayLabel("Nome do Serviço");
    // A service without a name of its own was entered by hand.
    nome.OnGetText = [](TField& f, std::string& texto, bool) {
        texto = f.AsString().empty() ? "Manual" : f.AsString();
    };
    s.AddField("VRSERVCORCA", FieldType::Float).SetDisplayLabel("Valor Total");
    s.FieldByName("VRSERVCORCA").SetDisplayFormat("#,##0.00");
    s.AddField("VRTOTORCA", FieldType::Float).SetVisible(false);
    s.AddField("PERCENTUALFAT", FieldType::Float).SetDisplayLabel("% Faturamento");
    s.FieldByName("PERCENTUALFAT").SetDisplayFormat("#,##0.00");
    s.AddField("IDITEMORCAMENTO", FieldType::String, 1).SetVisible(false);
    s.AddField("NRSEQITEMORCA", FieldType::String, 10).SetVisible(false);
    s.AddField("CDFILIAL", FieldType::String, 4).SetDisplayLabel("Filial");
    s.SetIndexFieldNames("CDSERVFILI");
    s.SetFilter("CDSERVFILI <>'NULO'");
    s.SetFiltered(true);

    TClientDataSet& p = cdsSimulaItens;
    p.AddField("CDSERVFILI", FieldType::String, 5);
    p.AddField("CDFILIAL", FieldType::String, 4);
    p.AddField("IDITEMORCAMENTO", FieldType::String, 1);
    p.AddField("NRSEQITEMORCA", FieldType::String, 10);
    for (const char* prefixo :
         {"NDIAUTIL", "VRORCAMENTO", "VRPERCORRCOM", "VRREAJORC", "QTORCAMENTO"})
        for (int mes = 1; mes <= 12; ++mes)
            p.AddField(prefixo + Abreviatura(mes), FieldType::Float);

    TClientDataSet& m = cdsInseriItens;
    m.AddField("CDSERVFILI", FieldType::String, 5);
    m.AddField("NMMES", FieldType::String, 20).SetDisplayLabel("Mês");
    m.AddField("NDIAUTIL", FieldType::Float).SetDisplayLabel("Nº Dias Úteis");
    const struct {
        const char* nome;
        const char* titulo;
        const char* formato;
    } valores[] = {
        {"QTESTIMADA", "Qtde. Estimada", "#,##0.00"}, {"VRCORRECAO", "% Correção", "#,#0.0"},
        {"QTORCADA", "Qtde. Orçada", "#,##0.00"},     {"VRPRECOBASE", "Preço Base", "#,##0.00"},
        {"VRREAJUSTE", "Vr. Reajuste", "#,##0.00"},   {"VRTOTAL", "Valor Total", "#,##0.00"}};
    for (const auto& v : valores) {
        TField& f = m.AddField(v.nome, FieldType::Float);
        f.SetDisplayLabel(v.titulo);
        f.SetDisplayFormat(v.formato);
    }
    m.AddField("IDITEMORCAMENTO", FieldType::String, 1);
    m.AddField("CDMES", FieldType::String, 2);
    m.AddField("IDPERMCALC", FieldType::String, 1).SetVisible(false);
    m.AddField("CDFILIAL", FieldType::String, 4);
    m.AddField("FATURAMENTO", FieldType::Float).SetDisplayLabel("% Faturamento");
    m.FieldByName("FATURAMENTO").SetDisplayFormat("#,##0.00");
    m.SetIndexFieldNames("CDMES");
    LigaValorDigitado(m.FieldByName("QTORCADA"));
    LigaValorDigitado(m.FieldByName("VRPRECOBASE"));
}

void TfrmSimulaFat::CriaGrades() {
    dbgPadrao->AddColumn("CDFILIAL", "Filial", 60);
    dbgPadrao->AddColumn("CDSERVFILI", "Código", 70);
    dbgPadrao->AddColumn("NMSERVICO", "Nome do Serviço", 330);
    dbgPadrao->AddColumn("VRSERVCORCA", "Valor Total", 150);
    dbgPadrao->AddColumn("PERCENTUALFAT", "% Faturamento", 120);

    dbgItensSimulacao->AddColumn("NMMES", "Mês", 90).SetReadOnly(true);
    dbgItensSimulacao->AddColumn("NDIAUTIL", "Nº Dias Úteis", 90).SetReadOnly(true);
    dbgItensSimulacao->AddColumn("QTESTIMADA", "Qtde. Estimada", 100).SetReadOnly(true);
    dbgItensSimulacao->AddColumn("VRCORRECAO", "% Correção", 80).SetReadOnly(true);
    dbgItensSimulacao->AddColumn("QTORCADA", "Qtde. Orçada", 95);
    dbgItensSimulacao->AddColumn("VRPRECOBASE", "Preço Base", 85);
    dbgItensSimulacao->AddColumn("VRREAJUSTE", "Vr. Reajuste", 90).SetReadOnly(true);
    dbgItensSimulacao->AddColumn("VRTOTAL", "Valor Total", 110).SetReadOnly(true);
    dbgItensSimulacao->AddColumn("FATURAMENTO", "% Faturamento", 105).SetReadOnly(true);
}

void TfrmSimulaFat::FormCreate(TObject* Sender) {
    TfrmSimulaLinha::FormCreate(Sender);
    boCreate = true;
    boAtualiza = false;
    sbtIncluir->SetEnabled(false);
    sbtExcluir->SetEnabled(false);
    mnuIncluir->SetEnabled(false);
    mnuExcluir->SetEnabled(false);
    organizaItensFat();
    cdsInseriItens.BeforeInsert = [this](TClientDataSet& ds) { cdsInseriItensBeforeInsert(ds); };
}

void TfrmSimulaFat::FormClose(TObject* Sender, TCloseAction& Action) {
    if (frmSimulaResult) frmSimulaResult->atualizaValores();
    TfrmSimulaLinha::FormClose(Sender, Action);
    boIdCriado = false;
}

std::vector<DataPacket> TfrmSimulaFat::Pacotes() const {
    return {cdsServOrc.Data(), cdsSimulaItens.Data(), cdsInseriItens.Data()};
}

void TfrmSimulaFat::organizaItensFat() {
    TfrmSimulaResult& r = Resultado();
    // The rows are built by the load, not typed: no insert refusal, no write-back on posting.
    HandlerGuard semInsercao(cdsInseriItens.BeforeInsert);
    HandlerGuard semGravacao(cdsInseriItens.BeforePost);
    if (r.cdsItensFat.Active() && !r.cdsItensFat.IsEmpty() && !boAtualiza &&
        !r.boAtualizaGeralFat) {
        // What the previous opening left.
        cdsSimulaItens.SetData(r.cdsItensFat.Data());
        cdsInseriItens.SetData(r.cdsInseriItens.Data());
        cdsServOrc.SetData(r.cdsServOrc.Data());
    } else {
        if (cdsInseriItens.Active()) cdsInseriItens.Close();
        cdsInseriItens.CreateDataSet();
        boCreate = false;
        const Variant pacotes =
            CheckResultServ(Principal().netCalcOrcaOper.AppServer(
                                "GetSimulaFat", {Arg::ref(r.stCdFilial), r.speAno->Text(),
                                                 Resultado().Versao(), Arg::ref(r.stMes)}),
                            true, 0);
        cdsSimulaItens.SetData(pacotes.array().at(0).packet());
        cdsServOrc.SetData(pacotes.array().at(1).packet());

        const std::vector<MesDoAno> meses = MesesDoPeriodo();
        FreezeGuard parado(cdsInseriItens);
        for (cdsSimulaItens.First(); !cdsSimulaItens.Eof(); cdsSimulaItens.Next()) {
            const std::string filial = cdsSimulaItens.FieldByName("CDFILIAL").AsString();
            const bool comTotal =
                r.cdsValTotal.Active() &&
                r.cdsValTotal.Locate("CDFILIAL", {Variant(filial)}, {.caseInsensitive = true});
            for (const MesDoAno& m : meses) {
                const std::string mes = Abreviatura(m.mes);
                const double quantidade = Valor(cdsSimulaItens, "QTORCAMENTO" + mes);
                const double divisor = quantidade == 0 ? 1 : quantidade;
                const double precoBase = Valor(cdsSimulaItens, "VRORCAMENTO" + mes) / divisor;
                const double total = precoBase * quantidade;
                // A branch without billing in the month gives no share.
                const double faturamento =
                    comTotal ? Valor(r.cdsValTotal, "VRORCAMENTO" + mes) : 0.0;
                cdsInseriItens.Append();
                auto campo = [this](const char* nome) -> TField& {
                    return cdsInseriItens.FieldByName(nome);
                };
                campo("CDFILIAL").SetAsString(filial);
                campo("CDSERVFILI")
                    .SetAsString(cdsSimulaItens.FieldByName("CDSERVFILI").AsString());
                campo("IDITEMORCAMENTO")
                    .SetAsString(cdsSimulaItens.FieldByName("IDITEMORCAMENTO").AsString());
                campo("NMMES").SetAsString(NomeMes(m.mes));
                campo("CDMES").SetAsString(Ajusta(m.posicao));
                campo("IDPERMCALC").SetAsString(PermissaoDoMes(m.mes));
                campo("NDIAUTIL").SetAsFloat(Valor(cdsSimulaItens, "NDIAUTIL" + mes));
                campo("QTESTIMADA").SetAsFloat(quantidade);
                campo("QTORCADA").SetAsFloat(quantidade);
                campo("VRCORRECAO").SetAsFloat(Valor(cdsSimulaItens, "VRPERCORRCOM" + mes));
                campo("VRPRECOBASE").SetAsFloat(precoBase);
                campo("VRREAJUSTE").SetAsFloat(Valor(cdsSimulaItens, "VRREAJORC" + mes));
                campo("VRTOTAL").SetAsFloat(total);
                campo("FATURAMENTO").SetAsFloat(Participacao(total, faturamento));
                cdsInseriItens.Post();
            }
        }
        cdsSimulaItens.First();
    }
    boAtualiza = false;
    // The month rows follow the service shown.
    cdsServOrc.First();
    if (!cdsServOrc.IsEmpty()) cdsServOrcAfterScroll(cdsServOrc);
}

void TfrmSimulaFat::cdsServOrcAfterScroll(TClientDataSet&) {
    cdsInseriItens.SetFiltered(false);
    cdsInseriItens.SetFilter("CDSERVFILI = '" + cdsServOrc.FieldByName("CDSERVFILI").AsString() +
                             "'" + " AND CDFILIAL =" + "'" +
                             cdsServOrc.FieldByName("CDFILIAL").AsString() + "'");
    cdsInseriItens.SetFiltered(true);
}

std::vector<DataPacket> criaSimulaFat() {
    return TfrmSimulaLinha::Executa<TfrmSimulaFat>();
}

void TfrmSimulaResult::btnFatBrutClick(TObject*) {
    DecodificaMes();
    speAno->SetValue(TfrmSimulaLinha::Principal().speAno->Value());
    stMes = chkPeriodo->Checked() ? "T" : std::to_string(wMes);
    validaFilial(true);
    const double antes = nbeOrcF->GetNumber();
    const std::vector<DataPacket> pacotes = criaSimulaFat();
    if (pacotes.size() == 3) {
        cdsServOrc.SetData(pacotes[0]);
        cdsItensFat.SetData(pacotes[1]);
        cdsInseriItens.SetData(pacotes[2]);
    }
    atualizaValores();
    // Months moved within the period leave the total as it was but are still to be saved.
    if (nbeOrcF->GetNumber() != antes || boSimulaFat) controlaBotoes();
    if (btnFatBrut->Enabled()) btnFatBrut->SetFocus();
}
