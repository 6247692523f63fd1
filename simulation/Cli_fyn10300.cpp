#include "simulation/Cli_fyn10300.h"

#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "services/ui/Application.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TBtnPesquisa.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TEdit.h"
#include "services/ui/TLabel.h"
#include "services/ui/TMaskEdit.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TPanel.h"
#include "services/ui/TSpinEdit.h"

TfrmSimulaResult* frmSimulaResult = nullptr;
std::string stFilialCheck;

namespace {

const char* const kMensagens =
    "1|JAN\n2|FEV\n3|MAR\n4|ABR\n5|MAI\n6|JUN\n7|JUL\n8|AGO\n9|SET\n10|OUT\n11|NOV\n12|DEZ\n"
    "Janeiro|Janeiro\nFevereiro|Fevereiro\nMarco|Março\nAbril|Abril\nMaio|Maio\nJunho|Junho\n"
    "Julho|Julho\nAgosto|Agosto\nSetembro|Setembro\nOutubro|Outubro\nNovembro|Novembro\n"
    "Dezembro|Dezembro\n"
    "Conf_Simulacao|Confirma alteração no orçamento da filial?\n"
    "conf_OrcFat|Filial possui orçamento por Faturamento realizado.  A confirmação desta "
    "alteração irá sobrepor os valores existentes. Confirma operação?\n"
    "conf_OrcImp|Filial possui orçamento por Imposto realizado.  A confirmação desta alteração "
    "irá sobrepor os valores existentes. Confirma operação?\n"
    "conf_OrcCons|Filial possui orçamento por Consumo realizado. A confirmação desta alteração "
    "irá sobrepor os valores existentes. Confirma operação?\n"
    "conf_OrcMo|Filial possui orçamento por tipo de Mão de Obra realizado. A confirmação desta "
    "alteração irá sobrepor os valores existentes. Confirma operação?\n"
    "conf_OrcDd|Filial possui orçamento de Despesas  realizado. A confirmação desta alteração "
    "irá sobrepor os valores existentes. Confirma operação?\n"
    "conf_OrcDe|Filial possui orçamento de despesas  por Lançamento de Entrada realizado. A "
    "confirmação desta alteração irá sobrepor os valores existentes. Confirma operação?\n"
    "conf_orcR|Filial possui orçamento por Imposto a Recuperar realizado. A confirmação desta "
    "alteração irá sobrepor os valores existentes. Confirma operação?\n"
    "conf_orcP|Filial possui orçamento por Depreciação realizado.  A confirmação desta "
    "alteração irá sobrepor os valores existentes. Confirma operação?\n"
    "conf_orcS|Filial possui orçamento por Imposto sobre o Lucro realizado.  A confirmação "
    "desta alteração irá sobrepor os valores existentes. Confirma operação?\n"
    "conf_orcN|Filial possui orçamento por Investimento realizado.  A confirmação desta "
    "alteração irá sobrepor os valores existentes. Confirma operação?\n"
    "conf_orcT|Filial possui orçamento por Taxa Administrativa realizado. A confirmação desta "
    "alteração irá sobrepor os valores existentes. Confirma operação?\n"
    "FILIAL|Filial\n"
    "FILIAL_N_CAD|Não há filial cadastrada\n"
    "FILIAL_INV|Filial não cadastrada.\n"
    "Fili_inf|Filiais devem ser informadas.\n"
    "FILIAL_N_INF|Filial deve ser informada.\n"
    "Date_NPer|Orçamento deve estar dentro do período do orçamento.\n"
    "Cancel|Ao cancelar, os valores alterados serão substituídos pelos lançados no orçamento. "
    "Confirma a operação?\n"
    "LUCRO|Simulação Imposto Sobre o Lucro\n"
    "INVESTIMENTO|Simulação Investimentos\n"
    "DEPRECIACAO|Simulação Depreciação\n"
    "IMPOSTO|Simulação Imposto\n"
    "RECUPERAR|Simulação Imposto a Recuperar\n"
    "ADMINISTRATIVA|Simulação Taxa Administrativa\n";

using Edit = TNumberEdit* TfrmSimulaResult::*;
using Button = TButtonFlat* TfrmSimulaResult::*;

// One line of the body: caption, value and percentage boxes, dialog and reduction buttons.
struct Linha {
    const char* caption;
    Edit valor;
    const char* nomeValor;
    Edit percentual;
    const char* nomePercentual;
    Button simulacao;
    const char* nomeSimulacao;
    Button reducao;
    const char* nomeReducao;
    bool total; // a computed line, shown in bold
};

const Linha kLinhas[] = {
    {"Faturamento Bruto", &TfrmSimulaResult::nbeOrcF, "nbeOrcF", nullptr, nullptr,
     &TfrmSimulaResult::btnFatBrut, "btnFatBrut", nullptr, nullptr, false},
    {"Impostos", &TfrmSimulaResult::nbeOrcImp, "nbeOrcImp", &TfrmSimulaResult::nbePrcImp,
     "nbePrcImp", &TfrmSimulaResult::btnImposto, "btnImposto", &TfrmSimulaResult::btnReduImp,
     "btnReduImp", false},
    {"Faturamento Líquido", &TfrmSimulaResult::nbeOrcL, "nbeOrcL", &TfrmSimulaResult::nbePrcL,
     "nbePrcL", nullptr, nullptr, nullptr, nullptr, true},
    {"Consumo", &TfrmSimulaResult::nbeOrcC, "nbeOrcC", &TfrmSimulaResult::nbePrcC, "nbePrcC",
     &TfrmSimulaResult::btnConsumo, "btnConsumo", &TfrmSimulaResult::btnReduConsumo,
     "btnReduConsumo", false},
    {"Mão de Obra", &TfrmSimulaResult::nbeOrcO, "nbeOrcO", &TfrmSimulaResult::nbePrcO, "nbePrcO",
     &TfrmSimulaResult::btnMaoObra, "btnMaoObra", &TfrmSimulaResult::btnReduMaoObra,
     "btnReduMaoObra", false},
    {"Taxa Administrativa", &TfrmSimulaResult::nbeOrcT, "nbeOrcT", &TfrmSimulaResult::nbePrct,
     "nbePrct", &TfrmSimulaResult::ButtonFlat4, "ButtonFlat4", &TfrmSimulaResult::btnReduTaxaAdm,
     "btnReduTaxaAdm", false},
    {"Despesas Diversas", &TfrmSimulaResult::nbeOrcD, "nbeOrcD", &TfrmSimulaResult::nbePrcD,
     "nbePrcD", &TfrmSimulaResult::btnDespDiv, "btnDespDiv", &TfrmSimulaResult::btnReduDespDiv,
     "btnReduDespDiv", false},
    {"Despesas Lanc. Entradas", &TfrmSimulaResult::nbeOrcE, "nbeOrcE", &TfrmSimulaResult::nbePrcE,
     "nbePrcE", &TfrmSimulaResult::btnDespEntr, "btnDespEntr", &TfrmSimulaResult::btnReduDespEntr,
     "btnReduDespEntr", false},
    {"Imposto a Recuperar", &TfrmSimulaResult::nbeOrcR, "nbeOrcR", &TfrmSimulaResult::nbePrcR,
     "nbePrcR", &TfrmSimulaResult::btnImpRecup, "btnImpRecup", nullptr, nullptr, false},
    {"Imposto a Sobre o Lucro", &TfrmSimulaResult::nbeOrcLu, "nbeOrcLu", &TfrmSimulaResult::nbePrcS,
     "nbePrcS", &TfrmSimulaResult::btnImpSLucro, "btnImpSLucro",
     &TfrmSimulaResult::btnReduImpSobreL, "btnReduImpSobreL", false},
    {"Investimentos", &TfrmSimulaResult::nbeOrcN, "nbeOrcN", &TfrmSimulaResult::nbePrcN, "nbePrcN",
     &TfrmSimulaResult::btnInvestimentos, "btnInvestimentos",
     &TfrmSimulaResult::btnReduInvestimentos, "btnReduInvestimentos", false},
    {"Depreciação", &TfrmSimulaResult::nbeOrcP, "nbeOrcP", &TfrmSimulaResult::nbePrcP, "nbePrcP",
     &TfrmSimulaResult::btnDepreciacao, "btnDepreciacao", &TfrmSimulaResult::btnReduDeprec,
     "btnReduDeprec", false},
    {"Resultado Operacional", &TfrmSimulaResult::nbeResult, "nbeResult",
     &TfrmSimulaResult::nbePrcResult, "nbePrcResult", nullptr, nullptr, nullptr, nullptr, true},
};

constexpr int kTopoLinhas = 28;
constexpr int kAlturaLinha = 30;

} // namespace

TfrmSimulaResult::TfrmSimulaResult(TComponent* owner) : TfrmRotiGeral(owner) {
    msgPadrao.Add(kMensagens);
    cdsParamorcaoperac.AddField("IDTIPOSIMULARESULTFAT", FieldType::String, 30);
    cdsValidaFat.AddField("AUTO_FATURAMENTO", FieldType::String, 1);
    cdsValidaFat.AddField("AUTO_CONSUMO", FieldType::String, 1);
    cdsTpDespLanEnt.AddField("IDORCDESPENTROP", FieldType::String, 1);
    cdsFilial.AddField("IDMARCADO", FieldType::String, 1);
    cdsFilial.AddField("CDFILIAL", FieldType::String, 6).SetDisplayLabel("Filial");
    cdsFilial.AddField("NMFILIAL", FieldType::String, 30).SetDisplayLabel("Nome");
    cdsFilial.AddField("CDOPERADOR", FieldType::String, 12).SetVisible(false);
    cdsFilial.AddField("IDACESSOCALC", FieldType::String, 1).SetVisible(false);
    // What the line dialogs hand back: the fields this screen reads of them.
    for (TClientDataSet* ds : {&cdsItensFat, &cdsItensMo, &cdsItensDiversas, &cdsentrada}) {
        ds->AddField("CDFILIAL", FieldType::String, 4);
        ds->AddField("IDTIPOORCAOP", FieldType::String, 1);
        ds->AddField("CDTIPOOPER", FieldType::String, 2);
        ds->AddField("CDDESPPREV", FieldType::String, 3);
        for (const char* mes :
             {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN", "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"})
            ds->AddField(std::string("VRORCAMENTO") + mes, FieldType::Float);
    }
    cdsSimulaCons.AddField("CDSERVFILI", FieldType::String, 5);
    cdsSimulaCons.AddField("CDFILIAL", FieldType::String, 4);
    cdsSimulaConsMes.AddField("CDSERVFILI", FieldType::String, 5);
    cdsSimulaConsMes.AddField("NMSERVICO", FieldType::String, 40);
    for (int m = 1; m <= 12; ++m)
        cdsSimulaConsMes.AddField("VRORCA" + std::to_string(m), FieldType::Float);
    for (int m = 1; m <= 12; ++m)
        cdsSimulaConsMes.AddField("QTORCA" + std::to_string(m), FieldType::Float);
    cdsSimulaConsMes.AddField("IDITEMORCAMENTO", FieldType::String, 1);
    cdsSimulaConsMes.AddField("CDFILIAL", FieldType::String, 4);
    CriaComponentes();
}

TfrmSimulaResult::~TfrmSimulaResult() {
    DestroyComponents();
    if (frmSimulaResult == this) frmSimulaResult = nullptr;
}

void TfrmSimulaResult::CriaComponentes() {
    SetName("frmSimulaResult");
    SetCaption("Simulação de Resultado");
    SetBounds(0, 0, 640, 40 + 96 + kTopoLinhas + 13 * kAlturaLinha + 16);
    CriaCabecalho();
    CriaLinhas();
    sbtAtualizar = Add<TButtonFlat>("sbtAtualizar", panBotoes);
    sbtAtualizar->SetCaption("Atualizar");
    sbtAtualizar->SetHint("Descarta a simulação e recarrega os valores do orçamento");
    sbtAtualizar->OnClick = [this](TObject* s) { sbtAtualizarClick(s); };
    sbtConfirma->SetCaption("Gravar");
    sbtCancel->SetCaption("Fechar");
    Resized();
    for (TClientDataSet* ds :
         {&cdsItensFatCons,  &cdsItensGeral, &cdsOrcFilial,     &cdsParamorcaoperac,
          &cdsTotalImpFat,   &cdsImpRecu,    &cdsMesesRecu,     &cdsAtualizaSimulacao,
          &cdsValTotal,      &cdsValidaFat,  &cdsFilial,        &cdsTpDespLanEnt,
          &cdsItensFat,      &cdsSimulaCons, &cdsSimulaConsMes, &cdsItensMo,
          &cdsItensDiversas, &cdsentrada,    &cdsInsereCons,    &cdsTpMaoObra,
          &cdsInseriMo,      &cdsDespesas,   &cdsMes,           &cdsAux})
        RegisterDataSet(ds->Name(), ds);
    for (TClientDataSet* ds : {&cdsServOrc, &cdsInseriItens})
        RegisterDataSet(ds->Name(), ds);
}

void TfrmSimulaResult::CriaCabecalho() {
    panCabecalho = Add<TPanel>("panCabecalho", this);
    panCabecalho->SetAlign(alTop);
    panCabecalho->SetBounds(0, 0, Width(), 96);
    panCabecalho->OnEnter = [this](TObject* s) { panCabecalhoEnter(s); };
    panCabecalho->OnExit = [this](TObject* s) { panCabecalhoExit(s); };
    lblCodTela = Add<TLabel>("lblCodTela", panCabecalho);
    lblCodTela->SetCaption("FYN10300");
    lblCodTela->SetBounds(550, 8, 80, 18);

    lblAno = Add<TLabel>("lblAno", panCabecalho);
    lblAno->SetCaption("Orçamento");
    lblAno->SetBounds(12, 12, 80, 22);
    speAno1 = Add<TMaskEdit>("speAno1", panCabecalho);
    speAno1->SetEditMask("!99/9999;1; ");
    speAno1->SetBounds(100, 10, 80, 24);
    speAno1->OnEnter = [this](TObject* s) { panCabecalhoEnter(s); };
    speAno1->OnExit = [this](TObject* s) { speAno1Exit(s); };
    chkPeriodo = Add<TCheckBox>("chkPeriodo", panCabecalho);
    chkPeriodo->SetCaption("Periodo Completo");
    chkPeriodo->SetChecked(true);
    chkPeriodo->SetBounds(196, 12, 150, 22);
    chkPeriodo->OnClick = [this](TObject* s) { chkPeriodoClick(s); };

    lblFilial = Add<TLabel>("lblFilial", panCabecalho);
    lblFilial->SetCaption("Filial");
    lblFilial->SetBounds(12, 52, 80, 22);
    edtCdFilial = Add<TEdit>("edtCdFilial", panCabecalho);
    edtCdFilial->SetMaxLength(4);
    edtCdFilial->SetBounds(100, 50, 56, 24);
    edtCdFilial->OnEnter = [this](TObject* s) { panCabecalhoEnter(s); };
    edtCdFilial->OnExit = [this](TObject* s) { edtCdFilialExit(s); };
    // Only the four digits of a branch code.
    edtCdFilial->OnKeyPress = [](TObject*, TKeyChar& k) {
        if (k >= 32 && (k < U'0' || k > U'9')) k = 0;
    };
    btnFilial = Add<TBtnPesquisa>("btnFilial", panCabecalho);
    btnFilial->SetBounds(160, 48, 28, 28);
    btnFilial->SetHint("Pesquisar filial");
    btnFilial->DataSource = &dtsFilial;
    btnFilial->KeyField = "CDFILIAL";
    btnFilial->Title = "Filial";
    btnFilial->EmptyText = "Não há Filial Cadastrada";
    btnFilial->Edit = edtCdFilial;
    btnFilial->BeforePesq = [this](TObject* s) { btnFilialBeforePesq(s); };
    btnFilial->AfterPesq = [this](TObject* s) { btnFilialAfterPesq(s); };
    edtNmFilial = Add<TEdit>("edtNmFilial", panCabecalho);
    edtNmFilial->SetBounds(194, 50, 250, 24);
    edtNmFilial->SetEnabled(false);
    chkFilialLista = Add<TCheckBox>("chkFilialLista", panCabecalho);
    chkFilialLista->SetCaption("Filiais");
    chkFilialLista->SetBounds(456, 52, 70, 22);
    chkFilialLista->OnClick = [this](TObject* s) { chkFilialListaClick(s); };
    btnFilialLista = Add<TButtonFlat>("btnFilialLista", panCabecalho);
    btnFilialLista->SetBounds(530, 48, 28, 28);
    btnFilialLista->SetHint("Escolher filiais");
    btnFilialLista->SetEnabled(false);
    btnFilialLista->OnClick = [this](TObject* s) { btnFilialListaClick(s); };
}

void TfrmSimulaResult::CriaLinhas() {
    panCorpo = Add<TPanel>("panCorpo", this);
    panCorpo->SetAlign(alClient);
    panCorpo->SetBounds(0, 96, Width(), kTopoLinhas + 13 * kAlturaLinha + 16);
    panCorpo->OnEnter = [this](TObject* s) { panCorpoEnter(s); };
    TLabel* valor = Add<TLabel>("lblValor", panCorpo);
    valor->SetCaption("Valor");
    valor->SetBounds(200, 6, 150, 20);
    TLabel* percentual = Add<TLabel>("lblPercentual", panCorpo);
    percentual->SetCaption("%");
    percentual->SetBounds(360, 6, 80, 20);
    int top = kTopoLinhas;
    for (const Linha& l : kLinhas) {
        TLabel* caption = Add<TLabel>(std::string("lbl") + (l.nomeValor + 3), panCorpo);
        caption->SetCaption(l.caption);
        caption->SetBounds(12, top + 3, 180, 22);
        caption->SetFontBold(l.total);
        TNumberEdit* edit = Add<TNumberEdit>(l.nomeValor, panCorpo);
        edit->SetDecimals(2);
        edit->SetBounds(200, top, 150, 24);
        edit->SetNumber(0);
        edit->SetEnabled(l.valor == &TfrmSimulaResult::nbeOrcF ||
                         l.valor == &TfrmSimulaResult::nbeOrcC);
        this->*l.valor = edit;
        if (l.percentual) {
            TNumberEdit* prc = Add<TNumberEdit>(l.nomePercentual, panCorpo);
            prc->SetDecimals(1);
            prc->SetBounds(360, top, 80, 24);
            prc->SetNumber(0);
            prc->SetEnabled(false);
            this->*l.percentual = prc;
        }
        if (l.simulacao) {
            TButtonFlat* b = Add<TButtonFlat>(l.nomeSimulacao, panCorpo);
            b->SetCaption("...");
            b->SetHint(std::string("Simular ") + l.caption);
            b->SetBounds(450, top, 32, 26);
            this->*l.simulacao = b;
        }
        if (l.reducao) {
            TButtonFlat* b = Add<TButtonFlat>(l.nomeReducao, panCorpo);
            b->SetCaption("%");
            b->SetHint(std::string("Reduzir ") + l.caption);
            b->SetBounds(488, top, 32, 26);
            b->SetEnabled(false);
            this->*l.reducao = b;
        }
        top += kAlturaLinha;
    }
    nbeOrcF->OnKeyPress = [this](TObject* s, TKeyChar& k) { nbeOrcFKeyPress(s, k); };
    nbeOrcC->OnKeyPress = [this](TObject* s, TKeyChar& k) { nbeOrcCKeyPress(s, k); };
    nbeOrcImp->OnKeyPress = [this](TObject* s, TKeyChar& k) { nbeOrcImpKeyPress(s, k); };
    nbeOrcImp->SetReadOnly(true);
    nbeOrcF->OnEnter = [this](TObject* s) { nbeOrcFEnter(s); };
    nbeOrcImp->OnEnter = [this](TObject* s) { nbeOrcImpEnter(s); };
    nbeOrcC->OnEnter = [this](TObject* s) { nbeOrcCEnter(s); };
    nbeOrcF->OnExit = [this](TObject* s) { nbeOrcFExit(s); };
    nbeOrcImp->OnExit = [this](TObject* s) { nbeOrcImpExit(s); };
    nbeOrcC->OnExit = [this](TObject* s) { nbeOrcCExit(s); };
    for (TNumberEdit* e : {nbeOrcL, nbeOrcO, nbeOrcD, nbeOrcE, nbeOrcR, nbeOrcLu, nbeOrcN, nbeOrcP})
        e->OnExit = [this](TObject* s) { nbeLinhaExit(s); };
    // Each line's dialog; the six general lines share one, told apart by the button.
    btnFatBrut->OnClick = [this](TObject* s) { btnFatBrutClick(s); };
    btnConsumo->OnClick = [this](TObject* s) { btnConsumoClick(s); };
    btnMaoObra->OnClick = [this](TObject* s) { btnMaoObraClick(s); };
    btnDespDiv->OnClick = [this](TObject* s) { btnDespDivClick(s); };
    btnDespEntr->OnClick = [this](TObject* s) { btnDespEntrClick(s); };
    for (TButtonFlat* b :
         {btnImposto, btnImpRecup, btnImpSLucro, btnInvestimentos, btnDepreciacao, ButtonFlat4})
        b->OnClick = [this](TObject* s) { btnSimulGeralClick(s); };
    LigaReducoes();
}

void TfrmSimulaResult::Resized() {
    TfrmRotiGeral::Resized();
    if (sbtAtualizar) sbtAtualizar->SetBounds(Width() - 270, 6, 84, 28);
}

void TfrmSimulaResult::FormCreate(TObject* Sender) {
    TfrmRotiGeral::FormCreate(Sender);
    boCreate = true;
    boStateChange = false;
    {
        Finally fimCriacao([this] { boCreate = false; });
        organizaItensSimul();
    }
    boConfirmaSimul = false;
    for (bool* flag : {&boAtualizaGeralFat,   &boAtualizaGeralMo,     &boAtualizaGeralDd,
                       &boAtualizaGeralDe,    &boAtualizaGeralCons,   &boAtualizaGeralImp,
                       &boAtualizaGeralRecup, &boAtualizaGeralDeprec, &boAtualizaGeralInves,
                       &boAtualizaGeralTxAdm, &boAtualizaGeralSL,     &boSimulaFatManual,
                       &boSimulaConsManual,   &boImpAtualizado,       &boTaxaAtualizada,
                       &boImpRecuAtualizado,  &boSimulaPercImp,       &boSimulaPercCons,
                       &boSimulaPercMo,       &boSimulaPercTxAdm,     &boSimulaPercDd,
                       &boSimulaPercDe,       &boSimulaPercSL,        &boSimulaPercInves,
                       &boSimulaPercDeprec})
        *flag = false;
}

void TfrmSimulaResult::FormClose(TObject* Sender, TCloseAction& Action) {
    TfrmRotiGeral::FormClose(Sender, Action);
    if (frmSimulaResult == this) frmSimulaResult = nullptr;
}

void TfrmSimulaResult::sbtCancelClick(TObject* Sender) {
    if (frmCalcOrcaOper) frmCalcOrcaOper->boSimulacao = true;
    TfrmRotiGeral::sbtCancelClick(Sender);
}

std::string TfrmSimulaResult::AnoTexto() const {
    return frmCalcOrcaOper ? frmCalcOrcaOper->speAno->Text() : std::string();
}

int TfrmSimulaResult::Versao() const {
    int versao = 0;
    for (char c : frmCalcOrcaOper ? frmCalcOrcaOper->edtVersao->Text() : std::string()) {
        if (c < '0' || c > '9' || versao > 99999999) return 0;
        versao = versao * 10 + (c - '0');
    }
    return versao;
}

bool TfrmSimulaResult::LeMes(const std::string& texto, int& mes, int& ano) {
    if (texto.size() != 7 || texto[2] != '/') return false;
    mes = ano = 0;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        if (i == 2) continue;
        if (texto[i] < '0' || texto[i] > '9') return false;
        (i < 2 ? mes : ano) = (i < 2 ? mes : ano) * 10 + (texto[i] - '0');
    }
    return mes >= 1 && mes <= 12;
}

void criaSimulaResult() {
    {
        CursorGuard hourglass;
        if (!frmSimulaResult) {
            try {
                frmSimulaResult = Application::instance().createModuleForm<TfrmSimulaResult>(
                    kModuleCode, nullptr);
            } catch (...) {
                // A loading refused by the server leaves no hidden screen behind.
                if (TForm* meio = Application::instance().findForm("TfrmSimulaResult"))
                    meio->Release();
                throw;
            }
        }
    }
    frmSimulaResult->SetWindowState(wsNormal);
    frmSimulaResult->ShowModal();
}
