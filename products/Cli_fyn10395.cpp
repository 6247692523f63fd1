#include "products/Cli_fyn10395.h"

#include "services/data/NumberFormat.h"
#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/net/Arg.h"
#include "services/ui/Application.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TLabel.h"

namespace {

constexpr const char* kMeses[12] = {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN",
                                    "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"};

const char* const kMensagens = "Efet|item efetivado, somente consulta\n"
                               "Apr|item aprovado, somente consulta\n"
                               "Qt_Inv|Quantidade inválida.\n";

std::string quantidade(const char* month) {
    return std::string("QTPRODUTO") + month;
}

std::string valor(const char* month) {
    return std::string("VRTOTAL") + month;
}

} // namespace

TfrmProdDesp::TfrmProdDesp(TComponent* owner) : TfrmRotiGeral(owner) {
    msgPadrao.Add(kMensagens);
    netProdDesp.ServerName = "FYN10395.rdmProdDesp";
    netProdDesp.ThrowException = false;
    netProdDesp.BeforeConnect = [](TNetConnection& c) {
        c.Host = WebURL();
        c.Port = WebPort();
    };
    DeclaraCampos();
    CriaComponentes();
}

TfrmProdDesp::~TfrmProdDesp() {
    DestroyComponents();
}

void TfrmProdDesp::FormClose(TObject* Sender, TCloseAction& Action) {
    netProdDesp.Close();
    TfrmRotiGeral::FormClose(Sender, Action);
}

void TfrmProdDesp::DeclaraCampos() {
    cdsProdutos.AddField("CDPRODUTO", FieldType::String, 6).SetDisplayLabel("Código");
    cdsProdutos.AddField("NMPRODUTO", FieldType::String, 40).SetDisplayLabel("Produto");
    cdsProdutos.AddField("SGUNIDADE", FieldType::String, 4).SetDisplayLabel("Un.");
    cdsProdutos.AddField("VRPRECOUNIT", FieldType::Float).SetDisplayFormat("#,##0.00");
    for (const char* month : kMeses) {
        TField& f = cdsProdutos.AddField(quantidade(month), FieldType::Float);
        f.SetDisplayFormat("#,##0.00");
        // Quantities are typed as the operator writes numbers: dots group, the comma decimals.
        f.OnSetText = [this](TField& field, const std::string& text) {
            std::string digits;
            for (char c : text)
                if (c != '.' && c != ' ') digits += c;
            if (digits.empty()) {
                field.SetAsFloat(0);
                return;
            }
            bool ok = false;
            const double value = TextToFloat(digits, ok);
            if (!ok || value < 0) MensErro(msgPadrao.Msg("Qt_Inv"));
            field.SetAsFloat(value);
        };
    }
    cdsTotais.AddField("DSTOTAL", FieldType::String, 20);
    for (const char* month : kMeses)
        cdsTotais.AddField(valor(month), FieldType::Float).SetDisplayFormat("#,##0.00");
    cdsTotais.AddField("VRTOTAL", FieldType::Float).SetDisplayFormat("#,##0.00");
    cdsTotais.CreateDataSet();
    RegisterDataSet(cdsProdutos.Name(), &cdsProdutos);
    RegisterDataSet(cdsTotais.Name(), &cdsTotais);
}

void TfrmProdDesp::CriaComponentes() {
    SetName("frmProdDesp");
    SetCaption("Produtos por Tipo de Despesa (Informativo)");
    SetBounds(0, 0, 780, 430);
    lblCodTela = Add<TLabel>("lblCodTela", this);
    lblCodTela->SetCaption("FYN10395");
    lblCodTela->SetBounds(696, 8, 76, 16);
    lblItem = Add<TLabel>("lblItem", this);
    lblItem->SetBounds(8, 8, 680, 16);

    dbgProdutos = Add<TDBGrid>("dbgProdutos", this);
    dbgProdutos->SetBounds(8, 30, 764, 250);
    dbgProdutos->SetDataSource(&dtsProdutos);
    dbgProdutos->AddColumn("CDPRODUTO", "Código", 60).SetReadOnly(true);
    dbgProdutos->AddColumn("NMPRODUTO", "Produto", 180).SetReadOnly(true);
    dbgProdutos->AddColumn("SGUNIDADE", "Un.", 40).SetReadOnly(true);
    dbgProdutos->AddColumn("VRPRECOUNIT", "Preço Unit.", 80).SetReadOnly(true);
    for (const char* month : kMeses)
        dbgProdutos->AddColumn(quantidade(month), month, 60);
    dbgProdutos->OnKeyPress = [this](TObject* s, TKeyChar& k) { dbgProdutosKeyPress(s, k); };

    dbgTotais = Add<TDBGrid>("dbgTotais", this);
    dbgTotais->SetBounds(8, 286, 764, 52);
    dbgTotais->SetDataSource(&dtsTotais);
    dbgTotais->SetReadOnly(true);
    dbgTotais->RemoveOption(dgEditing);
    dbgTotais->AddColumn("DSTOTAL", "Total", 364);
    for (const char* month : kMeses)
        dbgTotais->AddColumn(valor(month), month, 60);
    dbgTotais->AddColumn("VRTOTAL", "Total", 90);

    // Every change of a quantity, typed or moved away from, shows in the month totals.
    dtsProdutos.OnDataChange = [this](TDataSource&, TField*) { CalculaTotais(); };
}

bool TfrmProdDesp::SomenteLeitura() const {
    return stStatus == "E" || stStatus == "A";
}

void TfrmProdDesp::Abre(const std::vector<Variant>& params) {
    std::vector<std::string> v;
    for (const Variant& p : params)
        v.push_back(p.toText());
    v.resize(8);
    stAno = v[0];
    stVersao = v[1];
    stFilial = v[2];
    stNmDesp = v[3];
    stSeqItem = v[4];
    stCdDesp = v[5];
    stStatus = v[6];
    stTela = v[7];
    bool ok = false;
    const double versao = TextToFloat(stVersao, ok);
    const Variant answer =
        CheckResultServ(netProdDesp.AppServer("GetProdutosItem", {stAno, static_cast<int>(versao),
                                                                  stFilial, stSeqItem}),
                        true, 0);
    if (answer.type() != VarType::Packet) MensErro("Resposta inválida do servidor de aplicação.");
    cdsProdutos.SetData(answer.packet());
    std::string titulo = "Filial " + stFilial + " - " + stNmDesp + " (" + stCdDesp + "), item " +
                         stSeqItem + ", orçamento " + stAno + " versão " + stVersao;
    if (SomenteLeitura()) titulo += " - " + msgPadrao.Msg(stStatus == "E" ? "Efet" : "Apr");
    lblItem->SetCaption(titulo);
    dbgProdutos->SetReadOnly(SomenteLeitura());
    if (SomenteLeitura()) dbgProdutos->RemoveOption(dgEditing);
    sbtConfirma->SetEnabled(!SomenteLeitura());
    CalculaTotais();
}

void TfrmProdDesp::CalculaTotais() {
    if (!cdsTotais.Active()) return;
    const int preco = cdsProdutos.Active() ? cdsProdutos.FieldByName("VRPRECOUNIT").Index() : -1;
    double geral = 0;
    if (cdsTotais.IsEmpty())
        cdsTotais.Append();
    else
        cdsTotais.Edit();
    cdsTotais.FieldByName("DSTOTAL").SetAsString("Valor do mês");
    for (const char* month : kMeses) {
        double soma = 0;
        if (preco >= 0) {
            const int qt = cdsProdutos.FieldByName(quantidade(month)).Index();
            for (int row = 0; row < cdsProdutos.RecordCount(); ++row)
                soma += cdsProdutos.RowValue(row, qt).toDouble() *
                        cdsProdutos.RowValue(row, preco).toDouble();
        }
        soma = RoundDec(soma, 2);
        geral += soma;
        cdsTotais.FieldByName(valor(month)).SetAsFloat(soma);
    }
    cdsTotais.FieldByName("VRTOTAL").SetAsFloat(RoundDec(geral, 2));
    cdsTotais.Post();
}

void TfrmProdDesp::dbgProdutosKeyPress(TObject*, TKeyChar& Key) {
    // Quantities have no sign and no exponent.
    if (Key == U'e' || Key == U'E' || Key == U'+' || Key == U'-') Key = 0;
    if (SomenteLeitura() && Key != U'\t') Key = 0;
}

void TfrmProdDesp::sbtConfirmaClick(TObject* Sender) {
    TfrmRotiGeral::sbtConfirmaClick(Sender);
    if (SomenteLeitura()) return;
    dbgProdutos->UpdateData();
    cdsProdutos.CheckBrowseMode();
    bool ok = false;
    const double versao = TextToFloat(stVersao, ok);
    {
        ProgressGuard progress(this, 6, "Salvando dados no servidor ...");
        CheckResultServ(netProdDesp.AppServer("SetProdutosItem",
                                              {Variant(cdsProdutos.Data()), stAno,
                                               static_cast<int>(versao), stFilial, stSeqItem}),
                        true, 0);
    }
    cdsProdutos.MergeChangeLog();
    boConfirmou = true;
    if (Modal())
        SetModalResult(mrOk);
    else
        Close();
}

void criaProdDesp(const std::vector<Variant>& params) {
    TfrmProdDesp* form = nullptr;
    {
        CursorGuard hourglass;
        form = Application::instance().createModuleForm<TfrmProdDesp>(kProdDespModule, nullptr);
        try {
            form->Abre(params);
        } catch (...) {
            delete form;
            throw;
        }
    }
    form->ShowModal();
}
