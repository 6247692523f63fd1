// The billing and consumption rows' base month: copying it to the selected branches and having
// the server calculate the selected rows from it over a chosen period.
#include "budget/CalcOrcaOperEntryRules.h"
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "budget/dialogs/Cli_fyn10390.h"
#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"

#include <optional>

using namespace EntryRules;

namespace {

const LocateOptions kNoCase{true, false};

bool baseVazia(const TField& field) {
    return field.IsNull() || field.AsDateTime() == 0;
}

} // namespace

void TfrmCalcOrcaOper::LigaEventosCalculo() {
    btnMesBaseFat->OnClick = [this](TObject* s) { btnMesBaseFatClick(s); };
    btnMesBaseCons->OnClick = btnMesBaseFat->OnClick;
    sbtCalcEfet->OnClick = [this](TObject* s) { sbtCalcEfetClick(s); };
    sbtCalcCard->OnClick = [this](TObject* s) { sbtCalcCardClick(s); };
    sbtEfetivar->OnClick = [this](TObject* s) { sbtEfetivarClick(s); };
    // The menu item acts only when its button would: effecting reads the budget again, which
    // must not throw away a value still being edited.
    mnuEfetTodo->OnClick = [this](TObject*) { sbtEfetivar->Click(); };
}

void TfrmCalcOrcaOper::HabilitaMesBase() {
    const TClientDataSet& fc = cdsItensOrcFatCons;
    const TField* base = fc.FindField("DTMESBASEITEM");
    const bool enabled = fc.Active() && !fc.IsEmpty() && base && !baseVazia(*base) && Aberto(fc) &&
                         fc.State() != dsEdit && boMaiorVersao;
    btnMesBaseFat->SetEnabled(enabled);
    btnMesBaseCons->SetEnabled(enabled);
}

std::string TfrmCalcOrcaOper::ModoCalculo() const {
    // A page is entered while its set-up still stands on the first row; the operator's branch
    // is the one it goes back to.
    const TClientDataSet& fc = cdsItensOrcFatCons;
    if (!fc.Active() || fc.IsEmpty()) return {};
    const int key = fc.FieldByName("CDFILIAL").Index();
    const int mode = fc.FieldByName("IDCALCOMESTORC").Index();
    for (int row = 0; row < fc.RecordCount(); ++row)
        if (SameName(fc.RowValue(row, key).toText(), stFiliSelec))
            return fc.RowValue(row, mode).toText();
    return fc.FieldByName("IDCALCOMESTORC").AsString();
}

bool TfrmCalcOrcaOper::LinhaAlteravel() const {
    return LinhaReplicavel(cdsItensOrcFatCons);
}

void TfrmCalcOrcaOper::InformaOk(const std::string& texto) {
    Application::instance().platform().MessageBox(MessageKind::Information, texto,
                                                  MessageButtons::Ok);
}

// --- Failure ----------------------------------------------------------------------------------

TfrmCalcOrcaOper::FatConsAntes TfrmCalcOrcaOper::GuardaFatCons() {
    TClientDataSet& ds = cdsItensOrcFatCons;
    FatConsAntes antes;
    antes.filial = ds.FieldByName("CDFILIAL").AsString();
    antes.editando = ds.State() == dsEdit;
    if (antes.editando) {
        // The typed value is checked and kept like any post; the edit is reopened later.
        HandlerGuard afterPost(ds.AfterPost);
        HandlerGuard stateChange(dtsPadrao.OnStateChange);
        ds.Post();
    }
    antes.dados = ds.Data();
    return antes;
}

bool TfrmCalcOrcaOper::ExecutaOuRestaura(const std::function<bool()>& operacao) {
    const FatConsAntes antes = GuardaFatCons();
    bool concluida = false;
    try {
        concluida = operacao();
    } catch (...) {
        RestauraFatCons(antes);
        throw;
    }
    if (!concluida) RestauraFatCons(antes);
    return concluida;
}

void TfrmCalcOrcaOper::RestauraFatCons(const FatConsAntes& antes) {
    TClientDataSet& ds = cdsItensOrcFatCons;
    {
        HandlerGuard afterPost(ds.AfterPost);
        HandlerGuard stateChange(dtsPadrao.OnStateChange);
        if (ds.State() != dsBrowse) ds.Cancel();
        ds.SetData(antes.dados);
        ds.Locate("CDFILIAL", {Variant(antes.filial)}, kNoCase);
    }
    boCheck = false;
    if (antes.editando) ds.Edit();
    dtsPadraoStateChange(this);
}

// --- Copy -------------------------------------------------------------------------------------

void TfrmCalcOrcaOper::btnMesBaseFatClick(TObject* Sender) {
    TClientDataSet& ds = cdsItensOrcFatCons;
    if (!ds.Active() || ds.IsEmpty()) return;
    const auto* botao = dynamic_cast<const TComponent*>(Sender);
    const bool fat = botao && SameName(botao->Name(), "btnMesBaseFat");
    const std::string campo = fat ? "IDCHECKF" : "IDCHECKC";
    const Variant tipo(fat ? "F" : "C");
    const Variant fonte(ds.FieldByName("CDFILIAL").AsString());
    if (!fat) boRepliMesCons = true;
    Finally semCheck([this] {
        if (SameName(CampoSelecionado(dbgItOrcFatur), "IDCHECKF"))
            dbgItOrcFatur->SetSelectedIndex(1);
    });
    boCheck = true;
    Finally limpa([] { boCheck = false; });
    auto alvo = [&] { return ds.FieldByName(campo).AsString() == "S" && LinhaAlteravel(); };
    auto volta = [&] { ds.Locate("CDFILIAL;IDTIPOORCAOP", {fonte, tipo}, kNoCase); };

    int copiadas = 0;
    const bool enviada = ExecutaOuRestaura([&] {
        bool algum = false;
        {
            FreezeGuard freeze(ds);
            HandlerGuard scroll(ds.AfterScroll);
            for (ds.First(); !ds.Eof() && !algum; ds.Next())
                algum = alvo();
            volta();
        }
        if (!algum) MensErro(msgPadrao.Msg("Fil_deve"));
        if (!Ask(msgPadrao.Msg("Replica_Mes"))) return false;

        // An empty base month is copied as empty.
        const TField& baseFonte = ds.FieldByName("DTMESBASEITEM");
        const Variant base = baseVazia(baseFonte) ? Variant() : baseFonte.AsVariant();
        {
            FreezeGuard freeze(ds);
            HandlerGuard scroll(ds.AfterScroll);
            HandlerGuard beforePost(ds.BeforePost);
            HandlerGuard afterPost(ds.AfterPost);
            HandlerGuard stateChange(dtsPadrao.OnStateChange);
            for (ds.First(); !ds.Eof(); ds.Next()) {
                if (!alvo() || SameName(ds.FieldByName("CDFILIAL").AsString(), fonte.toText()))
                    continue;
                ds.Edit();
                ds.FieldByName("DTMESBASEITEM").SetAsVariant(base);
                ds.Post();
                ++copiadas;
            }
            volta();
        }

        const double hoje = Application::instance().today();
        ActiveShowAvi(this, 6, msgPadrao.Msg("SAVE"));
        Finally fecha([] { DeactiveShowAvi(); });
        const Variant delta = ds.ChangeCount() > 0 ? Variant(ds.Delta()) : Variant();
        CheckResultServ(
            netCalcOrcaOper.AppServer("SetItensOrcFatCons",
                                      {delta, "N", TextoAno(), NumeroVersao(), Operador(), "N",
                                       false, false, Variant(cdsParDROFilial.Data()), "",
                                       Variant::fromDate(hoje), Variant::fromDate(hoje)}),
            true, 0);
        return true;
    });
    if (!enviada) return;
    // Every pending change went with the copy.
    ds.MergeChangeLog();
    boEditItemOrca = false;
    if (copiadas > 0) InformaOk(msgPadrao.Msg(fat ? "calc_Novamente" : "CalcMed_Novamente"));
    boCheck = false;
    sbtVerificarClick(this);
}

// --- Calculation ------------------------------------------------------------------------------

void TfrmCalcOrcaOper::sbtCalcEfetClick(TObject*) {
    CalculaMesBase('F');
}

void TfrmCalcOrcaOper::sbtCalcCardClick(TObject*) {
    CalculaMesBase('C');
}

void TfrmCalcOrcaOper::CalculaMesBase(char tipo) {
    TClientDataSet& ds = cdsItensOrcFatCons;
    const bool fat = tipo == 'F';
    if (fat) {
        pgcOrcamento->SetActivePage(tshFaturBruto);
        pgcOrcamentoChange(this);
    }
    if (!ds.Active() || ds.IsEmpty()) return;
    const std::string campo = fat ? "IDCHECKF" : "IDCHECKC";
    const Variant fonte(ds.FieldByName("CDFILIAL").AsString());
    boCheck = true;
    Finally limpa([] {
        boLoop = false;
        boCheck = false;
    });

    const bool calculado = ExecutaOuRestaura([&] {
        if (!TestCheck(ds)) MensErro(msgPadrao.Msg("Inf_Check_Calc"));
        // The consumption button freezes before asking for the period, billing after.
        std::optional<FreezeGuard> freeze;
        if (!fat) freeze.emplace(ds);
        HandlerGuard afterPost(ds.AfterPost);
        criaPerCalc();
        if (StrOperac != "S") return false;
        if (fat) freeze.emplace(ds);

        ActiveShowAvi(this, 1, "Calculando");
        Finally fecha([] { DeactiveShowAvi(); });
        int marcadas = 0;
        {
            HandlerGuard scroll(ds.AfterScroll);
            HandlerGuard beforePost(ds.BeforePost);
            HandlerGuard stateChange(dtsPadrao.OnStateChange);
            for (ds.First(); !ds.Eof(); ds.Next()) {
                if (ds.FieldByName("IDCALCOMESTORC").AsString() != "N") continue;
                if (ds.FieldByName(campo).AsString() != "S") continue;
                const std::string filial = ds.FieldByName("CDFILIAL").AsString();
                bool exigeBase = true;
                if (!fat && cdsParDROFilial.Active() &&
                    cdsParDROFilial.Locate("CDFILIAL", {Variant(filial)}, kNoCase))
                    // Without a base month these branches take last year's same month.
                    exigeBase = cdsParDROFilial.FieldByName("IDFATUROP").AsString() != "FS" &&
                                cdsParDROFilial.FieldByName("IDDETALHEFATUR").AsString() != "N";
                if (exigeBase && baseVazia(ds.FieldByName("DTMESBASEITEM")))
                    MensErro(msgPadrao.Msg("Mes_InfF"));
                if (!LinhaAlteravel()) continue;
                TestaValores(ds);
                ds.Edit();
                ds.FieldByName("IDITEMCALCORCA").SetAsString("P");
                ds.Post();
                ++marcadas;
            }
            ds.Locate("CDFILIAL", {fonte}, kNoCase);
        }
        if (marcadas == 0) {
            DeactiveShowAvi();
            InformaOk(msgPadrao.Msg("calc_nada"));
            return false;
        }
        if (!fat) freeze.reset();

        Variant periodo(DataTCalc);
        Variant inicio = Variant::fromDate(DataIniCalc);
        Variant fim = Variant::fromDate(DataFinCalc);
        const Variant delta = ds.ChangeCount() > 0 ? Variant(ds.Delta()) : Variant();
        CheckResultServ(
            netCalcOrcaOper.AppServer("SetItensOrcFatCons",
                                      {delta, std::string(1, tipo), TextoAno(), NumeroVersao(),
                                       Operador(), "N", fat, !fat, Variant(cdsParDROFilial.Data()),
                                       Arg::ref(periodo), Arg::ref(inicio), Arg::ref(fim)}),
            true, 0);
        return true;
    });
    if (!calculado) return;
    ds.MergeChangeLog();
    boEditItemOrca = false;
    boCheck = false;
    sbtVerificarClick(this);
    pgcOrcamentoChange(this);
    InformaOk(msgPadrao.Msg("calc_ok"));
}
