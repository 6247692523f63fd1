#include "simulation/items/Cli_fyn10350.h"

#include "budget/Cli_fyn10000.h"
#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TPanel.h"
#include "simulation/Cli_fyn10300.h"

#include <cassert>

namespace {

const char* const kMensagens =
    "Excl|Confirma exclusão?\n"
    "Janeiro|1\nFevereiro|2\nMarço|3\nAbril|4\nMaio|5\nJunho|6\nJulho|7\nAgosto|8\n"
    "Setembro|9\nOutubro|10\nNovembro|11\nDezembro|12\n"
    "Cancel|Cancela operação?\n"
    "Atu|Com a atualização, os valores alterados serão substituidos pelos lançados no "
    "orçamento. Confirma atualização?\n"
    "Conf|Confirma operação?\n"
    "VrInv|Valor inválido.\n";

} // namespace

TfrmSimulaEntrada::TfrmSimulaEntrada(TComponent* owner) : TfrmSimulaLinha(owner) {
    msgPadrao.Add(kMensagens);
    CriaCampos();
    dtsPadrao.SetDataSet(&cdsDespesasEnt);
    Monta("frmSimulaEntrada", "Simulação Despesas Lanc. Entradas", "FYN10350", "dbgMes",
          cdsValorMes);
    CriaGrades();
    // Twelve months under a short list of items, on a screen of 800 by 600.
    SetBounds(0, 0, 780, 560);
    panMeses->SetBounds(0, 232, 780, 300);
    OnActivate = [this](TObject* s) { FormActivate(s); };
}

TfrmSimulaEntrada::~TfrmSimulaEntrada() {
    DestroyComponents();
}

void TfrmSimulaEntrada::CriaCampos() {
    for (TClientDataSet* ds : {&cdsSimulaEntr, &cdsSimulaOrig}) {
        ds->AddField("NRANOORCAOP", FieldType::String, 4);
        ds->AddField("CDFILIAL", FieldType::String, 4);
        ds->AddField("DTORCAMENTOITEM", FieldType::DateTime);
        ds->AddField("IDSTATUSORCA", FieldType::String, 1);
        for (int mes = 1; mes <= 12; ++mes) {
            TField& valor = ds->AddField("VRORCAMENTO" + Abreviatura(mes), FieldType::Float);
            valor.SetDisplayFormat("#,##0.00");
            valor.SetMaxValue(999999999);
        }
        ds->AddField("IDITEMORCAMENTO", FieldType::String, 1);
        ds->AddField("IDTIPOORCAOP", FieldType::String, 1);
        ds->AddField("IDENTRSAIDOP", FieldType::String, 1);
        ds->AddField("CDTIPOOPER", FieldType::String, 2);
        ds->AddField("CDDESPADMFAT", FieldType::String, 2);
        ds->AddField("CDDESPPREV", FieldType::String, 3);
        ds->AddField("DTMESBASEITEM", FieldType::DateTime);
        ds->AddField("NMTIPOOPER", FieldType::String, 30);
        ds->AddField("DSDESPADMFAT", FieldType::String, 40);
        ds->AddField("NMDESPPREV", FieldType::String, 50);
        ds->AddField("IDALTERADO", FieldType::String, 1);
        ds->AddField("IDACESSOCALC", FieldType::String, 1);
        ds->AddField("NRSEQITEMORCA", FieldType::String, 10);
    }
    cdsTpDespLanEnt.AddField("IDORCDESPENTROP", FieldType::String, 1);

    cdsDespesasEnt.AddField("IDITEMORCAMENTO", FieldType::String, 1).SetVisible(false);
    cdsDespesasEnt.AddField("CDDESPPREV", FieldType::String, 3).SetDisplayLabel("Código");
    cdsDespesasEnt.AddField("NMDESPPREV", FieldType::String, 50).SetDisplayLabel("Tipo de Despesa");
    cdsDespesasEnt.AddField("CDTIPOOPER", FieldType::String, 2).SetDisplayLabel("Código");
    cdsDespesasEnt.AddField("NMTIPOOPER", FieldType::String, 50)
        .SetDisplayLabel("Tipo de Operação");
    cdsDespesasEnt.AddField("CDFILIAL", FieldType::String, 4).SetDisplayLabel("Filial");
    TField& entradas = cdsDespesasEnt.AddField("VRENTRADAS", FieldType::Float);
    entradas.SetDisplayLabel("Valor Total");
    entradas.SetDisplayFormat("#,##0.00");
    TField& percEntrada = cdsDespesasEnt.AddField("VRPERCENTRA", FieldType::Float);
    percEntrada.SetDisplayLabel("% Entrada");
    percEntrada.SetDisplayFormat("#,#0.0");
    TField& percFat = cdsDespesasEnt.AddField("VRPERCFATU", FieldType::Float);
    percFat.SetDisplayLabel("% Faturamento");
    percFat.SetDisplayFormat("#,#0.0");
    // Items sharing an operation or expense code are told apart by their sequence.
    cdsDespesasEnt.AddField("NRSEQITEMORCA", FieldType::String, 10).SetVisible(false);
    cdsDespesasEnt.SetIndexFieldNames("CDTIPOOPER");
    cdsDespesasEnt.AfterScroll = [this](TClientDataSet& ds) { cdsDespesasEntAfterScroll(ds); };

    cdsValorMes.AddField("NMMES", FieldType::String, 20).SetDisplayLabel("Mês");
    TField& valor = cdsValorMes.AddField("VRMES", FieldType::Float);
    valor.SetDisplayLabel("Valor");
    valor.SetDisplayFormat("#,##0.00");
    valor.SetEditFormat("#,##0.00");
    valor.SetMaxValue(99999999);
    LigaValorDigitado(valor);
    TField& faturamento = cdsValorMes.AddField("FATURAMENTO", FieldType::Float);
    faturamento.SetDisplayLabel("% Faturamento");
    faturamento.SetDisplayFormat("#,##0.0");
    cdsValorMes.AddField("CDDESPPREV", FieldType::String, 3).SetVisible(false);
    cdsValorMes.AddField("CDTIPOOPER", FieldType::String, 2).SetVisible(false);
    cdsValorMes.AddField("CDFILIAL", FieldType::String, 4).SetVisible(false);
    cdsValorMes.AddField("CDMES", FieldType::String, 2).SetVisible(false);
    cdsValorMes.AddField("IDPERMCALC", FieldType::String, 1).SetVisible(false);
    cdsValorMes.AddField("NRSEQITEMORCA", FieldType::String, 10).SetVisible(false);
    cdsValorMes.SetIndexFieldNames("CDMES");
    cdsValorMes.BeforeInsert = [](TClientDataSet&) { Abort(); };
    cdsValorMes.BeforeDelete = [](TClientDataSet&) { Abort(); };
    cdsValorMes.BeforeEdit = [this](TClientDataSet& ds) { cdsValorMesBeforeEdit(ds); };
    cdsValorMes.BeforePost = [this](TClientDataSet& ds) { cdsValorMesBeforePost(ds); };
    cdsValorMes.AfterPost = [this](TClientDataSet& ds) { cdsValorMesAfterPost(ds); };
    cdsValorMes.AfterScroll = [this](TClientDataSet& ds) { cdsValorMesAfterScroll(ds); };
    for (TClientDataSet* ds :
         {&cdsSimulaEntr, &cdsSimulaOrig, &cdsTpDespLanEnt, &cdsDespesasEnt, &cdsValorMes})
        RegisterDataSet(ds->Name(), ds);
}

void TfrmSimulaEntrada::CriaGrades() {
    dbgPadrao->AddColumn("CDFILIAL", "Filial", 56);
    dbgPadrao->AddColumn("CDTIPOOPER", "Código", 60);
    dbgPadrao->AddColumn("NMTIPOOPER", "Tipo de Operação", 280);
    dbgPadrao->AddColumn("VRENTRADAS", "Valor Total", 130);
    dbgPadrao->AddColumn("VRPERCENTRA", "% Entrada", 90);
    dbgPadrao->AddColumn("VRPERCFATU", "% Faturamento", 110);
    dbgMeses->AddColumn("NMMES", "Mês", 160).SetReadOnly(true);
    dbgMeses->AddColumn("VRMES", "Valor", 160);
    dbgMeses->AddColumn("FATURAMENTO", "% Faturamento", 130).SetReadOnly(true);
    dbgMeses->OnKeyPress = [this](TObject* s, TKeyChar& k) { dbgMesKeyPress(s, k); };
}

void TfrmSimulaEntrada::FormCreate(TObject* Sender) {
    TfrmSimulaLinha::FormCreate(Sender);
    boIdCriado = false;
}

void TfrmSimulaEntrada::FormActivate(TObject*) {
    MostraNome(dtsPadrao, PorOperacao() ? "NMTIPOOPER" : "NMDESPPREV");
}

std::vector<DataPacket> TfrmSimulaEntrada::Pacotes() const {
    return {cdsSimulaEntr.Data()};
}

bool TfrmSimulaEntrada::PorOperacao() const {
    return cdsTpDespLanEnt.Active() && !cdsTpDespLanEnt.IsEmpty() &&
           cdsTpDespLanEnt.FieldByName("IDORCDESPENTROP").AsString() == "O";
}

double TfrmSimulaEntrada::ValorDoPeriodo() const {
    const std::string& stMes = Resultado().stMes;
    double valor = 0;
    for (int mes = 1; mes <= 12; ++mes)
        if (stMes == "T" || stMes == std::to_string(mes))
            valor += cdsSimulaEntr.FieldByName("VRORCAMENTO" + Abreviatura(mes)).AsFloat();
    return valor;
}

double TfrmSimulaEntrada::FaturamentoDoMes(const std::string& filial, int mes) const {
    TClientDataSet& total = Resultado().cdsValTotal;
    if (!total.Active() || mes < 1 || mes > 12) return 0;
    LocateOptions opcoes;
    opcoes.caseInsensitive = true;
    // Another branch's billing must not stand in for a branch the server did not total.
    if (!total.Locate("CDFILIAL", {Variant(filial)}, opcoes)) return 0;
    return total.FieldByName("VRORCAMENTO" + Abreviatura(mes)).AsFloat();
}

void TfrmSimulaEntrada::PreparaEntradas() {
    TfrmSimulaResult& r = Resultado();
    const bool doOrcamento = !cdsSimulaOrig.Active() || cdsSimulaOrig.IsEmpty() ||
                             (r.boAtualizaGeralDe && !r.boSimulaPercDe);
    cdsSimulaEntr.SetFiltered(false);
    cdsSimulaEntr.SetData(doOrcamento ? Principal().cdsItensOrcamento.Data()
                                      : cdsSimulaOrig.Data());

    cdsTpDespLanEnt.SetData(
        CheckResultServ(Principal().netCalcOrcaOper.AppServer("TpDespLanEnt", {}), true, 0)
            .packet());
    const bool porOperacao = PorOperacao();
    if (!r.stCdFilial.empty()) {
        TColumn* codigo = dbgPadrao->Column(1);
        TColumn* nome = dbgPadrao->Column(2);
        codigo->SetFieldName(porOperacao ? "CDTIPOOPER" : "CDDESPPREV");
        codigo->SetTitleCaption("Código");
        nome->SetFieldName(porOperacao ? "NMTIPOOPER" : "NMDESPPREV");
        nome->SetTitleCaption(porOperacao ? "Tipo de Operação" : "Tipo de Despesa");
        cdsSimulaEntr.SetFilter("IDTIPOORCAOP = 'E' AND " + r.filtroFil(r.stCdFilial) +
                                (porOperacao ? " AND CDTIPOOPER <> 'V'" : " AND CDTIPOOPER = 'V'"));
    }
    cdsSimulaEntr.SetFiltered(true);

    FreezeGuard itensCongelados(cdsDespesasEnt);
    FreezeGuard mesesCongelados(cdsValorMes);
    {
        HandlerGuard semInsercao(cdsValorMes.BeforeInsert);
        HandlerGuard semEdicao(cdsValorMes.BeforeEdit);
        HandlerGuard semGravacao(cdsValorMes.BeforePost);
        HandlerGuard semPosGravacao(cdsValorMes.AfterPost);
        HandlerGuard semRolagem(cdsValorMes.AfterScroll);
        HandlerGuard semRolagemItem(cdsDespesasEnt.AfterScroll);
        for (TClientDataSet* ds : {&cdsDespesasEnt, &cdsValorMes}) {
            ds->SetFiltered(false);
            if (ds->Active())
                ds->EmptyDataSet();
            else
                ds->CreateDataSet();
        }

        const std::vector<MesDoAno> meses = MesesDoPeriodo();
        for (cdsSimulaEntr.First(); !cdsSimulaEntr.Eof(); cdsSimulaEntr.Next()) {
            const std::string filial = cdsSimulaEntr.FieldByName("CDFILIAL").AsString();
            const std::string sequencia = cdsSimulaEntr.FieldByName("NRSEQITEMORCA").AsString();
            const std::string operacao =
                porOperacao ? cdsSimulaEntr.FieldByName("CDTIPOOPER").AsString() : "";
            const std::string despesa =
                porOperacao ? "" : cdsSimulaEntr.FieldByName("CDDESPPREV").AsString();
            cdsDespesasEnt.Append();
            cdsDespesasEnt.FieldByName("CDTIPOOPER").SetAsString(operacao);
            cdsDespesasEnt.FieldByName("CDDESPPREV").SetAsString(despesa);
            if (porOperacao)
                cdsDespesasEnt.FieldByName("NMTIPOOPER")
                    .SetAsString(cdsSimulaEntr.FieldByName("NMTIPOOPER").AsString());
            else
                cdsDespesasEnt.FieldByName("NMDESPPREV")
                    .SetAsString(cdsSimulaEntr.FieldByName("NMDESPPREV").AsString());
            cdsDespesasEnt.FieldByName("CDFILIAL").SetAsString(filial);
            cdsDespesasEnt.FieldByName("NRSEQITEMORCA").SetAsString(sequencia);
            cdsDespesasEnt.FieldByName("VRENTRADAS").SetAsFloat(ValorDoPeriodo());
            cdsDespesasEnt.FieldByName("IDITEMORCAMENTO")
                .SetAsString(cdsSimulaEntr.FieldByName("IDITEMORCAMENTO").AsString());
            cdsDespesasEnt.Post();

            for (const MesDoAno& m : meses) {
                const TField& valor = cdsSimulaEntr.FieldByName("VRORCAMENTO" + Abreviatura(m.mes));
                cdsValorMes.Append();
                cdsValorMes.FieldByName("CDTIPOOPER").SetAsString(operacao);
                cdsValorMes.FieldByName("CDDESPPREV").SetAsString(despesa);
                cdsValorMes.FieldByName("CDFILIAL").SetAsString(filial);
                cdsValorMes.FieldByName("NRSEQITEMORCA").SetAsString(sequencia);
                cdsValorMes.FieldByName("NMMES").SetAsString(NomeMes(m.mes));
                cdsValorMes.FieldByName("CDMES").SetAsString(Ajusta(m.posicao));
                cdsValorMes.FieldByName("IDPERMCALC").SetAsString(PermissaoDoMes(m.mes));
                cdsValorMes.FieldByName("VRMES").SetAsVariant(valor.AsVariant());
                cdsValorMes.FieldByName("FATURAMENTO")
                    .SetAsFloat(Participacao(valor.AsFloat(), FaturamentoDoMes(filial, m.mes)));
                cdsValorMes.Post();
            }
        }
        RecalculaParticipacoes();
        cdsDespesasEnt.First();
    }
    FiltraMeses();
    controlaMenu();
}

void TfrmSimulaEntrada::RecalculaParticipacoes() {
    double total = 0;
    for (cdsDespesasEnt.First(); !cdsDespesasEnt.Eof(); cdsDespesasEnt.Next())
        total += cdsDespesasEnt.FieldByName("VRENTRADAS").AsFloat();
    for (cdsDespesasEnt.First(); !cdsDespesasEnt.Eof(); cdsDespesasEnt.Next()) {
        const double valor = cdsDespesasEnt.FieldByName("VRENTRADAS").AsFloat();
        cdsDespesasEnt.Edit();
        cdsDespesasEnt.FieldByName("VRPERCENTRA").SetAsFloat(Participacao(valor, total));
        cdsDespesasEnt.FieldByName("VRPERCFATU").SetAsFloat(Participacao(valor, vrFaturamento));
        cdsDespesasEnt.Post();
    }
}

void TfrmSimulaEntrada::FiltraMeses() {
    if (cdsDespesasEnt.IsEmpty()) return;
    const std::string sequencia = cdsDespesasEnt.FieldByName("NRSEQITEMORCA").AsString();
    if (sequencia.empty()) return;
    cdsValorMes.SetFiltered(false);
    cdsValorMes.SetFilter("NRSEQITEMORCA = '" + sequencia + "' AND CDFILIAL = '" +
                          cdsDespesasEnt.FieldByName("CDFILIAL").AsString() + "'");
    cdsValorMes.SetFiltered(true);
}

double TfrmSimulaEntrada::DevolveMeses() {
    LocateOptions opcoes;
    opcoes.caseInsensitive = true;
    // An item changed under the dialog (another branch or sequence) has nothing to take back.
    if (!cdsSimulaEntr.Locate("CDFILIAL;IDTIPOORCAOP;NRSEQITEMORCA",
                              {Variant(cdsDespesasEnt.FieldByName("CDFILIAL").AsString()),
                               Variant("E"),
                               Variant(cdsDespesasEnt.FieldByName("NRSEQITEMORCA").AsString())},
                              opcoes))
        return 0;
    double total = 0;
    cdsSimulaEntr.Edit();
    for (cdsValorMes.First(); !cdsValorMes.Eof(); cdsValorMes.Next()) {
        const int mes = MesDoNome(cdsValorMes.FieldByName("NMMES").AsString());
        const TField& valor = cdsValorMes.FieldByName("VRMES");
        if (mes == 0 || valor.IsNull()) continue;
        cdsSimulaEntr.FieldByName("VRORCAMENTO" + Abreviatura(mes)).SetAsFloat(valor.AsFloat());
        total += valor.AsFloat();
    }
    cdsSimulaEntr.Post();
    return total;
}

void TfrmSimulaEntrada::FormClose(TObject* Sender, TCloseAction& Action) {
    boIdCriado = false;
    if (EditandoMeses()) {
        // A month still being typed is kept; one that cannot be stored (its message shown)
        // is dropped rather than keep the dialog from closing and its months from going back.
        try {
            cdsValorMes.CheckBrowseMode();
        } catch (const EAbort&) {
            DescartaEdicao();
        } catch (const DataSetError& erro) {
            MensErro(erro.what(), false);
            DescartaEdicao();
        }
    }
    double total = 0;
    if (cdsDespesasEnt.Active()) {
        FreezeGuard itensCongelados(cdsDespesasEnt);
        FreezeGuard mesesCongelados(cdsValorMes);
        HandlerGuard semRolagemItem(cdsDespesasEnt.AfterScroll);
        HandlerGuard semRolagem(cdsValorMes.AfterScroll);
        for (cdsDespesasEnt.First(); !cdsDespesasEnt.Eof(); cdsDespesasEnt.Next()) {
            FiltraMeses();
            total += DevolveMeses();
        }
    }
    if (frmSimulaResult) frmSimulaResult->nbeOrcE->SetNumber(total);
    TfrmSimulaLinha::FormClose(Sender, Action);
}

Variant CriaSimulaEntra(const std::string& filial, double faturamento, TClientDataSet& itens) {
    const std::vector<DataPacket> pacotes =
        TfrmSimulaLinha::Executa<TfrmSimulaEntrada>([&](TfrmSimulaEntrada& d) {
            d.stFilial = filial;
            d.vrFaturamento = faturamento;
            if (itens.Active() && !itens.IsEmpty()) d.cdsSimulaOrig.SetData(itens.Data());
            d.PreparaEntradas();
        });
    return pacotes.empty() ? Variant() : Variant(pacotes.front());
}

void TfrmSimulaResult::btnDespEntrClick(TObject*) {
    validaFilial(true);
    if (!cdsentrada.Active()) cdsentrada.CreateDataSet();
    const Variant itens = CriaSimulaEntra(edtCdFilial->Text(), vrsimulacao, cdsentrada);
    if (itens.type() == VarType::Packet) cdsentrada.SetData(itens.packet());
    if (btnDespEntr->Enabled()) FocusControl(btnDespEntr);
    // The dialog wrote the line itself; the result and the shares follow it.
    calculaResultado();
    controlaBotoes();
}
