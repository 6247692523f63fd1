// Loading of the result simulation: the datasets copied from the main screen, the branch and
// period choice of the header, and the line values read from the server.
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "services/data/NumberFormat.h"
#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/net/Arg.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"
#include "services/ui/TBtnPesquisa.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TMaskEdit.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TPanel.h"
#include "services/ui/TSpinEdit.h"
#include "services/ui/TfrmPesquisaLista.h"
#include "simulation/Cli_fyn10300.h"

#include <cassert>

namespace {

TfrmCalcOrcaOper& principal() {
    assert(frmCalcOrcaOper && "the result simulation works on the main screen's budget");
    return *frmCalcOrcaOper;
}

// Where the main screen's page keeps its branch rows and their check marks.
struct Preselecao {
    TClientDataSet* dados;
    const char* marca; // null: the page has no check column
};

Preselecao preselecaoDaPagina(TfrmCalcOrcaOper& m) {
    const TTabSheet* page = m.pgcOrcamento->ActivePage();
    if (page == m.tshFaturBruto) return {&m.cdsItensOrcFatCons, "IDCHECKF"};
    if (page == m.tshConsumo) return {&m.cdsItensOrcFatCons, "IDCHECKC"};
    if (page == m.tshMaoObra) return {&m.cdsOrcamentoFilial, "IDCHECKO"};
    if (page == m.tshTxAdm) return {&m.cdsTxAdm, "IDCHECK"};
    if (page == m.tshDiversas) return {&m.cdsOrcamentoFilial, "IDCHECKD"};
    if (page == m.tshEntradas) return {&m.cdsOrcamentoFilial, "IDCHECKE"};
    if (page == m.tshImposto) return {&m.cdsOrcamentoFilial, "IDCHECKI"};
    if (page == m.tshImpRecup) return {&m.cdsOrcamentoFilial, "IDCHECKR"};
    if (page == m.tshDeprec) return {&m.cdsItensOrcamento, "IDCHECK"};
    return {&m.cdsItensOrcamento, nullptr};
}

std::string texto(const Variant& v) {
    return v.isNull() ? std::string() : v.toText();
}

// The name of a branch in the rows of a dataset, or "".
std::string nomeDaFilial(const TClientDataSet& ds, const std::string& codigo) {
    const TField* code = ds.FindField("CDFILIAL");
    const TField* name = ds.FindField("NMFILIAL");
    if (!ds.Active() || !code || !name) return {};
    for (int r = 0; r < ds.RecordCount(); ++r)
        if (texto(ds.RowValue(r, code->Index())) == codigo)
            return texto(ds.RowValue(r, name->Index()));
    return {};
}

void copia(TClientDataSet& destino, const TClientDataSet& origem) {
    destino.SetFiltered(false);
    destino.SetFilter("");
    if (origem.Active())
        destino.SetData(origem.Data());
    else if (destino.Active())
        destino.EmptyDataSet();
}

} // namespace

int TfrmSimulaResult::MesInicialVersao() const {
    const TClientDataSet& versao = principal().cdsVersaoOrca;
    if (!versao.Active() || versao.IsEmpty()) return 1;
    const int mes = versao.FieldByName("NRMESINIVERORC").AsInteger();
    return mes >= 1 && mes <= 12 ? mes : 1;
}

std::string TfrmSimulaResult::FilialDaSelecao() const {
    std::string codes = Replace(stCdFilial, "_", "");
    return codes.substr(0, 4);
}

bool TfrmSimulaResult::Pertence(const std::string& codigo) const {
    if (codigo.empty()) return false;
    if (stCdFilial.find('_') == std::string::npos) return stCdFilial == codigo;
    // A list of a thousand branches is asked about for every row: split it once.
    if (m_selecaoLida != stCdFilial) {
        m_selecao.clear();
        std::size_t inicio = 0;
        while (inicio < stCdFilial.size()) {
            std::size_t fim = stCdFilial.find('_', inicio);
            if (fim == std::string::npos) fim = stCdFilial.size();
            if (fim > inicio) m_selecao.insert(stCdFilial.substr(inicio, fim - inicio));
            inicio = fim + 1;
        }
        m_selecaoLida = stCdFilial;
    }
    return m_selecao.count(codigo) != 0;
}

std::string TfrmSimulaResult::filtroFil(const std::string& lista) {
    nbeOrcL->SetNumber(nbeOrcF->GetNumber() - nbeOrcImp->GetNumber());
    const std::string codigos = Replace(lista, "_", "");
    std::string filtro = "CDFILIAL IN (";
    for (std::size_t i = 0; i < codigos.size(); i += 4)
        filtro += (i == 0 ? "'" : ",'") + codigos.substr(i, 4) + "'";
    return filtro + ")";
}

void TfrmSimulaResult::AplicaFiltro(TClientDataSet& ds) {
    if (!ds.Active()) return;
    if (Replace(stCdFilial, "_", "").empty()) {
        ds.SetFiltered(false);
        return;
    }
    ds.SetFilter(filtroFil(stCdFilial));
    ds.SetFiltered(true);
}

double TfrmSimulaResult::valorPeriodo(const TClientDataSet& ds, const std::string& prefixo) const {
    static const char* const kMes[12] = {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN",
                                         "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"};
    if (stMes == "T") {
        double soma = 0;
        for (const char* mes : kMes) {
            const TField& f = ds.FieldByName(prefixo + mes);
            if (!f.IsNull()) soma += f.AsFloat();
        }
        return soma;
    }
    const TField& f = ds.FieldByName(prefixo + msgPadrao.Msg(stMes));
    return f.IsNull() ? 0 : f.AsFloat();
}

void TfrmSimulaResult::DecodificaMes() {
    int mes = 0, ano = 0;
    if (!LeMes(speAno1->Text(), mes, ano)) {
        mes = MesInicialVersao();
        ano = principal().speAno->Value();
    }
    wDia = 1;
    wMes = mes;
    wAno = ano;
}

void TfrmSimulaResult::MostraMes(int mes, int ano) {
    const std::string ano4 = std::to_string(ano);
    speAno1->SetText((mes < 10 ? "0" : "") + std::to_string(mes) + "/" +
                     std::string(ano4.size() < 4 ? 4 - ano4.size() : 0, '0') + ano4);
}

void TfrmSimulaResult::organizaItensSimul() {
    TfrmCalcOrcaOper& m = principal();
    cdsParamorcaoperac.SetData(
        CheckResultServ(m.netCalcOrcaOper.AppServer("GetParametro", {}), true, 0).packet());
    stMes = "T";
    boSimulou = boSimulaFat = boSimulaMo = boSimulaDd = boSimulaDe = boSimulaTxAdm = false;

    if (!speAno) {
        speAno = Add<TSpinEdit>("speAno", panCabecalho);
        speAno->SetRange(1900, 9999);
        speAno->SetVisible(false);
    }
    // The month box starts on the version's first month, inside the version, and keeps the
    // operator's month on later loadings.
    if (boCreate || speAno1->Text().find(' ') != std::string::npos) {
        const int inicial = MesInicialVersao();
        MostraMes(inicial, m.speAno->Value());
    }
    DecodificaMes();
    speAno->SetValue(m.speAno->Value());

    copia(cdsItensFatCons, m.cdsItensOrcFatCons);
    copia(cdsItensGeral, m.cdsItensOrcamento);
    copia(cdsOrcFilial, m.cdsOrcamentoFilial);
    for (TNumberEdit* e :
         {nbeOrcF, nbeOrcImp, nbeOrcL, nbeOrcC, nbeOrcO, nbeOrcT, nbeOrcD, nbeOrcE, nbeResult})
        e->SetNumber(0);

    // The branches come from the main screen when the screen opens; later loadings keep the
    // operator's choice in the header.
    if (boCreate) PreselecionaFiliais();
    boTestaCreate = true;

    if (cdsItensFatCons.Active()) {
        AplicaFiltro(cdsItensFatCons);
        double fat = 0, cons = 0;
        for (cdsItensFatCons.First(); !cdsItensFatCons.Eof(); cdsItensFatCons.Next()) {
            if (!Pertence(cdsItensFatCons.FieldByName("CDFILIAL").AsString())) continue;
            const std::string tipo = cdsItensFatCons.FieldByName("IDTIPOORCAOP").AsString();
            if (tipo == "F") fat += valorPeriodo(cdsItensFatCons);
            if (tipo == "C") cons += valorPeriodo(cdsItensFatCons);
        }
        nbeOrcF->SetNumber(fat);
        nbeOrcC->SetNumber(cons);
    }
    AjustaControlesFilial();

    std::string ano = AnoTexto();
    cdsTotalImpFat.SetData(
        CheckResultServ(
            m.netCalcOrcaOper.AppServer("RetornaTotImp", {Arg::ref(stCdFilial), ano, Versao()}),
            true, 0)
            .packet());
    if (!cdsTotalImpFat.IsEmpty()) {
        cdsTotalImpFat.First();
        nbeOrcImp->SetNumber(valorPeriodo(cdsTotalImpFat, "VRRELITORCOP"));
    }

    getSimulGeral();
    preencheValoresF();
    calculaResultado();
    AjustaEdicao();
    VALORTOTAL();
    controlaBotoes();
    validaBotoes();
}

void TfrmSimulaResult::PreselecionaFiliais() {
    TfrmCalcOrcaOper& m = principal();
    const Preselecao p = preselecaoDaPagina(m);
    TClientDataSet& ds = *p.dados;
    std::string codigo, nome;
    if (ds.Active() && !ds.IsEmpty()) {
        codigo = ds.FieldByName("CDFILIAL").AsString();
        nome = p.marca && ds.FindField("NMFILIAL") ? ds.FieldByName("NMFILIAL").AsString()
                                                   : nomeDaFilial(cdsItensFatCons, codigo);
    }
    edtCdFilial->SetText(codigo);
    edtNmFilial->SetText(nome);
    stFilialCheck = codigo;
    stCdFilial = codigo;
    // Read the marks without moving the main screen's cursor: its scroll handlers must not run.
    const TField* marca = p.marca ? ds.FindField(p.marca) : nullptr;
    std::string primeiroMarcado, nomeMarcado;
    int marcados = 0;
    if (marca && ds.Active()) {
        const int code = ds.FieldByName("CDFILIAL").Index();
        const TField* name = ds.FindField("NMFILIAL");
        bool primeiro = true;
        for (int r = 0; r < ds.RecordCount(); ++r) {
            if (texto(ds.RowValue(r, marca->Index())) != "S") continue;
            const std::string c = texto(ds.RowValue(r, code));
            if (primeiro) stCdFilial.clear();
            primeiro = false;
            if (Pertence(c) && !stCdFilial.empty()) continue;
            stCdFilial += "_" + c;
            if (++marcados == 1) {
                primeiroMarcado = c;
                nomeMarcado = name ? texto(ds.RowValue(r, name->Index())) : std::string();
            }
        }
    }
    // One checked branch: the header names the branch whose figures are shown.
    if (marcados == 1) {
        edtCdFilial->SetText(primeiroMarcado);
        edtNmFilial->SetText(nomeMarcado.empty() ? nomeDaFilial(cdsItensFatCons, primeiroMarcado)
                                                 : nomeMarcado);
    }
    boTestaCreate = false;
    if (stCdFilial.size() >= 8) {
        edtCdFilial->SetText("");
        edtNmFilial->SetText("");
        edtCdFilial->SetEnabled(false);
        stCdFilial += "_";
        stCdFilial2 = stCdFilial;
        chkFilialLista->SetChecked(true);
        btnFilialLista->SetEnabled(true);
    } else {
        edtCdFilial->SetEnabled(true);
        chkFilialLista->SetChecked(false);
        btnFilialLista->SetEnabled(false);
    }
}

void TfrmSimulaResult::AjustaControlesFilial() {
    const bool lista = chkFilialLista->Checked();
    btnFilialLista->SetEnabled(lista);
    btnFilial->SetEnabled(!lista);
    edtCdFilial->SetEnabled(!lista);
    edtNmFilial->SetEnabled(false);
    chkFilialLista->SetEnabled(true);
    // A host bound to one branch never changes it here.
    if (ModuFili()) {
        edtCdFilial->SetEnabled(false);
        btnFilial->SetEnabled(false);
        chkFilialLista->SetEnabled(false);
        btnFilialLista->SetEnabled(false);
    }
}

void TfrmSimulaResult::AjustaEdicao() {
    // Decided over every listed branch: a line is typed only when none of its rows is effected.
    bool fatAberto = false, consAberto = false, achouFat = false, achouCons = false;
    if (cdsItensFatCons.Active()) {
        const int code = cdsItensFatCons.FieldByName("CDFILIAL").Index();
        const int tipo = cdsItensFatCons.FieldByName("IDTIPOORCAOP").Index();
        const int item = cdsItensFatCons.FieldByName("IDITEMORCAMENTO").Index();
        fatAberto = consAberto = true;
        for (int r = 0; r < cdsItensFatCons.RecordCount(); ++r) {
            if (!Pertence(texto(cdsItensFatCons.RowValue(r, code)))) continue;
            const bool efetivado = texto(cdsItensFatCons.RowValue(r, item)) == "E";
            const std::string t = texto(cdsItensFatCons.RowValue(r, tipo));
            if (t == "F") {
                achouFat = true;
                fatAberto = fatAberto && !efetivado;
            } else if (t == "C") {
                achouCons = true;
                consAberto = consAberto && !efetivado;
            }
        }
    }
    fatAberto = fatAberto && achouFat;
    consAberto = consAberto && achouCons;
    nbeOrcF->SetEnabled(fatAberto);
    nbeOrcImp->SetEnabled(fatAberto && !btnFatBrut->Enabled());
    nbeOrcC->SetEnabled(consAberto);
    m_reducaoAberta = fatAberto;
}

void TfrmSimulaResult::getSimulGeral() {
    TfrmCalcOrcaOper& m = principal();
    DecodificaMes();
    speAno->SetValue(m.speAno->Value());
    stMes = chkPeriodo->Checked() ? "T" : std::to_string(wMes);
    std::string vazio;
    const Variant pacotes = CheckResultServ(
        m.netCalcOrcaOper.AppServer("getSimulGeral", {speAno->Value(), Arg::ref(stCdFilial), vazio,
                                                      Versao(), Arg::ref(stMes)}),
        true, 2);
    cdsImpRecu.SetFiltered(false);
    cdsImpRecu.SetData(pacotes.array().at(1).packet());
    cdsMesesRecu.SetData(pacotes.array().at(0).packet());
}

bool TfrmSimulaResult::EntradasPorOperacao() {
    const TClientDataSet& doOrcamento = principal().cdsTpDespLanEnt;
    if (doOrcamento.Active() && !doOrcamento.IsEmpty())
        return doOrcamento.FieldByName("IDORCDESPENTROP").AsString() == "O";
    if (!cdsTpDespLanEnt.Active() || cdsTpDespLanEnt.IsEmpty())
        cdsTpDespLanEnt.SetData(
            CheckResultServ(principal().netCalcOrcaOper.AppServer("TpDespLanEnt", {}), true, 0)
                .packet());
    return !cdsTpDespLanEnt.IsEmpty() &&
           cdsTpDespLanEnt.FieldByName("IDORCDESPENTROP").AsString() == "O";
}

void TfrmSimulaResult::preencheValoresF() {
    double fatB = 0, imp = 0, cons = 0, mo = 0, tx = 0, dd = 0, de = 0, impR = 0, impL = 0, inv = 0,
           depr = 0;
    for (TNumberEdit* e : {nbeOrcF, nbeOrcImp, nbeOrcC, nbeOrcO, nbeOrcT, nbeOrcD, nbeOrcE, nbeOrcR,
                           nbeOrcLu, nbeOrcN, nbeOrcP})
        e->SetNumber(0);
    // Entry items count as the entry dialog and the recomputation count them: only those of
    // the way entries are budgeted, so that opening the dialog never moves the line.
    const bool entradaPorOperacao = EntradasPorOperacao();
    // Adds the period value of the current row to the accumulator of its type letter.
    const auto soma = [&](TClientDataSet& ds, const std::string& letras) {
        if (!ds.Active()) return;
        const TField* operacao = ds.FindField("CDTIPOOPER");
        for (ds.First(); !ds.Eof(); ds.Next()) {
            if (!Pertence(ds.FieldByName("CDFILIAL").AsString())) continue;
            const std::string tipo = ds.FieldByName("IDTIPOORCAOP").AsString();
            if (tipo.size() != 1 || letras.find(tipo[0]) == std::string::npos) continue;
            if (tipo == "E" && operacao && (operacao->AsString() == "V") == entradaPorOperacao)
                continue;
            const double v = valorPeriodo(ds);
            switch (tipo[0]) {
            case 'F':
                fatB += v;
                break;
            case 'I':
                imp += v;
                break;
            case 'C':
                cons += v;
                break;
            case 'O':
                mo += v;
                break;
            case 'T':
                tx += v;
                break;
            case 'D':
                dd += v;
                break;
            case 'E':
                de += v;
                break;
            case 'R':
                impR += v;
                break;
            case 'S':
                impL += v;
                break;
            case 'N':
                inv += v;
                break;
            case 'P':
                depr += v;
                break;
            default:
                break;
            }
        }
    };
    if (!boConfirmaSimul) {
        AplicaFiltro(cdsImpRecu);
        AplicaFiltro(cdsItensGeral);
        AplicaFiltro(cdsItensFatCons);
        soma(cdsItensFatCons, "FC");
        soma(cdsItensGeral, "ODE");
        nbeOrcO->SetNumber(mo);
        nbeOrcD->SetNumber(dd);
        nbeOrcE->SetNumber(de);
        soma(cdsImpRecu, "SRPINT");
    } else {
        TfrmCalcOrcaOper& m = principal();
        DecodificaMes();
        stMes = chkPeriodo->Checked() ? "T" : std::to_string(wMes);
        std::string vazio;
        const Variant pacotes = CheckResultServ(
            m.netCalcOrcaOper.AppServer("getSimulGeral", {speAno->Value(), Arg::ref(stCdFilial),
                                                          vazio, Versao(), Arg::ref(stMes)}),
            true, 2);
        cdsAtualizaSimulacao.SetFiltered(false);
        cdsAtualizaSimulacao.SetData(pacotes.array().at(1).packet());
        AplicaFiltro(cdsAtualizaSimulacao);
        soma(cdsAtualizaSimulacao, "FICOTDERSNP");
    }
    nbeOrcF->SetNumber(fatB);
    nbeOrcImp->SetNumber(imp);
    nbeOrcC->SetNumber(cons);
    nbeOrcO->SetNumber(mo);
    nbeOrcT->SetNumber(tx);
    nbeOrcD->SetNumber(dd);
    nbeOrcE->SetNumber(de);
    nbeOrcR->SetNumber(impR);
    nbeOrcLu->SetNumber(impL);
    nbeOrcN->SetNumber(inv);
    nbeOrcP->SetNumber(depr);
    calculaResultado();
}

void TfrmSimulaResult::validaFilial(bool boTestaVazio) {
    if (!boTestaVazio) return;
    if (EmptyString(edtCdFilial->Text()) && !chkFilialLista->Checked()) {
        edtCdFilial->SetFocus();
        MensErro(msgPadrao.Msg("FILIAL_N_INF"));
    }
    if (chkFilialLista->Checked() && stCdFilial.empty()) {
        btnFilialLista->SetFocus();
        MensErro(msgPadrao.Msg("Fili_inf"));
    }
    TfrmCalcOrcaOper& m = principal();
    const std::string versao = std::to_string(Versao());
    if (!chkFilialLista->Checked()) {
        edtCdFilial->SetText(Ajusta(edtCdFilial->Text(), 4));
        cdsFilial.SetData(
            CheckResultServ(m.netCalcOrcaOper.AppServer(
                                "getFilial", {Operador(), edtCdFilial->Text(), AnoTexto(), versao}),
                            true, 0)
                .packet());
        if (cdsFilial.IsEmpty()) {
            edtCdFilial->SetFocus();
            MensErro(msgPadrao.Msg("FILIAL_INV"));
        }
        edtNmFilial->SetText(cdsFilial.FieldByName("NMFILIAL").AsString());
    } else {
        cdsFilial.SetData(
            CheckResultServ(m.netCalcOrcaOper.AppServer(
                                "getFilial", {Operador(), std::string("T"), AnoTexto(), versao}),
                            true, 0)
                .packet());
        if (cdsFilial.IsEmpty()) {
            chkFilialLista->SetFocus();
            MensErro(msgPadrao.Msg("FILIAL_INV"));
        }
    }
}

void TfrmSimulaResult::CarregaFiliais() {
    TfrmCalcOrcaOper& m = principal();
    cdsFilial.SetData(CheckResultServ(m.netCalcOrcaOper.AppServer(
                                          "getFilial", {Operador(), std::string("T"), AnoTexto(),
                                                        std::to_string(Versao())}),
                                      true, 0)
                          .packet());
}

void TfrmSimulaResult::btnFilialBeforePesq(TObject*) {
    CarregaFiliais();
    cdsFilial.FieldByName("IDMARCADO").SetVisible(false);
}

void TfrmSimulaResult::btnFilialAfterPesq(TObject*) {
    edtCdFilial->SetText(cdsFilial.FieldByName("CDFILIAL").AsString());
    edtNmFilial->SetText(cdsFilial.FieldByName("NMFILIAL").AsString());
    stCdFilial = edtCdFilial->Text();
}

void TfrmSimulaResult::btnFilialListaClick(TObject*) {
    CarregaFiliais();
    cdsFilial.FieldByName("IDMARCADO").SetVisible(true);
    if (!PesquisaLista(&dtsFilial, "CDFILIAL",
                       msgPadrao.Msg("FILIAL") + "|" + msgPadrao.Msg("FILIAL_N_CAD"), true,
                       stCdFilial2))
        return;
    stCdFilial = stCdFilial2;
    getSimulGeral();
    preencheValoresF();
    calculaResultado();
}

void TfrmSimulaResult::chkFilialListaClick(TObject*) {
    if (chkFilialLista->Checked()) {
        if (boTestaCreate) stCdFilial = stCdFilial2;
    } else {
        stCdFilial = edtCdFilial->Text();
    }
    btnFilialLista->SetEnabled(chkFilialLista->Checked());
    btnFilial->SetEnabled(!chkFilialLista->Checked());
    edtCdFilial->SetEnabled(!chkFilialLista->Checked());
}

void TfrmSimulaResult::chkPeriodoClick(TObject*) {
    if (boCreate || !speAno) return;
    getSimulGeral();
}

void TfrmSimulaResult::edtCdFilialExit(TObject*) {
    edtCdFilial->SetText(Ajusta(edtCdFilial->Text(), 4));
}

void TfrmSimulaResult::LimpaSimulacao(TClientDataSet& ds,
                                      std::initializer_list<TNumberEdit*> linhas) {
    if (!ds.Active()) {
        ds.CreateDataSet();
        return;
    }
    // Only a line a dialog actually fed loses its figures; the loaded ones stay until the
    // header is left and the screen reloads.
    if (ds.IsEmpty()) return;
    ds.EmptyDataSet();
    for (TNumberEdit* e : linhas)
        e->SetNumber(0);
}

void TfrmSimulaResult::panCabecalhoEnter(TObject*) {
    LimpaSimulacao(cdsItensFat, {nbeOrcF, nbeOrcL, nbePrcL, nbeResult, nbePrcResult});
    LimpaSimulacao(cdsSimulaCons, {nbeOrcC, nbePrcC});
    LimpaSimulacao(cdsItensMo, {nbeOrcO, nbePrcO});
    LimpaSimulacao(cdsItensDiversas, {nbeOrcD, nbePrcD});
    LimpaSimulacao(cdsentrada, {nbeOrcE, nbePrcE, nbeOrcImp, nbePrcImp, nbeOrcR, nbePrcR, nbeOrcLu,
                                nbePrcS, nbeOrcP, nbePrcP, nbeOrcN, nbePrcN, nbeOrcT, nbePrct});
    AjustaControlesFilial();
}

void TfrmSimulaResult::panCabecalhoExit(TObject*) {
    if (chkFilialLista->Checked()) {
        if (stCdFilial.empty()) {
            chkFilialLista->SetFocus();
            MensErro(msgPadrao.Msg("Fili_inf"));
        }
        stCdFilial = stCdFilial2;
    } else {
        validaFilial(true);
        // The typed branch is the one to load.
        stCdFilial = edtCdFilial->Text();
    }
    principal().sbtVerificarClick(this);
    organizaItensSimul();
    if (vrFat + vrImp + vrCons != 0 && boSimulou &&
        (nbeOrcF->GetNumber() != vrFat || nbeOrcImp->GetNumber() != vrImp ||
         nbeOrcC->GetNumber() != vrCons))
        calculaResultado();
    AjustaControlesFilial();
    controlaBotoes();
    validaBotoes();
}

void TfrmSimulaResult::speAno1Exit(TObject*) {
    const TClientDataSet& versao = principal().cdsVersaoOrca;
    int mes = 0, ano = 0;
    double dia = 0;
    const bool data = LeMes(speAno1->Text(), mes, ano) && TryEncodeDate(ano, mes, 1, dia);
    if (versao.Active() && !versao.IsEmpty()) {
        const double inicio = versao.FieldByName("DATAINI").AsFloat();
        const double fim = versao.FieldByName("DATAFIN").AsFloat();
        if (!data || dia < inicio || dia >= fim) {
            speAno1->SetFocus();
            MensErro(msgPadrao.Msg("Date_NPer"));
        }
    } else if (!data) {
        speAno1->SetFocus();
        MensErro(msgPadrao.Msg("Date_NPer"));
    }
}

void TfrmSimulaResult::panCorpoEnter(TObject*) {
    // Only a focus that lands on the body itself is placed: a line or button the operator
    // clicked keeps it.
    if (ActiveControl()) return;
    if (btnFatBrut->Enabled())
        btnFatBrut->SetFocus();
    else if (nbeOrcF->Enabled())
        nbeOrcF->SetFocus();
}
