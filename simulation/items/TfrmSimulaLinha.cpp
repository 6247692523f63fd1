#include "simulation/items/TfrmSimulaLinha.h"

#include "budget/Cli_fyn10000.h"
#include "services/data/EAbort.h"
#include "services/data/TClientDataSet.h"
#include "services/data/TextCase.h"
#include "services/lib/Consiste.h"
#include "services/ui/Platform.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TDBNavigator.h"
#include "services/ui/TDBText.h"
#include "services/ui/TLabel.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPanel.h"
#include "services/ui/TSpeedButton.h"
#include "simulation/Cli_fyn10300.h"

#include <cassert>

namespace {

constexpr const char* kAbreviaturas[12] = {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN",
                                           "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"};

// The month names every line dialog's catalog carries under "1".."12".
const char* const kMeses = "1|Janeiro\n2|Fevereiro\n3|Março\n4|Abril\n5|Maio\n6|Junho\n"
                           "7|Julho\n8|Agosto\n9|Setembro\n10|Outubro\n11|Novembro\n"
                           "12|Dezembro\n";

// A light yellow that says "type here" on every month grid.
constexpr TColor kCorDosMeses = RGB(255, 255, 225);

int primeiroMesDe(const TClientDataSet& versao) {
    if (!versao.Active() || versao.IsEmpty()) return 0;
    const TField* campo = versao.FindField("NRMESINIVERORC");
    if (!campo || campo->IsNull()) return 0;
    const double mes = campo->AsFloat();
    return mes >= 1 && mes <= 12 ? static_cast<int>(mes) : 0;
}

} // namespace

TfrmSimulaLinha::TfrmSimulaLinha(TComponent* owner) : TfrmPadraoGrid(owner) {
    msgPadrao.Add(kMeses);
    SetFormStyle(fsNormal);
    SetBounds(0, 0, 860, 600);

    panRodape = Add<TPanel>("panRodape", this);
    panRodape->SetAlign(alBottom);
    panRodape->SetBounds(0, 572, 860, 28);
    panRodape->SetBevelOuter(bvNone);
    dbnPadrao = Add<TDBNavigator>("dbnPadrao", panRodape);
    dbnPadrao->SetBounds(4, 2, 120, 24);
    dbnPadrao->SetDataSource(&dtsPadrao);
    dbnPadrao->SetVisibleButtons((1u << nbFirst) | (1u << nbPrior) | (1u << nbNext) |
                                 (1u << nbLast));
    lblCodTela = Add<TLabel>("lblCodTela", panRodape);
    lblCodTela->SetBounds(770, 6, 80, 18);

    panMeses = Add<TPanel>("panMeses", this);
    panMeses->SetAlign(alBottom);
    panMeses->SetBounds(0, 300, 860, 272);
    panMeses->SetBevelOuter(bvNone);
    dbtNome = Add<TDBText>("dbtNome", panMeses);
    dbtNome->SetAlign(alTop);
    dbtNome->SetBounds(0, 0, 860, 24);
    dbgMeses = Add<TDBGrid>("dbgMeses", panMeses);
    dbgMeses->SetAlign(alClient);
    dbgMeses->SetDataSource(&dtsMeses);
    dbgMeses->SetColor(kCorDosMeses);
    dbgMeses->OnEnter = [this](TObject*) { controlaMenu(); };

    // The items are chosen, never typed over.
    dbgPadrao->SetReadOnly(true);
    dbgPadrao->RemoveOption(dgEditing);
    dbgPadrao->AddOption(dgRowSelect);
    dbgPadrao->OnEnter = [this](TObject*) { controlaMenu(); };

    dtsMeses.OnStateChange = [this](TDataSource&) { controlaMenu(); };
}

TfrmSimulaLinha::~TfrmSimulaLinha() {
    // The grids listen to the data sources: they go first.
    DestroyComponents();
}

void TfrmSimulaLinha::Monta(const std::string& nome, const std::string& titulo,
                            const std::string& codigo, const std::string& nomeGradeMeses,
                            TClientDataSet& meses) {
    SetName(nome);
    SetCaption(titulo);
    lblCodTela->SetCaption(codigo);
    dbgMeses->SetName(nomeGradeMeses);
    dtsMeses.SetDataSet(&meses);
    // Printing is not offered by the line dialogs.
    sbtImprimir->SetEnabled(false);
    mnuListagem->SetEnabled(false);
}

void TfrmSimulaLinha::MostraNome(TDataSource& fonte, const std::string& campo) {
    dbtNome->SetDataSource(&fonte);
    dbtNome->SetDataField(campo);
}

void TfrmSimulaLinha::Resized() {
    TfrmPadraoGrid::Resized();
    if (lblCodTela) lblCodTela->SetBounds(Width() - 90, 6, 80, 18);
}

TfrmSimulaResult& TfrmSimulaLinha::Resultado() {
    assert(frmSimulaResult && "the line dialogs are opened from the result simulation");
    return *frmSimulaResult;
}

TfrmCalcOrcaOper& TfrmSimulaLinha::Principal() {
    assert(frmCalcOrcaOper && "the line dialogs work on the main screen's budget");
    return *frmCalcOrcaOper;
}

double TfrmSimulaLinha::Valor(const TClientDataSet& ds, const std::string& campo) {
    const TField* f = ds.FindField(campo);
    return f && !f->IsNull() ? f->AsFloat() : 0.0;
}

std::vector<TfrmSimulaLinha::MesDoAno> TfrmSimulaLinha::MesesDoAno(int primeiroMes,
                                                                   const std::string& stMes) {
    if (primeiroMes < 1 || primeiroMes > 12) primeiroMes = 1;
    std::vector<MesDoAno> meses;
    for (int posicao = 1, mes = primeiroMes; posicao <= 12; ++posicao, mes = mes % 12 + 1)
        if (stMes == "T" || stMes == std::to_string(mes)) meses.push_back({posicao, mes});
    return meses;
}

std::vector<TfrmSimulaLinha::MesDoAno> TfrmSimulaLinha::MesesDoPeriodo() {
    return MesesDoAno(PrimeiroMesDoAno(), frmSimulaResult ? frmSimulaResult->stMes : "T");
}

int TfrmSimulaLinha::PrimeiroMesDoAno() {
    if (!frmCalcOrcaOper) return 1;
    // A version without its own row is the newest one's.
    if (int mes = primeiroMesDe(frmCalcOrcaOper->cdsVersaoOrca)) return mes;
    if (int mes = primeiroMesDe(frmCalcOrcaOper->cdsMaiorVersao)) return mes;
    return 1;
}

std::string TfrmSimulaLinha::Abreviatura(int mes) {
    return mes >= 1 && mes <= 12 ? kAbreviaturas[mes - 1] : std::string();
}

std::string TfrmSimulaLinha::PermissaoDoMes(int mes) {
    if (!frmCalcOrcaOper) return {};
    const TClientDataSet& fase = frmCalcOrcaOper->cdsVerifFaseOper;
    if (!fase.Active() || fase.IsEmpty()) return {};
    const TField* campo = fase.FindField("IDPERMCALC" + Abreviatura(mes));
    return campo ? campo->AsString() : std::string();
}

std::string TfrmSimulaLinha::Ajusta(int numero) {
    std::string texto = std::to_string(numero);
    return texto.size() < 2 ? "0" + texto : texto;
}

std::string TfrmSimulaLinha::NomeMes(int mes) const {
    return msgPadrao.Msg(std::to_string(mes));
}

int TfrmSimulaLinha::MesDoNome(const std::string& nome) const {
    for (int mes = 1; mes <= 12; ++mes)
        if (NomeMes(mes) == nome) return mes;
    return 0;
}

double TfrmSimulaLinha::Participacao(double valor, double base) {
    return base == 0 ? 0.0 : RoundDec(valor * 100 / base, 2);
}

bool TfrmSimulaLinha::TeclaDeControle(TKeyChar key) {
    return key == U'\b' || key == U'\t' || key == U'\r' || (key >= 37 && key <= 40) ||
           (key >= 44 && key <= 46);
}

void TfrmSimulaLinha::FiltraTeclaMes(TKeyChar& Key,
                                     std::initializer_list<const char*> colunasDeValor,
                                     bool efetivado, const std::string& chaveInvalido) {
    const TColumn* coluna = dbgMeses->SelectedColumn();
    bool colunaDeValor = false;
    for (const char* nome : colunasDeValor)
        if (coluna && equalsNoCase(coluna->FieldName(), nome)) colunaDeValor = true;
    if (!colunaDeValor && !TeclaDeControle(Key)) Key = 0;
    if (efetivado) Key = 0;
    // Values have no sign and no exponent.
    if (Key == U'e' || Key == U'E' || Key == U'+' || Key == U'-') Key = 0;
    if (colunaDeValor && Key != 0 && dbgMeses->EditorMode() && dbgMeses->EditorText().size() > 100)
        MensErro(msgPadrao.Msg(chaveInvalido));
}

void TfrmSimulaLinha::AjustaEdicaoDoMes() {
    const TClientDataSet* meses = dtsMeses.DataSet();
    const TField* permissao = meses && meses->Active() ? meses->FindField("IDPERMCALC") : nullptr;
    if (permissao && !meses->IsEmpty() && permissao->AsString() == "N")
        dbgMeses->RemoveOption(dgEditing);
    else
        dbgMeses->AddOption(dgEditing);
}

void TfrmSimulaLinha::LigaValorDigitado(TField& field) {
    field.OnSetText = [](TField& campo, const std::string& texto) {
        assert(frmCalcOrcaOper && "the line dialogs work on the main screen's budget");
        campo.SetAsFloat(frmCalcOrcaOper->resultValor(texto));
    };
}

bool TfrmSimulaLinha::EditandoMeses() const {
    return dtsMeses.State() == dsEdit || dtsMeses.State() == dsInsert;
}

bool TfrmSimulaLinha::Pergunta(const std::string& chave) const {
    return Application::instance().platform().MessageBox(
               MessageKind::Confirmation, msgPadrao.Msg(chave), MessageButtons::YesNo) == mrYes;
}

bool TfrmSimulaLinha::ItemEfetivado() const {
    const TClientDataSet* itens = dtsPadrao.DataSet();
    if (!itens || !itens->Active() || itens->IsEmpty()) return false;
    const TField* flag = itens->FindField("IDITEMORCAMENTO");
    return flag && (flag->AsString() == "E" || flag->AsString() == "A");
}

void TfrmSimulaLinha::controlaMenu() {
    const bool editando = EditandoMeses();
    const TClientDataSet* meses = dtsMeses.DataSet();
    const bool semMeses = !meses || !meses->Active() || meses->IsEmpty();
    Habilita(!dbgPadrao->Focused() && !editando && !ItemEfetivado(),
             !editando && !dbgMeses->Focused() && !semMeses);
}

void TfrmSimulaLinha::Habilita(bool alterar, bool procurar) {
    const bool editando = EditandoMeses();
    mnuIncluir->SetEnabled(false);
    mnuExcluir->SetEnabled(false);
    mnuAlterar->SetEnabled(alterar);
    mnuVerificar->SetEnabled(!editando);
    mnuProcurar->SetEnabled(procurar);
    mnuConfirmar->SetEnabled(editando);
    mnuCancelar->SetEnabled(editando);
    mnuListagem->SetEnabled(false);
    MirrorButtons();
    sbtImprimir->SetEnabled(false);
    dbgPadrao->SetEnabled(!editando);
    dbnPadrao->SetEnabled(!editando);
}

void TfrmSimulaLinha::dtsPadraoStateChange(TObject*) {
    // Built before the toolbar exists only in the base's own constructor.
    if (dbnPadrao) controlaMenu();
}

void TfrmSimulaLinha::FormClose(TObject* Sender, TCloseAction& Action) {
    // The instance is freed as it closes: the caller gets the data now.
    if (m_destino) {
        *m_destino = Pacotes();
        m_destino = nullptr;
    }
    TfrmPadraoGrid::FormClose(Sender, Action);
}
