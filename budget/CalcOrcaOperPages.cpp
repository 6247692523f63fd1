// The twelve pages as views of the three budget datasets: the month columns in the version's
// order, and the filter, order and buttons of the active page.
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "services/data/EAbort.h"
#include "services/data/NumberFormat.h"
#include "services/lib/Consiste.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/ScreenRoutines.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TDBNavigator.h"
#include "services/ui/TDBText.h"
#include "services/ui/TEdit.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TTabSheet.h"

#include <array>
#include <unordered_map>

namespace {

struct PaginaLetra {
    char letter;
    TTabSheet* TfrmCalcOrcaOper::*page;
};

constexpr std::array<PaginaLetra, 12> kPaginas{{
    {'F', &TfrmCalcOrcaOper::tshFaturBruto},
    {'I', &TfrmCalcOrcaOper::tshImposto},
    {'C', &TfrmCalcOrcaOper::tshConsumo},
    {'O', &TfrmCalcOrcaOper::tshMaoObra},
    {'T', &TfrmCalcOrcaOper::tshTxAdm},
    {'M', &TfrmCalcOrcaOper::tshMatriz},
    {'D', &TfrmCalcOrcaOper::tshDiversas},
    {'E', &TfrmCalcOrcaOper::tshEntradas},
    {'R', &TfrmCalcOrcaOper::tshImpRecup},
    {'S', &TfrmCalcOrcaOper::tshImpSobLuc},
    {'N', &TfrmCalcOrcaOper::tshInvest},
    {'P', &TfrmCalcOrcaOper::tshDeprec},
}};

const LocateOptions kNoCase{true, false};

} // namespace

char TfrmCalcOrcaOper::LetraPagina() const {
    const TTabSheet* active = pgcOrcamento->ActivePage();
    for (const PaginaLetra& entry : kPaginas)
        if (this->*entry.page == active) return entry.letter;
    return 'F';
}

TTabSheet* TfrmCalcOrcaOper::PaginaDaLetra(char letter) const {
    for (const PaginaLetra& entry : kPaginas)
        if (entry.letter == letter) return this->*entry.page;
    return nullptr;
}

std::string TfrmCalcOrcaOper::NomeCampo() const {
    return NomeCampoCheck(LetraPagina());
}

void TfrmCalcOrcaOper::HabilitaPaginas(bool enabled, TTabSheet* except) {
    for (const PaginaLetra& entry : kPaginas) {
        TTabSheet* page = this->*entry.page;
        if (page != except) page->SetEnabled(enabled);
    }
}

void TfrmCalcOrcaOper::OrganizaCamposGrid(int primeiraColuna, TDBGrid* grid) {
    if (!cdsMaiorVersao.Active() || cdsMaiorVersao.IsEmpty()) return;
    int month = 1;
    bool ok = false;
    const std::string first = MesInicialVersao();
    if (!first.empty()) {
        month = std::atoi(first.c_str());
        ok = month >= 1 && month <= 12;
    }
    // A version without a valid first month keeps the calendar order.
    if (!ok) month = 1;
    const bool faseCalcula = cdsVerifFaseOper.Active() && !cdsVerifFaseOper.IsEmpty() &&
                             cdsVerifFaseOper.FieldByName("IDFASECALCORCA").AsString() == "S";
    for (int column = primeiraColuna; column < primeiraColuna + 12; ++column) {
        if (column >= grid->ColumnCount()) break;
        TColumn& col = *grid->Column(column);
        const std::string monthText = Msg().Msg(std::to_string(month));
        col.SetFieldName("VRORCAMENTO" + monthText);
        if (faseCalcula)
            col.SetReadOnly(cdsVerifFaseOper.FieldByName("IDPERMCALC" + monthText).AsString() ==
                            "N");
        month = month == 12 ? 1 : month + 1;
    }
}

std::string TfrmCalcOrcaOper::MesInicialVersao() {
    // The version on screen decides the order of its fiscal months; the latest version's first
    // month stands in until a version has been checked.
    bool ok = false;
    const double typed = TextToFloat(edtVersao->Text(), ok);
    if (ok && cdsVersaoOrca.Active()) {
        const int version = cdsVersaoOrca.FieldByName("CDVERSAOORCA").Index();
        const int first = cdsVersaoOrca.FieldByName("NRMESINIVERORC").Index();
        for (int row = 0; row < cdsVersaoOrca.RecordCount(); ++row) {
            bool numeric = false;
            const double value =
                TextToFloat(cdsVersaoOrca.RowValue(row, version).toText(), numeric);
            if (numeric && value == typed) return cdsVersaoOrca.RowValue(row, first).toText();
        }
    }
    return cdsMaiorVersao.FieldByName("NRMESINIVERORC").AsString();
}

std::string TfrmCalcOrcaOper::IndicePagina(char letter) const {
    switch (letter) {
    case 'I':
    case 'O':
    case 'R':
        return "CDFILIAL;CDDESPADMFAT";
    case 'M':
    case 'D':
        return "CDFILIAL;CDDESPPREV";
    case 'E':
        return cdsTpDespLanEnt.FieldByName("IDORCDESPENTROP").AsString() == "O"
                   ? "CDFILIAL;CDTIPOOPER"
                   : "CDFILIAL;CDDESPPREV";
    default:
        return "CDFILIAL";
    }
}

std::string TfrmCalcOrcaOper::FiltroPagina(char letter, const std::string& filial) const {
    const std::string l(1, letter);
    switch (letter) {
    case 'I':
    case 'O':
    case 'D':
    case 'R':
        return "IDTIPOORCAOP = '" + l + "'AND CDFILIAL = '" + filial + "'";
    case 'M':
        return "[IDTIPOORCAOP] = 'M'";
    case 'S':
    case 'N':
    case 'P':
        return "IDTIPOORCAOP = '" + l + "'";
    case 'E':
        return "IDTIPOORCAOP = 'E' AND CDFILIAL = '" + filial + "'" +
               (cdsTpDespLanEnt.FieldByName("IDORCDESPENTROP").AsString() == "O"
                    ? " AND CDTIPOOPER <> 'V'"
                    : " AND CDTIPOOPER = 'V'");
    default:
        // Pages without items of their own show the branch's items in the summary walks.
        return "CDFILIAL = '" + filial + "'";
    }
}

TDBGrid* TfrmCalcOrcaOper::GradeItensPagina() const {
    switch (LetraPagina()) {
    case 'I':
        return dbgFilImpo;
    case 'O':
        return dbgFilialMaoObra;
    case 'M':
        return dbgMatriz;
    case 'D':
        return dbgFilialDiversas;
    case 'E':
        return dbgFilialEntradas;
    case 'R':
        return dbgImpRecup;
    case 'S':
        return dbgImpSobLuc;
    case 'N':
        return dbgInvest;
    case 'P':
        return dbgDeprec;
    default:
        return dbgItOrcFatur;
    }
}

void TfrmCalcOrcaOper::pgcOrcamentoChanging(TObject* Sender, bool& AllowChange) {
    // The all-branch pages list every branch: the next page opens on the branch of the row
    // the operator was on.
    TDBGrid* grid = nullptr;
    switch (LetraPagina()) {
    case 'M':
        grid = dbgMatriz;
        break;
    case 'S':
        grid = dbgImpSobLuc;
        break;
    case 'N':
        grid = dbgInvest;
        break;
    case 'P':
        grid = dbgDeprec;
        break;
    default:
        break;
    }
    if (grid && cdsItensOrcamento.Active() && !cdsItensOrcamento.IsEmpty()) {
        std::string filial;
        if (GridText(grid, "CDFILIAL", true, filial) && !filial.empty()) {
            if (cdsItensOrcFatCons.Active())
                cdsItensOrcFatCons.Locate("CDFILIAL", {Variant(filial)}, kNoCase);
            if (cdsOrcamentoFilial.Active())
                cdsOrcamentoFilial.Locate("CDFILIAL", {Variant(filial)}, kNoCase);
        }
    }
    AllowChange = true;
}

void TfrmCalcOrcaOper::pgcOrcamentoChange(TObject* Sender) {
    const char letter = LetraPagina();
    m_letraPagina = letter;
    mnuEfetTodo->SetEnabled(letter == 'F');
    cdsItensOrcFatCons.AfterScroll = nullptr;
    Finally reattach([this] { cdsItensOrcFatCons.AfterScroll = m_itensOrcFatConsAfterScroll; });
    cdsItensOrcFatCons.SetFiltered(false);
    if (letter == 'F' || letter == 'C') {
        if (!cdsItensOrcFatCons.IsEmpty() || cdsItensOrcFatCons.Active()) {
            cdsItensOrcFatCons.SetFilter(letter == 'F' ? "[IDTIPOORCAOP] = 'F'"
                                                       : "[IDTIPOORCAOP] = 'C'");
            cdsItensOrcFatCons.SetFiltered(true);
            TDBGrid* grid = letter == 'F' ? dbgItOrcFatur : dbgItConsumo;
            grid->SetEnabled(true);
            grid->SetFocus();
            cdsItensOrcFatCons.Locate("CDFILIAL", {Variant(stFiliSelec)}, kNoCase);
        }
        dbnPadrao->SetDataSource(&dtsPadrao);
        dbtCodigo->SetDataSource(&dtsPadrao);
        dbtNome->SetDataSource(&dtsPadrao);
    } else if (letter == 'T') {
        if (cdsTxAdm.Active()) cdsTxAdm.Locate("CDFILIAL", {Variant(stFiliSelec)}, kNoCase);
    } else {
        // The mode is read before the view changes: a failed answer leaves the page as it was.
        if (letter == 'E' && !cdsItensOrcamento.IsEmpty()) LeModoEntradas();
        cdsItensOrcamento.AfterScroll = nullptr;
        cdsItensOrcamento.SetFiltered(false);
        cdsItensOrcamento.AfterScroll = m_itensOrcamentoAfterScroll;
        if (!cdsItensOrcamento.IsEmpty()) {
            if (letter == 'E') {
                TColumn& first = *dbgEntradas->Column(0);
                if (cdsTpDespLanEnt.FieldByName("IDORCDESPENTROP").AsString() == "O") {
                    first.SetFieldName("NMTIPOOPER");
                    first.SetTitleCaption("Tipo de Operação");
                } else {
                    first.SetFieldName("NMDESPPREV");
                    first.SetTitleCaption("Tipo de Despesa");
                }
            }
            cdsItensOrcamento.SetIndexFieldNames(IndicePagina(letter));
            cdsItensOrcamento.SetFilter(
                FiltroPagina(letter, cdsOrcamentoFilial.FieldByName("CDFILIAL").AsString()));
            GradeItensPagina()->SetFocus();
            cdsItensOrcamento.SetFiltered(true);
            dbnPadrao->SetDataSource(&dtsItensOrcamento);
            dbtCodigo->SetDataSource(&dtsItensOrcamento);
            dbtNome->SetDataSource(&dtsItensOrcamento);
            if (cdsItensOrcFatCons.Active())
                cdsItensOrcFatCons.Locate("CDFILIAL", {Variant(stFiliSelec)}, kNoCase);
            if (cdsOrcamentoFilial.Active())
                cdsOrcamentoFilial.Locate("CDFILIAL", {Variant(stFiliSelec)}, kNoCase);
        }
    }
    if (cdsOrcamentoFilial.Active() && !cdsOrcamentoFilial.IsEmpty() && cdsItensOrcamento.Active())
        ResumoPagina(letter);
    // The page's buttons once its rows are in place; an empty page offers none of them.
    BotoesPorPagina(true);
    AjustaBotoesCalculo();
    HabilitaEfetivar();
    HabilitaAlterar();
}

void TfrmCalcOrcaOper::LeModoEntradas() {
    try {
        const Variant data =
            CheckResultServ(netCalcOrcaOper.AppServer("TpDespLanEnt", {}), true, 0);
        if (data.type() == VarType::Packet) cdsTpDespLanEnt.SetData(data.packet());
    } catch (const EAbort&) {
        // Shown already; the page goes on in the mode it had.
    }
}

void TfrmCalcOrcaOper::ResumoPagina(char letter) {
    boCheck = true;
    boLoop = true;
    cdsOrcamentoFilial.DisableControls();
    cdsItensOrcamento.DisableControls();
    // Moving through the rows here is bookkeeping: no handler reacts to the positions.
    const TClientDataSet::Event scroll = cdsOrcamentoFilial.AfterScroll;
    cdsOrcamentoFilial.AfterScroll = nullptr;
    HandlerGuard itemsScroll(cdsItensOrcamento.AfterScroll);
    const bool filtered = cdsItensOrcamento.Filtered();
    cdsItensOrcamento.SetFiltered(false);
    Finally restore([this, scroll, filtered] {
        cdsItensOrcamento.SetFiltered(filtered);
        cdsOrcamentoFilial.AfterScroll = scroll;
        boCheck = false;
        boLoop = false;
        cdsOrcamentoFilial.EnableControls();
        cdsItensOrcamento.EnableControls();
    });
    // The items of the page's type give each branch its most advanced state: large budgets
    // have thousands of branches and hundreds of thousands of items, and a search per branch
    // and state, or a walk over every item, was most of a page change. The type alone is asked
    // for: the items are found by it without being read, and the pages look them up by it too.
    std::unordered_map<std::string, char> estados;
    if (cdsItensOrcamento.Active()) {
        const std::vector<Variant> itens = cdsItensOrcamento.RowsWhere(
            "IDTIPOORCAOP = '" + std::string(1, letter) + "'", "IDITEMORCAMENTO;CDFILIAL");
        for (std::size_t i = 0; i + 1 < itens.size(); i += 2) {
            const Variant& item = itens[i];
            if (item.type() != VarType::Text || item.textView().size() != 1) continue;
            const char estado = item.textView()[0];
            if (estado != 'E' && estado != 'A') continue;
            const Variant& filial = itens[i + 1];
            char& resumo = estados[filial.isNull() ? std::string() : filial.toText()];
            if (estado == 'E' || resumo != 'E') resumo = estado;
        }
    }
    // The fields by name once, not once per branch.
    TField& filial = cdsOrcamentoFilial.FieldByName("CDFILIAL");
    TField& resumo = cdsOrcamentoFilial.FieldByName("IDITEMORCAMENTO");
    for (cdsOrcamentoFilial.First(); !cdsOrcamentoFilial.Eof(); cdsOrcamentoFilial.Next()) {
        const auto achado = estados.find(filial.AsString());
        const std::string summary(1, achado == estados.end() ? 'P' : achado->second);
        cdsOrcamentoFilial.Edit();
        resumo.SetAsString(summary);
        cdsOrcamentoFilial.Post();
    }
    for (TClientDataSet* cds : {&cdsItensOrcFatCons, &cdsOrcamentoFilial, &cdsTxAdm})
        if (cds->Active()) cds->Locate("CDFILIAL", {Variant(stFiliSelec)}, kNoCase);
}
