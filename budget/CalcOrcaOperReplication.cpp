// Value replication: one value set, added, subtracted or applied as a percentage to many
// monthly values of the active page at once. Nothing is sent: the rows stay pending until saved.
#include "budget/CalcOrcaOperEntryRules.h"
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "budget/dialogs/Cli_fyn10200.h"
#include "services/lib/Consiste.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TTabSheet.h"

using namespace EntryRules;

const std::array<bool TfrmCalcOrcaOper::*, 12> TfrmCalcOrcaOper::kBoMeses = {
    &TfrmCalcOrcaOper::boJan, &TfrmCalcOrcaOper::boFev, &TfrmCalcOrcaOper::boMar,
    &TfrmCalcOrcaOper::boAbr, &TfrmCalcOrcaOper::boMai, &TfrmCalcOrcaOper::boJun,
    &TfrmCalcOrcaOper::boJul, &TfrmCalcOrcaOper::boAgo, &TfrmCalcOrcaOper::boSet,
    &TfrmCalcOrcaOper::boOut, &TfrmCalcOrcaOper::boNov, &TfrmCalcOrcaOper::boDez};

bool TfrmCalcOrcaOper::MesFechado(int month) const {
    if (!cdsVerifFaseOper.Active() || cdsVerifFaseOper.IsEmpty()) return false;
    return cdsVerifFaseOper.FieldByName(std::string("IDPERMCALC") + kMeses[month - 1]).AsString() ==
           "N";
}

std::string TfrmCalcOrcaOper::FiliaisMarcadas() const {
    const TClientDataSet* ds = nullptr;
    std::string check;
    switch (LetraPagina()) {
    case 'F':
    case 'C':
        ds = &cdsItensOrcFatCons;
        check = NomeCampoCheck(LetraPagina());
        break;
    case 'I':
    case 'O':
    case 'D':
    case 'E':
    case 'R':
        ds = &cdsOrcamentoFilial;
        check = NomeCampoCheck(LetraPagina());
        break;
    case 'T':
        ds = &cdsTxAdm;
        check = "IDCHECK";
        break;
    default:
        break;
    }
    std::string lista = "_";
    if (ds && ds->Active()) {
        const int branch = ds->FieldByName("CDFILIAL").Index();
        const int mark = ds->FieldByName(check).Index();
        // Read without moving the cursor: the page's scroll handlers must not run.
        for (int row = 0; row < ds->RecordCount(); ++row)
            if (ds->RowValue(row, mark).toText() == "S")
                lista += ds->RowValue(row, branch).toText() + "_";
    }
    return lista == "_" ? "T" : lista;
}

void TfrmCalcOrcaOper::sbtRepliValClick(TObject*) {
    boReplicacao = false;
    // The check columns toggle on any key: the selection must not be left on them.
    Finally foraDoCheck([this] {
        TiraSelecaoDoCheck();
        if (pgcOrcamento->ActivePage() == tshTxAdm &&
            SameName(CampoSelecionado(dbgTxAdm), "IDCHECK"))
            dbgTxAdm->SetSelectedIndex(1);
    });
    criaReplicaVal(FiliaisMarcadas());
    if (boReplicacao) replicaValores(pgcOrcamento->ActivePage()->Name());
}

void TfrmCalcOrcaOper::replicaValores(const std::string& pagina) {
    char letra = 0;
    for (char l : std::string("FICOTMDERSNP"))
        if (PaginaDaLetra(l)->Name() == pagina) letra = l;
    if (!letra) return;
    TClientDataSet& ds = letra == 'F' || letra == 'C' ? cdsItensOrcFatCons
                         : letra == 'T'               ? cdsTxAdm
                                                      : cdsItensOrcamento;
    setValores(ds, letra);
    ds.Edit();
    if (&ds == &cdsTxAdm) dtsTxAdmStateChange(this);
    boReplicacao = true;
    boConfirmou = true;
}

bool TfrmCalcOrcaOper::LinhaReplicavel(const std::string& item, const std::string& status,
                                       const std::string& acesso) {
    // The server refuses effected, approved and no-access rows: one of them would sink the
    // whole save.
    return !IsEither(item, "E", "A") && !IsEither(status, "E", "A") && acesso == "S";
}

bool TfrmCalcOrcaOper::LinhaReplicavel(const TClientDataSet& row) {
    return LinhaReplicavel(FieldText(row, "IDITEMORCAMENTO"), FieldText(row, "IDSTATUSORCA"),
                           FieldText(row, "IDACESSOCALC"));
}

bool TfrmCalcOrcaOper::ItemReplicado(const TClientDataSet& row) const {
    if (stReplicItens == "T") return true;
    for (const char* field : {"CDDESPADMFAT", "CDDESPPREV", "CDTIPOOPER", "CDIMPOSTO"}) {
        const std::string code = FieldText(row, field);
        // Whole codes: "01" must not match inside "010".
        if (!code.empty() && stReplicItens.find("_" + code + "_") != std::string::npos) return true;
    }
    return false;
}

double TfrmCalcOrcaOper::ResultValue(bool todosMeses, bool esteMes, double antigo, double valor) {
    if (!todosMeses && !esteMes) return antigo;
    double novo = valor;
    if (stOperac == "SO")
        novo = antigo + valor;
    else if (stOperac == "SU")
        novo = antigo - valor;
    else if (stOperac == "AC")
        novo = antigo * valor / 100 + antigo;
    else if (stOperac == "DE")
        novo = antigo - antigo * valor / 100;
    // Typed values are kept to the cent; so are computed ones.
    return RoundDec(novo, 2);
}

void TfrmCalcOrcaOper::ReplicaLinha(TClientDataSet& dataSet) {
    dataSet.Edit();
    double total = 0;
    for (int m = 0; m < 12; ++m) {
        TField& field = dataSet.FieldByName(std::string("VRORCAMENTO") + kMeses[m]);
        const bool escolhido = boTdMes || this->*kBoMeses[static_cast<std::size_t>(m)];
        if (escolhido && !MesFechado(m + 1))
            field.SetAsFloat(ResultValue(boTdMes, this->*kBoMeses[static_cast<std::size_t>(m)],
                                         field.AsFloat(), v_vrItem));
        total += field.AsFloat();
    }
    dataSet.FieldByName(&dataSet == &cdsItensOrcFatCons ? "TOTAL" : "SOMAT")
        .SetAsFloat(RoundDec(total, 2));
    dataSet.Post();
}

void TfrmCalcOrcaOper::setValores(TClientDataSet& dataSet, char letra) {
    const std::string filtro = dataSet.Filter();
    const bool filtrado = dataSet.Filtered();
    const TBookmark onde = dataSet.GetBookmark();
    // The rows of the page's line; entry expenses only of the kind the page shows.
    std::string linha = "IDTIPOORCAOP = '" + std::string(1, letra) + "'";
    if (letra == 'E')
        linha += cdsTpDespLanEnt.FieldByName("IDORCDESPENTROP").AsString() == "O"
                     ? " AND CDTIPOOPER <> 'V'"
                     : " AND CDTIPOOPER = 'V'";

    // A bulk loop: no per-row reaction of the screen, whatever way it ends.
    boCheck = true;
    Finally clear([] { boCheck = false; });
    FreezeGuard freeze(dataSet);
    HandlerGuard beforeScroll(dataSet.BeforeScroll), afterScroll(dataSet.AfterScroll);
    HandlerGuard beforeEdit(dataSet.BeforeEdit), beforePost(dataSet.BeforePost),
        afterPost(dataSet.AfterPost);
    HandlerGuard padrao(dtsPadrao.OnStateChange), itens(dtsItensOrcamento.OnStateChange),
        taxa(dtsTxAdm.OnStateChange);
    Finally volta([&] {
        dataSet.SetFiltered(false);
        dataSet.SetFilter(filtro);
        dataSet.SetFiltered(filtrado);
        if (dataSet.BookmarkValid(onde)) dataSet.GotoBookmark(onde);
    });

    // A value the fields refuse stops the replication: no row keeps a part of it.
    const DataPacket antes = dataSet.Data();
    try {
        if (stFilial == "T") {
            // The datasets of a single line keep their own filter; the items take the line's.
            if (&dataSet == &cdsItensOrcamento) {
                dataSet.SetFiltered(false);
                dataSet.SetFilter(linha);
                dataSet.SetFiltered(true);
            }
            for (dataSet.First(); !dataSet.Eof(); dataSet.Next())
                if (LinhaReplicavel(dataSet) && (letra == 'T' || ItemReplicado(dataSet)))
                    ReplicaLinha(dataSet);
            return;
        }
        // The dialog's list stays whole for its next opening: walk a copy.
        std::string lista = stFilial;
        while (lista.size() > 1) {
            lista.erase(0, 1);
            const std::string filial = lista.substr(0, 4);
            lista.erase(0, filial.size());
            dataSet.SetFiltered(false);
            dataSet.SetFilter(linha + " AND CDFILIAL = '" + filial + "'");
            dataSet.SetFiltered(true);
            for (dataSet.First(); !dataSet.Eof(); dataSet.Next())
                if (LinhaReplicavel(dataSet) && ItemReplicado(dataSet)) ReplicaLinha(dataSet);
        }
    } catch (...) {
        if (dataSet.State() != dsBrowse) dataSet.Cancel();
        dataSet.SetData(antes);
        throw;
    }
}
