#include "simulation/items/Cli_fyn10400.h"

#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "services/data/EAbort.h"
#include "services/data/NumberFormat.h"
#include "services/lib/Consiste.h"
#include "services/net/Arg.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TDBNavigator.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TPanel.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"
#include "simulation/Cli_fyn10300.h"

#include <cassert>

namespace {

const char* const kMensagens = "Excl|Confirma exclusão?\n"
                               "S|% Imp.Lucro\n"
                               "I|% Imposto\n"
                               "P|% Depreciação\n"
                               "R|% Imp. Recuperar\n"
                               "N|% Investimentos\n"
                               "T|%Tx. Administrativa\n"
                               "mes_1|VRORCAMENTOJAN\nmes_2|VRORCAMENTOFEV\nmes_3|VRORCAMENTOMAR\n"
                               "mes_4|VRORCAMENTOABR\nmes_5|VRORCAMENTOMAI\nmes_6|VRORCAMENTOJUN\n"
                               "mes_7|VRORCAMENTOJUL\nmes_8|VRORCAMENTOAGO\nmes_9|VRORCAMENTOSET\n"
                               "mes_10|VRORCAMENTOOUT\nmes_11|VRORCAMENTONOV\n"
                               "mes_12|VRORCAMENTODEZ\n"
                               "Atu|Com a atualização, os valores alterados serão substituidos "
                               "pelos lançados no orçamento. Confirma atualização?\n";

std::string texto(const TClientDataSet& ds, const char* campo) {
    const TField* f = ds.FindField(campo);
    return f ? f->AsString() : std::string();
}

// The rows of `atual` of the other letters followed by the letter's rows of `novo`, in the
// fields of `atual`: one pass, whatever the size of a branch list.
DataPacket trocaLetra(const DataPacket& atual, const DataPacket& novo, const std::string& letra) {
    DataPacket saida;
    saida.fields = atual.fields;
    const int tipo = atual.fieldIndex("IDTIPOORCAOP");
    for (const auto& linha : atual.rows)
        if (tipo < 0 || linha[static_cast<std::size_t>(tipo)].toText() != letra)
            saida.rows.push_back(linha);
    std::vector<int> origem;
    for (const FieldDef& f : saida.fields)
        origem.push_back(novo.fieldIndex(f.name));
    const int tipoNovo = novo.fieldIndex("IDTIPOORCAOP");
    for (const auto& linha : novo.rows) {
        if (tipoNovo >= 0 && linha[static_cast<std::size_t>(tipoNovo)].toText() != letra) continue;
        std::vector<Variant> copia;
        copia.reserve(origem.size());
        for (int i : origem)
            copia.push_back(i < 0 ? Variant() : linha[static_cast<std::size_t>(i)]);
        saida.rows.push_back(std::move(copia));
    }
    return saida;
}

// The result screen's flags of each general line that a reload from the budget resets.
struct FlagsDaLinha {
    char letra;
    bool TfrmSimulaResult::*simulada;
    bool TfrmSimulaResult::*reduzida; // none for recoverable taxes
    bool TfrmSimulaResult::*recarregada;
    bool TfrmSimulaResult::*atualizada;
};

using R = TfrmSimulaResult;
const FlagsDaLinha kFlagsDasLinhas[] = {
    {'I', &R::boSimulaImp, &R::boSimulaPercImp, &R::boAtualizaGeralImp, &R::boImpAtualizado},
    {'T', &R::boSimulaTxAdm, &R::boSimulaPercTxAdm, &R::boAtualizaGeralTxAdm, &R::boTaxaAtualizada},
    {'R', &R::boSimulaRecup, nullptr, &R::boAtualizaGeralRecup, &R::boImpRecuAtualizado},
    {'S', &R::boSimulaSL, &R::boSimulaPercSL, &R::boAtualizaGeralSL, &R::boImpLucroAtualizado},
    {'P', &R::boSimulaDeprec, &R::boSimulaPercDeprec, &R::boAtualizaGeralDeprec,
     &R::boDeprecAtualizado},
    {'N', &R::boSimulaInves, &R::boSimulaPercInves, &R::boAtualizaGeralInves,
     &R::boInvestAtualizado},
};

} // namespace

TfrmSimulGeral::TfrmSimulGeral(TComponent* owner) : TfrmSimulaLinha(owner) {
    msgPadrao.Add(kMensagens);
    CriaComponentes();
}

TfrmSimulGeral::~TfrmSimulGeral() {
    DestroyComponents();
}

void TfrmSimulGeral::CriaComponentes() {
    for (TClientDataSet* ds : {&cdsServico, &cdsAuxServico}) {
        ds->AddField("NRANOORCAOP", FieldType::String, 4);
        ds->AddField("CDFILIAL", FieldType::String, 4).SetDisplayLabel("Filial");
        ds->AddField("NRSEQITEMORCA", FieldType::String, 10);
        ds->AddField("CDVERSORCAOP", FieldType::Float);
        ds->AddField("CDIMPOSTO", FieldType::String, 2);
        ds->AddField("NMIMPOSTO", FieldType::String, 30).SetDisplayLabel("Imposto");
        for (int mes = 1; mes <= 12; ++mes) {
            TField& valor = ds->AddField("VRORCAMENTO" + Abreviatura(mes), FieldType::Float);
            valor.SetVisible(false);
            valor.SetDisplayFormat("#,##0.00");
        }
        ds->AddField("TOTAL", FieldType::Float).SetDisplayFormat("#,##0.00");
        ds->AddField("TOTGERAL", FieldType::Float);
        ds->AddField("FATURAMENTO", FieldType::Float).SetDisplayLabel("% Faturamento");
        ds->AddField("IDTIPOORCAOP", FieldType::String, 1);
        ds->AddField("PORCENT", FieldType::Float);
        ds->AddField("IDSTATUSORCA", FieldType::String, 2);
        ds->AddField("IDITEMORCAMENTO", FieldType::String, 1);
    }
    for (TClientDataSet* ds : {&cdsInsereItens, &cdsAuxInsereItens}) {
        ds->AddField("NRANOORCAOP", FieldType::String, 4);
        ds->AddField("CDFILIAL", FieldType::String, 4);
        ds->AddField("IDTIPOORCAOP", FieldType::String, 1);
        ds->AddField("TOTAL", FieldType::Float);
        TField& porcentual = ds->AddField("PORCIMPOST", FieldType::Float);
        porcentual.SetDisplayLabel("% Faturamento");
        porcentual.SetDisplayFormat("#,##0.0");
        ds->AddField("CDIMPOSTO", FieldType::String, 2);
        TField& mes = ds->AddField("NMES", FieldType::Integer);
        mes.SetDisplayLabel("Mês");
        mes.SetAlignment(taCenter);
        ds->AddField("NUM_FILIAIS", FieldType::Float);
        TField& valor = ds->AddField("VRMES", FieldType::Float);
        valor.SetDisplayLabel("Valor");
        valor.SetDisplayFormat("#,##0.00");
        for (int mes = 1; mes <= 12; ++mes)
            ds->AddField("VRFATORCAMENTO" + std::to_string(mes), FieldType::Float);
        ds->AddField("NRSEQITEMORCA", FieldType::String, 10);
    }
    cdsTotaItem.AddField("VRTOTAITEM", FieldType::Float);

    // Shares are measured when shown: the line's total moves with every posted month.
    cdsServico.FieldByName("PORCENT").OnGetText = [this](TField& f, std::string& out, bool) {
        const double total = f.DataSet().FieldByName("TOTAL").AsFloat();
        out = doTotalGeral == 0 ? std::string()
                                : FormatFloat("#,##0.00", RoundDec(total * 100 / doTotalGeral, 2));
    };
    cdsServico.FieldByName("FATURAMENTO").OnGetText = [](TField& f, std::string& out, bool) {
        const TfrmSimulaResult* r = frmSimulaResult;
        const double total = f.DataSet().FieldByName("TOTAL").AsFloat();
        out = !r || r->nbeOrcF->GetNumber() == 0 || r->vrsimulacao == 0
                  ? std::string()
                  : FormatFloat("#,##0.00", RoundDec(total * 100 / r->vrsimulacao, 2));
    };
    cdsInsereItens.FieldByName("NMES").OnGetText = [this](TField& f, std::string& out, bool) {
        out = f.IsNull() ? std::string() : NomeMes(f.AsInteger());
    };
    LigaValorDigitado(cdsInsereItens.FieldByName("VRMES"));

    Monta("frmSimulGeral", "Simulação", "FYN10400", "dbgItens", cdsInsereItens);
    // Room for the twelve months of a year under the items.
    SetBounds(0, 0, 780, 680);
    panMeses->SetBounds(0, 652 - 320, 780, 320);
    panRodape->SetBounds(0, 652, 780, 28);
    dbgItens = dbgMeses;
    // The item grid, its navigator and the name between the grids follow the items; the
    // toolbar's data source follows the grid that has the focus.
    dbgPadrao->SetDataSource(&dtsServico);
    dbnPadrao->SetDataSource(&dtsServico);
    dtsPadrao.SetDataSet(&cdsServico);
    dbgPadrao->AddColumn("CDFILIAL", "Filial", 70);
    dbgPadrao->AddColumn("NMIMPOSTO", "Imposto", 250);
    dbgPadrao->AddColumn("TOTAL", "Total", 130);
    dbgPadrao->AddColumn("PORCENT", "%", 130);
    dbgPadrao->AddColumn("FATURAMENTO", "% Faturamento", 120);
    dbgItens->AddColumn("NMES", "Mês", 130).SetReadOnly(true);
    dbgItens->AddColumn("VRMES", "Valor", 150);
    dbgItens->AddColumn("PORCIMPOST", "% Faturamento", 120).SetReadOnly(true);

    dbgPadrao->OnEnter = [this](TObject*) {
        dtsPadrao.SetDataSet(&cdsServico);
        controlaMenu();
        habilitaBotoes(false);
    };
    dbgItens->OnEnter = [this](TObject*) {
        dtsPadrao.SetDataSet(&cdsInsereItens);
        controlaMenu();
        habilitaBotoes(true);
    };
    dbgItens->OnColEnter = [this](TObject*) { AjustaEdicao(); };
    dbgItens->OnKeyPress = [this](TObject* s, TKeyChar& k) { dbgItensKeyPress(s, k); };
    dtsMeses.OnStateChange = [this](TDataSource& fonte) {
        controlaMenu();
        if (fonte.State() == dsBrowse) habilitaBotoes(true);
    };

    cdsServico.AfterScroll = [this](TClientDataSet& ds) { cdsServicoAfterScroll(ds); };
    cdsInsereItens.BeforeEdit = [this](TClientDataSet& ds) { cdsInsereItensBeforeEdit(ds); };
    cdsInsereItens.BeforePost = [this](TClientDataSet& ds) { cdsInsereItensBeforePost(ds); };
    cdsInsereItens.AfterPost = [this](TClientDataSet& ds) { cdsInsereItensAfterPost(ds); };
    cdsInsereItens.BeforeInsert = [this](TClientDataSet& ds) { cdsInsereItensBeforeInsert(ds); };
    cdsInsereItens.BeforeDelete = [](TClientDataSet&) { Abort(); };
    cdsInsereItens.AfterScroll = [this](TClientDataSet&) { AjustaEdicao(); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    for (TClientDataSet* ds :
         {&cdsServico, &cdsInsereItens, &cdsAuxServico, &cdsAuxInsereItens, &cdsTotaItem})
        RegisterDataSet(ds->Name(), ds);
}

TNumberEdit* TfrmSimulGeral::CampoDaLinha() const {
    return frmSimulaResult ? frmSimulaResult->Find<TNumberEdit>(stNumberEdit) : nullptr;
}

void TfrmSimulGeral::Prepara(const std::string& letra, const std::string& titulo,
                             const std::string& campo) {
    stOrcamento = letra;
    doTotalGeral = 0;
    for (TClientDataSet* ds : {&cdsServico, &cdsInsereItens, &cdsAuxServico, &cdsAuxInsereItens}) {
        ds->SetFiltered(false);
        if (ds->Active())
            ds->EmptyDataSet();
        else
            ds->CreateDataSet();
    }
    stNumberEdit = campo;
    TfrmSimulaResult& r = Resultado();
    {
        // The rows are filtered to the first item once the letter is set.
        HandlerGuard semRolagem(cdsServico.AfterScroll);
        if (r.cdsImpRecu.Active()) cdsServico.SetData(r.cdsImpRecu.Data());
        if (r.cdsMesesRecu.Active()) cdsInsereItens.SetData(r.cdsMesesRecu.Data());
        cdsServico.SetFilter("IDTIPOORCAOP ='" + stOrcamento + "'");
        cdsServico.SetFiltered(true);
    }
    if (const TNumberEdit* linha = CampoDaLinha()) doTotalGeral = linha->GetNumber();
    RotulaColunas();
    SetCaption(titulo);
    cdsServico.First();
    cdsServicoAfterScroll(cdsServico);
}

void TfrmSimulGeral::RotulaColunas() {
    if (TColumn* porcent = dbgPadrao->ColumnByFieldName("PORCENT"))
        porcent->SetTitleCaption(msgPadrao.Msg(stOrcamento));
    // Only the tax lines name a tax.
    if (TColumn* imposto = dbgPadrao->ColumnByFieldName("NMIMPOSTO"))
        imposto->SetVisible(!texto(cdsServico, "CDIMPOSTO").empty());
}

void TfrmSimulGeral::FormActivate(TObject*) {
    MostraNome(dtsServico, stOrcamento == "I" || stOrcamento == "R" ? "NMIMPOSTO" : "CDFILIAL");
    controlaMenu();
}

void TfrmSimulGeral::FormClose(TObject* Sender, TCloseAction& Action) {
    // The line's total goes back through the result screen's box of the line.
    if (TNumberEdit* linha = CampoDaLinha()) linha->SetNumber(doTotalGeral);
    boIdCriado = false;
    TfrmSimulaLinha::FormClose(Sender, Action);
}

std::vector<DataPacket> TfrmSimulGeral::Pacotes() const {
    return {cdsServico.Data(), cdsInsereItens.Data()};
}

void TfrmSimulGeral::cdsServicoAfterScroll(TClientDataSet& DataSet) {
    const std::string stMes = Resultado().stMes;
    // The sequence tells two lines of one branch, type and tax apart; in month mode only the
    // simulated month is shown.
    std::string filtro = "CDFILIAL = '" + texto(DataSet, "CDFILIAL") + "' AND NRSEQITEMORCA = '" +
                         texto(DataSet, "NRSEQITEMORCA") + "' AND IDTIPOORCAOP = '" + stOrcamento +
                         "'";
    if (stMes != "T") filtro += " AND NMES = " + std::to_string(std::atoi(stMes.c_str()));
    cdsInsereItens.SetFiltered(false);
    cdsInsereItens.SetFilter(filtro);
    cdsInsereItens.SetFiltered(true);
    AjustaEdicao();
    controlaMenu();
}

void TfrmSimulGeral::getSimulacao() {
    TfrmSimulaResult& r = Resultado();
    ProgressGuard progresso(this, 1, "");
    // The budget year always, the month apart: in month mode the year is still the year.
    int ano = r.speAno ? r.speAno->Value() : 0;
    std::string filiais = r.stCdFilial, letra = stOrcamento, mes = r.stMes;
    assert(frmCalcOrcaOper && "the dialog works on the main screen's budget");
    const int versao = r.Versao();
    const Variant pacotes =
        CheckResultServ(frmCalcOrcaOper->netCalcOrcaOper.AppServer(
                            "getSimulGeral", {Arg::ref(ano), Arg::ref(filiais), Arg::ref(letra),
                                              versao, Arg::ref(mes)}),
                        true, 0);
    cdsAuxInsereItens.SetData(pacotes.array().at(0).packet());
    cdsAuxServico.SetData(pacotes.array().at(1).packet());
    cdsTotaItem.SetData(pacotes.array().at(2).packet());

    // The letter's items and months replaced whole, the other letters' kept as they are.
    const DataPacket itens = trocaLetra(cdsServico.Data(), cdsAuxServico.Data(), stOrcamento);
    const DataPacket meses =
        trocaLetra(cdsInsereItens.Data(), cdsAuxInsereItens.Data(), stOrcamento);
    HandlerGuard semRolagem(cdsServico.AfterScroll);
    HandlerGuard semRolarMes(cdsInsereItens.AfterScroll);
    cdsServico.SetData(itens);
    cdsInsereItens.SetData(meses);
    RotulaColunas();
}

void TfrmSimulGeral::sbtVerificarClick(TObject*) {
    if (Pergunta("Atu")) {
        TfrmSimulaResult& r = Resultado();
        boAtualiza = true;
        // Also when the server refuses: the month grid shows the selected item's months again.
        Finally fimDaRecarga([this] {
            boAtualiza = false;
            cdsServico.First();
            cdsServicoAfterScroll(cdsServico);
        });
        getSimulacao();
        doTotalGeral = cdsTotaItem.IsEmpty() ? 0 : cdsTotaItem.FieldByName("VRTOTAITEM").AsFloat();
        // The line is the budget's again: neither simulated nor reduced, and already updated.
        for (const FlagsDaLinha& f : kFlagsDasLinhas) {
            if (stOrcamento != std::string(1, f.letra)) continue;
            r.*f.simulada = false;
            if (f.reduzida) r.*f.reduzida = false;
            r.*f.recarregada = r.*f.atualizada = true;
        }
    }
    controlaMenu();
}

void TfrmSimulGeral::controlaMenu() {
    if (!dbgItens) return;
    const bool editando = EditandoMeses();
    const bool semMeses = !cdsInsereItens.Active() || cdsInsereItens.IsEmpty();
    Habilita(!dbgPadrao->Focused() && !editando && MesEditavel(),
             !editando && !dbgItens->Focused() && !semMeses);
}

void TfrmSimulGeral::habilitaBotoes(bool flag) {
    if (EditandoMeses()) return;
    mnuAlterar->SetEnabled(flag && MesEditavel());
    mnuProcurar->SetEnabled(!flag);
    mnuIncluir->SetEnabled(false);
    mnuExcluir->SetEnabled(false);
    MirrorButtons();
    sbtImprimir->SetEnabled(false);
}

std::vector<DataPacket> criaSimulGeral(const std::string& letra, const std::string& titulo,
                                       const std::string& campo) {
    return TfrmSimulaLinha::Executa<TfrmSimulGeral>(
        [&](TfrmSimulGeral& d) { d.Prepara(letra, titulo, campo); });
}
