#include "simulation/items/Cli_fyn10340.h"

#include "budget/Cli_fyn10000.h"
#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/net/Arg.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TPanel.h"
#include "services/ui/TSpinEdit.h"
#include "simulation/Cli_fyn10300.h"

#include <cassert>

namespace {

const char* const kCatalogo = "Excl|Confirma exclusão?\n"
                              "Dados|Carregando dados das despesas...\n"
                              "Cancel|Cancelar operação?\n"
                              "Conf|Confirmar operação?\n"
                              "Conf_Atu|Com a atualização os valores alterados serão substituídos "
                              "pelos lançados no orçamento. Confirma atualização?\n"
                              "ValorInvalido|Valor inválido para o campo Valor.\n"
                              "desp_IsEmpty|Não há despesa orçada.\n";

} // namespace

TfrmSimulaDespDiv::TfrmSimulaDespDiv(TComponent* owner) : TfrmSimulaLinha(owner) {
    msgPadrao.Add(kCatalogo);
    CriaDatasets();
    dtsPadrao.SetDataSet(&cdsDespesas);
    Monta("frmSimulaDespDiv", "Simulação Despesas Diversas", "FYN10340", "dbgMes", cdsMes);
    dbgMes = dbgMeses;
    // Room for the twelve months under the expenses.
    SetBounds(0, 0, 780, 660);
    panMeses->SetBounds(0, 332, 780, 300);
    CriaColunas();
    MostraNome(dtsPadrao, "NMDESPPREV");

    netSimulaDespDiv.ServerName = "FYN10000.rdmCalcOrcaOper";
    netSimulaDespDiv.ThrowException = false;
    netSimulaDespDiv.BeforeConnect = [](TNetConnection& c) {
        c.Host = WebURL();
        c.Port = WebPort();
    };

    cdsDespesas.AfterScroll = [this](TClientDataSet& ds) { cdsDespesasAfterScroll(ds); };
    cdsDespesas.AfterPost = [this](TClientDataSet& ds) { cdsDespesasAfterPost(ds); };
    cdsMes.BeforePost = [this](TClientDataSet& ds) { cdsMesBeforePost(ds); };
    cdsMes.BeforeEdit = [this](TClientDataSet& ds) { cdsMesBeforeEdit(ds); };
    cdsMes.BeforeInsert = [this](TClientDataSet& ds) { cdsMesBeforeInsert(ds); };
    cdsMes.BeforeDelete = [this](TClientDataSet& ds) { cdsMesBeforeDelete(ds); };
    cdsMes.AfterScroll = [this](TClientDataSet& ds) { cdsMesAfterScroll(ds); };
    dbgMes->OnKeyPress = [this](TObject* s, TKeyChar& k) { dbgMesKeyPress(s, k); };
    OnShow = [this](TObject* s) { FormShow(s); };
    for (TClientDataSet* ds : {&cdsDespesas, &cdsMesDados, &cdsMes})
        RegisterDataSet(ds->Name(), ds);
}

TfrmSimulaDespDiv::~TfrmSimulaDespDiv() {
    DestroyComponents();
}

void TfrmSimulaDespDiv::CriaDatasets() {
    cdsDespesas.AddField("CDFILIAL", FieldType::String, 4).SetDisplayLabel("Filial");
    cdsDespesas.AddField("CDDESPPREV", FieldType::String, 3).SetDisplayLabel("Código");
    cdsDespesas.AddField("NMDESPPREV", FieldType::String, 50).SetDisplayLabel("Despesa");
    for (const char* campo : {"VRTOTAL", "PORCDESP", "PORCFAT"})
        cdsDespesas.AddField(campo, FieldType::Float).SetDisplayFormat("#,##0.00");
    cdsDespesas.FieldByName("VRTOTAL").SetDisplayLabel("Valor Total");
    cdsDespesas.FieldByName("PORCDESP").SetDisplayLabel("% Despesa");
    cdsDespesas.FieldByName("PORCFAT").SetDisplayLabel("% Faturamento");
    cdsDespesas.AddField("IDITEMORCAMENTO", FieldType::String, 1).SetVisible(false);
    cdsDespesas.SetIndexFieldNames("CDDESPPREV");

    cdsMesDados.AddField("CDFILIAL", FieldType::String, 4);
    cdsMesDados.AddField("CDDESPPREV", FieldType::String, 3);
    for (const char* prefixo : {"VRORCAMENTO", "VRFATORCAMENTO"})
        for (int mes = 1; mes <= 12; ++mes)
            cdsMesDados.AddField(prefixo + Abreviatura(mes), FieldType::Float);

    cdsMes.AddField("CDFILIAL", FieldType::String, 4);
    cdsMes.AddField("CDDESPPREV", FieldType::String, 3);
    cdsMes.AddField("NMMES", FieldType::String, 20).SetDisplayLabel("Mês");
    TField& valorMes = cdsMes.AddField("VALOR", FieldType::Float);
    valorMes.SetDisplayLabel("Valor");
    valorMes.SetDisplayFormat("#,##0.00");
    valorMes.SetMaxValue(9999999);
    LigaValorDigitado(valorMes);
    TField& faturamento = cdsMes.AddField("FATURAMENTO", FieldType::Float);
    faturamento.SetDisplayLabel("% Faturamento");
    faturamento.SetDisplayFormat("#,##0.0");
    cdsMes.AddField("IDORDENA", FieldType::Integer);
    cdsMes.AddField("IDPERMCALC", FieldType::String, 1);
    for (int mes = 1; mes <= 12; ++mes)
        cdsMes.AddField("VRFATORCAMENTO" + Abreviatura(mes), FieldType::Float);
    cdsMes.SetIndexFieldNames("IDORDENA");
}

void TfrmSimulaDespDiv::CriaColunas() {
    dbgPadrao->AddColumn("CDFILIAL", "Filial", 50);
    dbgPadrao->AddColumn("CDDESPPREV", "Código", 60);
    dbgPadrao->AddColumn("NMDESPPREV", "Despesa", 250);
    dbgPadrao->AddColumn("VRTOTAL", "Valor Total", 130);
    dbgPadrao->AddColumn("PORCDESP", "% Despesa", 100);
    dbgPadrao->AddColumn("PORCFAT", "% Faturamento", 110);
    dbgMes->AddColumn("NMMES", "Mês", 140).SetReadOnly(true);
    dbgMes->AddColumn("VALOR", "Valor", 140);
    dbgMes->AddColumn("FATURAMENTO", "% Faturamento", 120).SetReadOnly(true);
}

void TfrmSimulaDespDiv::FormCreate(TObject* Sender) {
    TfrmSimulaLinha::FormCreate(Sender);
    netSimulaDespDiv.SetConnected(true);
    for (TClientDataSet* ds : {&cdsDespesas, &cdsMesDados, &cdsMes})
        ds->CreateDataSet();
}

void TfrmSimulaDespDiv::FormShow(TObject*) {
    try {
        Carrega();
    } catch (...) {
        // A refused load leaves no dialog behind: the next opening starts afresh.
        boIdCriado = false;
        Release();
        throw;
    }
    HabilitaBotoes();
}

void TfrmSimulaDespDiv::Carrega() {
    TfrmSimulaResult& r = Resultado();
    const bool nadaGuardado = !r.cdsItensDiversas.Active() || r.cdsItensDiversas.IsEmpty() ||
                              !r.cdsMes.Active() || r.cdsMes.IsEmpty();
    if (nadaGuardado || (r.boAtualizaGeralDd && !r.boSimulaPercDd)) {
        CarregaDoServidor(r.stCdFilial);
    } else {
        // What the previous opening (or a reduction) left on the result screen.
        cdsMesDados.SetData(r.cdsItensDiversas.Data());
        cdsDespesas.SetData(r.cdsDespesas.Data());
        cdsMes.SetData(r.cdsMes.Data());
        cdsMes.SetIndexFieldNames("IDORDENA");
        cdsDespesas.First();
        FiltraMeses();
    }
}

void TfrmSimulaDespDiv::FormClose(TObject* Sender, TCloseAction& Action) {
    TfrmSimulaLinha::FormClose(Sender, Action);
    boIdCriado = false;
    netSimulaDespDiv.SetConnected(false);
}

std::vector<DataPacket> TfrmSimulaDespDiv::Pacotes() const {
    return {cdsDespesas.Data(), cdsMesDados.Data(), cdsMes.Data()};
}

void TfrmSimulaDespDiv::CarregaDoServidor(std::string& lista) {
    TfrmSimulaResult& r = Resultado();
    Variant pacotes;
    {
        ProgressGuard progresso(this, 1, msgPadrao.Msg("Dados"));
        pacotes = CheckResultServ(
            netSimulaDespDiv.AppServer("GetDespesas", {Arg::ref(lista), r.speAno->Value(),
                                                       Resultado().Versao(), Arg::ref(r.stMes)}),
            true, 2);
    }
    cdsDespesas.SetData(pacotes.array().at(0).packet());
    cdsMesDados.SetData(pacotes.array().at(1).packet());
    MontaMeses();
}

void TfrmSimulaDespDiv::MontaMeses() {
    TfrmSimulaResult& r = Resultado();
    if (!cdsMes.Active())
        cdsMes.CreateDataSet();
    else
        cdsMes.EmptyDataSet();
    if (!cdsDespesas.IsEmpty()) {
        HandlerGuard semInclusao(cdsMes.BeforeInsert);
        cdsMes.SetFiltered(false);
        if (!r.cdsValTotal.Active()) r.VALORTOTAL();
        const std::vector<MesDoAno> meses = MesesDoPeriodo();
        for (cdsMesDados.First(); !cdsMesDados.Eof(); cdsMesDados.Next()) {
            const std::string filial = cdsMesDados.FieldByName("CDFILIAL").AsString();
            const bool comFaturamento =
                r.cdsValTotal.Locate("CDFILIAL", {Variant(filial)}, LocateOptions{true, false});
            for (const MesDoAno& m : meses) {
                const double v = Valor(cdsMesDados, "VRORCAMENTO" + Abreviatura(m.mes));
                const double faturamento =
                    comFaturamento ? Valor(r.cdsValTotal, "VRORCAMENTO" + Abreviatura(m.mes)) : 0;
                cdsMes.Append();
                cdsMes.FieldByName("IDORDENA").SetAsInteger(m.posicao);
                cdsMes.FieldByName("NMMES").SetAsString(NomeMes(m.mes));
                cdsMes.FieldByName("IDPERMCALC").SetAsString(PermissaoDoMes(m.mes));
                cdsMes.FieldByName("CDDESPPREV")
                    .SetAsString(cdsMesDados.FieldByName("CDDESPPREV").AsString());
                cdsMes.FieldByName("VALOR").SetAsFloat(v);
                cdsMes.FieldByName("FATURAMENTO").SetAsFloat(Participacao(v, faturamento));
                cdsMes.FieldByName("CDFILIAL").SetAsString(filial);
                cdsMes.Post();
            }
        }
    }
    cdsMesDados.First();
    cdsMes.First();
    cdsDespesas.First();
    FiltraMeses();
}

void TfrmSimulaDespDiv::FiltraMeses() {
    if (!cdsMes.Active() || cdsMes.State() == dsEdit) return;
    // Codes are texts: quoted, "010" matches "010" only.
    const std::string codigo =
        cdsDespesas.IsEmpty() ? std::string() : cdsDespesas.FieldByName("CDDESPPREV").AsString();
    const std::string filial =
        cdsDespesas.IsEmpty() ? std::string() : cdsDespesas.FieldByName("CDFILIAL").AsString();
    cdsMes.SetFiltered(false);
    cdsMes.SetFilter("CDDESPPREV = '" + codigo + "' AND CDFILIAL = '" + filial + "'");
    cdsMes.SetFiltered(true);
    AjustaEdicaoDoMes();
}

void TfrmSimulaDespDiv::cdsDespesasAfterScroll(TClientDataSet&) {
    FiltraMeses();
}
