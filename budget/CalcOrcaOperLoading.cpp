// Budget selection and loading: the filter panel, the version checks, the whole-budget load
// and the reload.
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "budget/dialogs/Cli_fyn10100.h"
#include "services/data/EAbort.h"
#include "services/data/NumberFormat.h"
#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/net/Lib00600.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TBtnPesquisa.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TDBNavigator.h"
#include "services/ui/TDBText.h"
#include "services/ui/TEdit.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"

#include <cmath>

namespace {

// Fields of a packet missing among the declared fields of the dataset it is meant for.
std::string camposAusentes(const TClientDataSet& cds, const DataPacket& packet) {
    std::string missing;
    for (const TField* field : cds.Fields())
        if (packet.fieldIndex(field->FieldName()) < 0)
            missing += (missing.empty() ? "" : ", ") + field->FieldName();
    return missing;
}

const DataPacket& pacote(const Variant& value, const char* dataSet) {
    if (value.type() != VarType::Packet)
        MensErro(std::string("Resposta do servidor inválida para ") + dataSet + ".");
    return value.packet();
}

} // namespace

bool TfrmCalcOrcaOper::AnoVazio() const {
    return EmptyString(speAno->Text());
}

std::string TfrmCalcOrcaOper::TextoAno() const {
    return speAno->Text();
}

int TfrmCalcOrcaOper::NumeroVersao() const {
    bool ok = false;
    const double value = TextToFloat(edtVersao->Text(), ok);
    return ok ? static_cast<int>(value) : 0;
}

void TfrmCalcOrcaOper::speAnoKeyPress(TObject* Sender, TKeyChar& Key) {
    if (Key == ',' || Key == 'e' || Key == 'E' || Key == '+' || Key == '-') Key = 0;
}

void TfrmCalcOrcaOper::speAnoExit(TObject* Sender) {
    // Without a year there is nothing to ask; leaving the panel reports it.
    if (AnoVazio()) return;
    GetMaiorVersao(TextoAno());
    boMaiorVersao = !edtVersao->Text().empty() &&
                    NumeroVersao() == cdsMaiorVersao.FieldByName("CDVERSAOORCA").AsFloat();
}

void TfrmCalcOrcaOper::edtVersaoKeyPress(TObject* Sender, TKeyChar& Key) {
    const bool digit = Key >= '0' && Key <= '9';
    if (!digit && Key != VK_BACK && Key != VK_TAB && Key != VK_ESCAPE) Key = 0;
}

void TfrmCalcOrcaOper::edtVersaoExit(TObject* Sender) {}

void TfrmCalcOrcaOper::GetMaiorVersao(const std::string& ano) {
    ActiveShowAvi(this, 1, "");
    Finally close([] { DeactiveShowAvi(); });
    std::string year = ano;
    const Variant data =
        CheckResultServ(netCalcOrcaOper.AppServer("GetMaiorVersao", {Arg::ref(year)}), true, 0);
    cdsMaiorVersao.SetData(pacote(data, "cdsMaiorVersao"));
    if (edtVersao->Text().empty() && !cdsMaiorVersao.IsEmpty())
        edtVersao->SetText(FormatFloat("0", cdsMaiorVersao.FieldByName("CDVERSAOORCA").AsFloat()));
}

void TfrmCalcOrcaOper::GetVersao(const std::string& ano, const std::string& tipo, double versao) {
    ActiveShowAvi(this, 1, "");
    Finally close([] { DeactiveShowAvi(); });
    std::string year = ano;
    std::string kind = tipo;
    const Variant data = CheckResultServ(
        netCalcOrcaOper.AppServer("GetVersao", {Arg::ref(year), Arg::ref(versao), Arg::ref(kind)}),
        true, 0);
    cdsVersaoOrca.SetData(pacote(data, "cdsVersaoOrca"));
}

void TfrmCalcOrcaOper::BtnPesqVerBeforePesq(TObject* Sender) {
    GetVersao(TextoAno(), "T", NumeroVersao());
}

void TfrmCalcOrcaOper::BtnPesqVerAfterPesq(TObject* Sender) {
    edtVersao->SetText(cdsVersaoOrca.FieldByName("CDVERSAOORCA").AsString());
}

void TfrmCalcOrcaOper::VdVersao() {
    try {
        if (edtVersao->Text().empty()) MensErro(Msg().Msg("Ver_Inf"));
        GetVersao(TextoAno(), "", NumeroVersao());
        if (cdsVersaoOrca.IsEmpty()) MensErro(Msg().Msg("Ver_NCad"));
    } catch (...) {
        edtVersao->SetFocus();
        throw;
    }
}

void TfrmCalcOrcaOper::panFiltroEnter(TObject* Sender) {
    m_orcamentoCarregado = false;
    // Back to the first page, with a budget to be chosen again.
    pgcOrcamento->SetActivePage(tshFaturBruto);
    boclique = false;
    // The budget on screen no longer matches the panel: empty it.
    bool emptied = false;
    for (TClientDataSet* cds : {&cdsOrcamentoFilial, &cdsItensOrcFatCons, &cdsItensOrcamento})
        if (cds->Active()) {
            cds->EmptyDataSet();
            emptied = true;
        }
    if (emptied) dtsPadraoStateChange(this);
    // Nothing to reload, save or cancel until a budget is loaded.
    mnuVerificar->SetEnabled(false);
    mnuCancelar->SetEnabled(false);
    mnuConfirmar->SetEnabled(false);
    sbtVerificar->SetEnabled(false);
    sbtCancelar->SetEnabled(false);
    sbtConfirmar->SetEnabled(false);
    mnuConfigImpressora->SetEnabled(false);
    HabilitaPaginas(false, tshFaturBruto);
    sbtCalcEfet->SetEnabled(false);
    cdsFeriadoFil.Close();
    dbnPadrao->SetEnabled(false);
    dbtCodigo->SetEnabled(false);
    dbtNome->SetEnabled(false);
    if (cdsParDROFilial.Active())
        cdsParDROFilial.EmptyDataSet();
    else
        cdsParDROFilial.CreateDataSet();
}

RemoteResult TfrmCalcOrcaOper::ChamaGetDadosOrcamento() {
    // A host bound to one branch sees only that branch, whatever the filter chose.
    std::string* filiais = &stListaFil;
    if (ModuFili()) {
        stPesqFilial = "_" + FiliProc() + "_";
        filiais = &stPesqFilial;
    }
    return netCalcOrcaOper.AppServer("GetDadosOrcamento",
                                     {TextoAno(), NumeroVersao(), Operador(), Arg::ref(*filiais),
                                      Arg::ref(stListaAgrupFil), Arg::ref(stListaReg),
                                      Arg::ref(stListaSeg)});
}

void TfrmCalcOrcaOper::CarregaPacotes(bool criaOuEsvazia) {
    TClientDataSet* const targets[6] = {&cdsOrcamentoFilial, &cdsItensOrcFatCons,
                                        &cdsItensOrcamento,  &cdsFeriadoFil,
                                        &cdsParDROFilial,    &cdsTxAdm};
    // Every packet is checked before any is loaded, so that a malformed answer leaves the
    // budget on screen whole rather than half replaced.
    for (int i = 0; i < 6; ++i) {
        const DataPacket& packet =
            pacote(oleOrcamentoFiltro.array()[i], targets[i]->Name().c_str());
        const std::string missing = camposAusentes(*targets[i], packet);
        if (!missing.empty())
            MensErro("Resposta do servidor sem os campos " + missing + " de " + targets[i]->Name() +
                     ".");
    }
    // The rows move into the datasets: a large budget is never held twice.
    std::vector<Variant> items = std::move(oleOrcamentoFiltro).takeArray();
    for (int i = 0; i < 6; ++i) {
        if (criaOuEsvazia) {
            if (!targets[i]->Active())
                targets[i]->CreateDataSet();
            else
                targets[i]->EmptyDataSet();
        }
        targets[i]->SetData(std::move(items[i]).takePacket());
    }
}

void TfrmCalcOrcaOper::ArrumaColunasMeses() {
    OrganizaCamposGrid(0, dbgDiaUtilFilFat);
    OrganizaCamposGrid(4, dbgItOrcFatur);
    OrganizaCamposGrid(0, dbgDiaUtilFilCons);
    OrganizaCamposGrid(1, dbgImposto);
    OrganizaCamposGrid(4, dbgItConsumo);
    OrganizaCamposGrid(1, dbgMaoObra);
    OrganizaCamposGrid(2, dbgMatriz);
    OrganizaCamposGrid(1, dbgDiversas);
    OrganizaCamposGrid(1, dbgEntradas);
    OrganizaCamposGrid(1, dbgImpRecup);
    OrganizaCamposGrid(2, dbgImpSobLuc);
    OrganizaCamposGrid(2, dbgInvest);
    OrganizaCamposGrid(3, dbgDeprec);
}

void TfrmCalcOrcaOper::AjustaEdicaoGrades() {
    for (TDBGrid* grid : {dbgDiaUtilFilFat, dbgItOrcFatur, dbgDiaUtilFilCons, dbgItConsumo,
                          dbgImposto, dbgMaoObra, dbgTxAdm, dbgMatriz, dbgDiversas, dbgEntradas,
                          dbgInvest, dbgImpSobLuc, dbgImpRecup, dbgDeprec})
        SetGridEditing(grid, boMaiorVersao);
}

void TfrmCalcOrcaOper::panFiltroExit(TObject* Sender) {
    if (AnoVazio()) {
        speAno->SetFocus();
        MensErro(Msg().Msg("ANO_N_INF"));
    }
    VdVersao();
    // Only the latest version of its year may be changed.
    boMaiorVersao = NumeroVersao() == cdsMaiorVersao.FieldByName("CDVERSAOORCA").AsFloat();
    // The filter dialog opens once per choice of budget, not on every exit.
    if (!boclique) {
        boConfirmou = false;
        boclique = true;
        criaFiltroCalculo();
        if (!boConfirmou) speAno->SetFocus();
    }
    if (!boConfirmou) {
        speAno->SetFocus();
        // Ending here as a silent abort also keeps the focus on the year when the panel was
        // being left from the year box itself.
        Abort();
    }
    // The operator's phase decides effecting and the months that may be changed.
    if (cdsVerifFaseOper.Active())
        cdsVerifFaseOper.EmptyDataSet();
    else
        cdsVerifFaseOper.CreateDataSet();
    const Variant fase = Verifica_Fase_Operador(netGestaoOperac, TextoAno());
    cdsVerifFaseOper.SetData(pacote(fase, "cdsVerifFaseOper"));
    boHabEfet = cdsVerifFaseOper.IsEmpty() ||
                cdsVerifFaseOper.FieldByName("IDFASECALCORCA").AsString() == "S";
    if (cdsParDROFilial.Active())
        cdsParDROFilial.EmptyDataSet();
    else
        cdsParDROFilial.CreateDataSet();
    ActiveShowAvi(this, 6, Msg().Msg("Dados"));
    Finally close([] { DeactiveShowAvi(); });
    oleOrcamentoFiltro = CheckResultServ(ChamaGetDadosOrcamento(), true, 6);
    CarregaPacotes(true);
    // The month columns follow the version's first month.
    GetMaiorVersao(TextoAno());
    ArrumaColunasMeses();
    // Pages and buttons open only over a budget with branches.
    if (!cdsOrcamentoFilial.IsEmpty()) {
        HabilitaPaginas(true);
        AjustaEdicaoGrades();
        if (!boReplicacao && !boSimulacao) pgcOrcamento->SetActivePage(tshFaturBruto);
        pgcOrcamentoChange(this);
        HabilitaEfetivar();
        AjustaBotoesCalculo();
    } else {
        HabilitaPaginas(false);
    }
    // The working days shown are those of the current billing row's branch.
    if (!cdsFeriadoFil.IsEmpty() && !cdsItensOrcFatCons.IsEmpty()) {
        cdsFeriadoFil.SetFilter("CDFILIAL = '" +
                                cdsItensOrcFatCons.FieldByName("CDFILIAL").AsString() + "'");
        cdsFeriadoFil.SetFiltered(true);
    }
    // A fresh budget: no edit session, no bulk loop left over.
    dbgItOrcFatur->SetSelectedField(&cdsItensOrcFatCons.FieldByName("CDFILIAL"));
    DeactiveShowAvi();
    boEditItemOrca = false;
    boEditTxAdm = false;
    boCheck = false;
    boLoop = false;
    dbgItOrcFatur->SetSelectedIndex(1);
    dbnPadrao->SetEnabled(true);
    dbtCodigo->SetEnabled(true);
    dbtNome->SetEnabled(true);
    m_orcamentoCarregado = true;
}

void TfrmCalcOrcaOper::sbtVerificarClick(TObject* Sender) {
    // Only a budget chosen and loaded through the panel is read again: the keys must not load
    // a year or version still being typed, without its filter and phase checks.
    if (!m_orcamentoCarregado) return;
    // The grids follow once, after the whole reading.
    cdsOrcamentoFilial.DisableControls();
    cdsItensOrcFatCons.DisableControls();
    Finally unfreeze([this] {
        DeactiveShowAvi();
        if (cdsOrcamentoFilial.ControlsDisabled()) cdsOrcamentoFilial.EnableControls();
        if (cdsItensOrcFatCons.ControlsDisabled()) cdsItensOrcFatCons.EnableControls();
    });
    const bool fatOuCons = PaginaFatOuCons();
    ActiveShowAvi(this, 6, Msg().Msg("Dados"));
    oleOrcamentoFiltro = CheckResultServ(ChamaGetDadosOrcamento(), true, 6);
    // The branch the operator was on, to return to after reading.
    const std::string filial = fatOuCons ? cdsItensOrcFatCons.FieldByName("CDFILIAL").AsString()
                                         : cdsOrcamentoFilial.FieldByName("CDFILIAL").AsString();
    CarregaPacotes(false);
    if (!cdsOrcamentoFilial.IsEmpty()) {
        // The same summary as a page change, so the grey rows never depend on item order.
        ResumoPagina(LetraPagina());
        if (fatOuCons)
            cdsItensOrcFatCons.Locate("CDFILIAL", {Variant(filial)}, {true, false});
        else
            cdsOrcamentoFilial.Locate("CDFILIAL", {Variant(filial)}, {true, false});
        if (!cdsFeriadoFil.IsEmpty() && !cdsItensOrcFatCons.IsEmpty()) {
            cdsFeriadoFil.SetFilter("CDFILIAL = '" +
                                    cdsItensOrcFatCons.FieldByName("CDFILIAL").AsString() + "'");
            cdsFeriadoFil.SetFiltered(true);
        }
    }
    // The calculation buttons name the current row's mode.
    if (cdsItensOrcFatCons.FieldByName("IDCALCOMESTORC").AsString() == "N") {
        sbtCalcCard->SetCaption("Cálculo por Cardápio");
        sbtCalcEfet->SetCaption("Cálculo por Efetivos");
    } else {
        sbtCalcCard->SetCaption("Cálculo por Comensais Est.");
        sbtCalcEfet->SetCaption("Cálculo por Comensais Est.");
    }
    if (cdsOrcamentoFilial.IsEmpty()) HabilitaPaginas(false);
    boEditTxAdm = false;
}
