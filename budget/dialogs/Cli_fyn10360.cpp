#include "budget/dialogs/Cli_fyn10360.h"

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "budget/dialogs/PeriodoOrcamento.h"
#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TDateEditPlus.h"
#include "services/ui/TLabel.h"
#include "services/ui/TfrmPesquisaLista.h"

#include <cassert>

TfrmcalMOOrca* frmcalMOOrca = nullptr;

namespace {

const char* const kMensagens =
    "DateIni_Inf|Data inicial deve ser informada.\n"
    "DateFin_Inf|Data final deve ser informada.\n"
    "DateFin<DateIni|Data inicial não pode ser maior que a data final.\n"
    "DateIni_NPer|Data inicial deve estar dentro do periodo de orçamento.\n"
    "DateFin_NPer|Data final deve estar dentro do período de orçamento.\n"
    "Orcamento|Orçamento\n"
    "List_Inf|Lista de orçamentos deve ser informada.\n"
    "Filiais|Filiais a calcular orçamento de mão de obra devem ser selecionadas.\n"
    "Conf|Confirma cálculo de mão de obra por lista de orçamentos selecionada?\n"
    "Des_Recarregar|Deseja recarregar os dados das mãos de obra selecionadas?\n"
    "Calc|Calculando orçamento...\n"
    "Sucesso|Cálculo realizado com sucesso!\n"
    "Nada|Nenhuma operação foi efetuada. Favor verificar se as filiais selecionadas "
    "correspondem aos orçamentos de mão de obra selecionados.\n";

TfrmCalcOrcaOper& principal() {
    assert(frmCalcOrcaOper && "the labour dialog works on the main screen's branches");
    return *frmCalcOrcaOper;
}

TModalResult mensagem(MessageKind kind, const std::string& text, MessageButtons buttons) {
    return Application::instance().platform().MessageBox(kind, text, buttons);
}

// A date box's date for the server: an empty box travels as null.
Variant dataDe(const TDateEditPlus* edit) {
    const double days = edit->GetDate();
    return days == 0 ? Variant() : Variant::fromDate(days);
}

} // namespace

TfrmcalMOOrca::TfrmcalMOOrca(TComponent* owner) : TfrmRotiGeral(owner) {
    msgPadrao.Add(kMensagens);
    cdsOrcamentos.AddField("IDMARCADO", FieldType::String, 1).SetVisible(false);
    cdsOrcamentos.AddField("CDORCAMENTOMO", FieldType::String, 10).SetDisplayLabel("Código");
    cdsOrcamentos.AddField("DSORCAMENTOMO", FieldType::String, 40).SetDisplayLabel("Descrição");
    cdsOrcamentos.AddField("QTFUNCORCAMO", FieldType::Float).SetDisplayLabel("Nº de Funcionários");
    cdsOrcamentos.AddField("CHAVE", FieldType::String, 14).SetVisible(false);
    cdsOrcamentos.SetIndexFieldNames("CDORCAMENTOMO");
    cdsRetorno.AddField("Retorno", FieldType::String, 10);
    CriaComponentes();
}

TfrmcalMOOrca::~TfrmcalMOOrca() {
    DestroyComponents();
    if (frmcalMOOrca == this) frmcalMOOrca = nullptr;
}

void TfrmcalMOOrca::CriaComponentes() {
    SetName("frmcalMOOrca");
    SetCaption("Cálculo de Mão de Obra por Orçamento");
    SetBounds(0, 0, 360, 170);
    lblOrca = Add<TLabel>("lblOrca", this);
    lblOrca->SetCaption("Lista de Orçamentos");
    lblOrca->SetBounds(12, 14, 130, 16);
    btnOrca = Add<TButtonFlat>("btnOrca", this);
    btnOrca->SetBounds(150, 8, 28, 26);
    btnOrca->SetHint("Lista de Orçamentos");
    btnOrca->OnClick = [this](TObject* s) { btnOrcaClick(s); };
    lblDtIni = Add<TLabel>("lblDtIni", this);
    lblDtIni->SetCaption("Data Ini.");
    lblDtIni->SetBounds(12, 44, 80, 16);
    depDtIni = Add<TDateEditPlus>("depDtIni", this);
    depDtIni->SetBounds(12, 62, 100, 22);
    lblDtFin = Add<TLabel>("lblDtFin", this);
    lblDtFin->SetCaption("Data Fin.");
    lblDtFin->SetBounds(124, 44, 80, 16);
    depDtFin = Add<TDateEditPlus>("depDtFin", this);
    depDtFin->SetBounds(124, 62, 100, 22);
    for (TDateEditPlus* edit : {depDtIni, depDtFin})
        edit->OnExit = [edit](TObject*) { edit->CheckValidDate(); };
    chkPeriodoComp = Add<TCheckBox>("chkPeriodoComp", this);
    chkPeriodoComp->SetCaption("Período completo");
    chkPeriodoComp->SetBounds(236, 64, 120, 20);
    chkPeriodoComp->OnClick = [this](TObject* s) { chkPeriodoCompClick(s); };
    RegisterDataSet(cdsOrcamentos.Name(), &cdsOrcamentos);
    RegisterDataSet(cdsRetorno.Name(), &cdsRetorno);
}

void TfrmcalMOOrca::chkPeriodoCompClick(TObject*) {
    const bool completo = chkPeriodoComp->Checked();
    depDtIni->SetEnabled(!completo);
    depDtFin->SetEnabled(!completo);
}

DataPacket TfrmcalMOOrca::Pacote(const RemoteResult& answer, const char* method) {
    // A refused call has no data to load: say so rather than show an empty list or nothing.
    if (answer.failed()) MensErro(answer.error);
    if (answer.result.type() != VarType::Packet)
        MensErro(std::string("Resposta do servidor inválida para ") + method + ".");
    return answer.result.packet();
}

void TfrmcalMOOrca::btnOrcaClick(TObject*) {
    TfrmCalcOrcaOper& main = principal();
    cdsOrcamentos.SetData(
        Pacote(main.netCalcOrcaOper.AppServer("GetMaoObraOrcar", {main.cdsOrcamentoFilial.Data()}),
               "GetMaoObraOrcar"));
    PesquisaLista(&dtsOrcamentos, "CHAVE",
                  msgPadrao.Msg("Orcamento") + "|Não há orçamentos cadastrados", true,
                  stMaoObraOrca);
}

void TfrmcalMOOrca::validaData() {
    TClientDataSet& versao = principal().cdsVersaoOrca;
    const bool semVersao = !versao.Active() || versao.IsEmpty();
    ValidaPeriodo(msgPadrao, depDtIni, depDtFin,
                  semVersao ? 0 : versao.FieldByName("DATAINI").AsDateTime(),
                  semVersao ? 0 : versao.FieldByName("DATAFIN").AsDateTime());
}

void TfrmcalMOOrca::sbtConfirmaClick(TObject* Sender) {
    TfrmRotiGeral::sbtConfirmaClick(Sender);
    TfrmCalcOrcaOper& main = principal();
    if (!cdsRetorno.Active())
        cdsRetorno.CreateDataSet();
    else
        cdsRetorno.EmptyDataSet();
    if (stMaoObraOrca.empty()) MensErro(msgPadrao.Msg("List_Inf"));
    TClientDataSet& filiais = main.cdsOrcamentoFilial;
    bool algumaMarcada = false;
    if (filiais.Active()) {
        // Looking for the checked branch must not move the main screen's selection.
        HandlerGuard detached(filiais.AfterScroll);
        const TBookmark row = filiais.GetBookmark();
        algumaMarcada = filiais.Locate("IDCHECKO", {Variant("S")}, {.caseInsensitive = true});
        if (filiais.BookmarkValid(row)) filiais.GotoBookmark(row);
    }
    if (!algumaMarcada) MensErro(msgPadrao.Msg("Filiais"));
    std::string periodo;
    if (chkPeriodoComp->Checked())
        periodo = "S";
    else
        validaData();
    if (mensagem(MessageKind::Confirmation, msgPadrao.Msg("Conf"), MessageButtons::YesNo) != mrYes)
        return;
    std::string limpa = mensagem(MessageKind::Confirmation, msgPadrao.Msg("Des_Recarregar"),
                                 MessageButtons::YesNo) == mrYes
                            ? "S"
                            : "N";
    TClientDataSet& versao = main.cdsVersaoOrca;
    const bool semVersao = !versao.Active() || versao.IsEmpty();
    const Variant versaoIni =
        semVersao ? Variant() : Variant::fromDate(versao.FieldByName("DATAINI").AsDateTime());
    const Variant versaoFin =
        semVersao ? Variant() : Variant::fromDate(versao.FieldByName("DATAFIN").AsDateTime());
    RemoteResult answer;
    {
        ProgressGuard progress(this, 1, msgPadrao.Msg("Calc"));
        answer = main.netCalcOrcaOper.AppServer(
            "GeraOrcaMaoObra",
            {Arg::ref(stMaoObraOrca), filiais.Data(), Arg::ref(limpa), Arg::ref(periodo),
             dataDe(depDtIni), dataDe(depDtFin), versaoIni, versaoFin, Operador()});
    }
    // Whatever came back, the server may have written: the main screen reloads.
    boAlterado = true;
    cdsRetorno.SetData(Pacote(answer, "GeraOrcaMaoObra"));
    const std::string retorno =
        cdsRetorno.IsEmpty() ? std::string() : cdsRetorno.FieldByName("Retorno").AsString();
    if (retorno == "OK") {
        mensagem(MessageKind::Information, msgPadrao.Msg("Sucesso"), MessageButtons::Ok);
    } else if (retorno == "Nada") {
        mensagem(MessageKind::Information, msgPadrao.Msg("Nada"), MessageButtons::Ok);
    } else {
        // A refusal must not pass for a finished calculation: say why.
        const TField* texto = cdsRetorno.FindField("MENSAGEM");
        const std::string motivo = texto && !cdsRetorno.IsEmpty() ? texto->AsString() : "";
        MensErro(motivo.empty() ? "O cálculo de mão de obra não foi realizado." : motivo, false);
    }
    if (Modal())
        SetModalResult(mrOk);
    else
        Close();
}

void TfrmcalMOOrca::sbtCancelClick(TObject* Sender) {
    TfrmRotiGeral::sbtCancelClick(Sender);
    boAlterado = false;
}

void TfrmcalMOOrca::FormClose(TObject* Sender, TCloseAction& Action) {
    TfrmRotiGeral::FormClose(Sender, Action);
    if (frmcalMOOrca == this) frmcalMOOrca = nullptr;
}

bool CriaCalcMaoObraOrc() {
    CursorGuard hourglass;
    if (!frmcalMOOrca) {
        frmcalMOOrca =
            Application::instance().createModuleForm<TfrmcalMOOrca>(kModuleCode, nullptr);
        boAlterado = false;
    }
    frmcalMOOrca->SetWindowState(wsNormal);
    frmcalMOOrca->ShowModal();
    return boAlterado;
}
