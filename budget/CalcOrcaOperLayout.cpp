// The screen's controls as designed: toolbar additions, menus, the filter panel, the twelve
// pages with their grids and columns, and the wiring of their events.
#include "budget/CalcOrcaOperCatalog.h"
#include "budget/Cli_fyn10000.h"
#include "services/ui/TBtnPesquisa.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TDBNavigator.h"
#include "services/ui/TDBText.h"
#include "services/ui/TEdit.h"
#include "services/ui/TGroupBox.h"
#include "services/ui/TImage.h"
#include "services/ui/TLabel.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TPanel.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"
#include "services/ui/TTabSheet.h"

namespace {

template <class T>
T* make(TComponent* owner, TWinControl* parent, const char* name, TAlign align = alNone,
        int left = 0, int top = 0, int width = 0, int height = 0) {
    auto* control = new T(owner);
    control->SetName(name);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    control->SetAlign(align);
    return control;
}

TMenuItem* menuItem(TComponent* owner, TMenuItem* parent, const char* name, const char* caption) {
    auto* item = new TMenuItem(owner);
    item->SetName(name);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

void checkColumn(TDBGrid* grid, const char* field) {
    TColumn& column = grid->AddColumn(field, "4", 22);
    column.SetTitleSymbolFont(true);
    column.SetReadOnly(true);
}

// Twelve month columns in calendar order; OrganizaCamposGrid puts them in the version's order.
void monthColumns(TDBGrid* grid, int width = 80) {
    for (const char* month : CalcOrcaOperData::kMeses)
        grid->AddColumn(std::string("VRORCAMENTO") + month, month, width);
}

} // namespace

void TfrmCalcOrcaOper::CriaComponentes() {
    SetName("frmCalcOrcaOper");
    SetCaption("Cálculo Orçamento Operacional");
    SetBounds(0, 0, 1280, 760);
    lblCodTela = make<TLabel>(this, panMenu, "lblCodTela", alRight, 1180, 8, 90, 16);
    lblCodTela->SetCaption("FYN10000");
    msgPadrao.Add(kCalcOrcaOperMessages);
    CriaBarraFerramentas();
    CriaPainelFiltro();
    CriaPaginas();
    dtsPadrao.SetDataSet(&cdsItensOrcFatCons);
    RegisterDataSet("cdsItensOrcFatCons", &cdsItensOrcFatCons);
    for (TClientDataSet* cds :
         {&cdsItensOrcamento, &cdsOrcamentoFilial, &cdsTxAdm, &cdsFeriadoFil, &cdsParDROFilial,
          &cdsVerifFaseOper, &cdsVersaoOrca, &cdsMaiorVersao, &cdsMesIni, &cdsRetorno,
          &cdsTpDespLanEnt, &cdsParametros})
        RegisterDataSet(cds->Name(), cds);
    LigaEventos();
}

void TfrmCalcOrcaOper::CriaBarraFerramentas() {
    int left = sbtFechar->Left() + sbtFechar->Width() + 8;
    auto button = [&](const char* name, const char* caption, const char* hint, bool enabled) {
        // A captioned button is as wide as its caption at the toolbar's font (~7 px a letter).
        const int width = caption ? 16 + 7 * static_cast<int>(Utf8Length(caption)) : 32;
        auto* b = make<TSpeedButton>(this, panMenu, name, alNone, left, 2, width, 32);
        if (caption) b->SetCaption(caption);
        b->SetHint(hint ? hint : caption);
        b->SetEnabled(enabled);
        left += b->Width() + 2;
        return b;
    };
    sbtEfetivar = button("sbtEfetivar", "Efetivar", nullptr, false);
    sbtRepliVal = button("sbtRepliVal", "Replica Valores", nullptr, true);
    sbtSimulaRes = button("sbtSimulaRes", "Simulação de Resultado", nullptr, true);
    sbtOrcMaoObra = button("sbtOrcMaoObra", nullptr, "Cálculo de Mão de Obra", false);
    sbtTxAdm = button("sbtTxAdm", nullptr, "Calculo da Taxa Administrativa", false);
    sbtProdDesp =
        button("sbtProdDesp", nullptr, "Produtos por Tipo de Despesa (Informativo)", false);
    sbtFiltro = button("sbtFiltro", nullptr, "Filtro de Orçamento", true);
    sbtOrcMaoObra->SetGlyph("labour");
    sbtTxAdm->SetGlyph("fee");
    sbtProdDesp->SetGlyph("products");
    sbtFiltro->SetGlyph("filter");

    mnuRepliVal = menuItem(this, mnuManutencao, "mnuRepliVal", "&Replica Valores");
    mnuSimulaRes = menuItem(this, mnuManutencao, "mnuSimulaRes", "&Simulação de Resultado");
    mnuOrcMaoObra = menuItem(this, mnuManutencao, "mnuOrcMaoObra", "Calculo de &Mão de Obra");
    mnuFiltroOrc = menuItem(this, mnuManutencao, "mnuFiltroOrc", "Filtro Cálculo do Orçamento");
    mnuFiltroOrc->SetShortCut(ShortCut('L', ssCtrl));
    mnuEfetTodo = menuItem(this, mnuManutencao, "mnuEfetTodo", "Efetivar Todos");
    mnuOrdenar->SetCaption("Efetivar Despesas Diversas");
    mnuConfigImpressora =
        menuItem(this, mnuManutencao, "mnuConfigImpressora", "Configurar Impressora");
}

void TfrmCalcOrcaOper::CriaPainelFiltro() {
    panFiltro = make<TPanel>(this, this, "panFiltro", alTop, 0, 40, 1280, 44);
    auto label = [&](const char* name, const char* caption, int left) {
        auto* l = make<TLabel>(this, panFiltro, name, alNone, left, 2, 120, 16);
        l->SetCaption(caption);
        return l;
    };
    label("lblAno", "Ano", 8);
    speAno = make<TSpinEdit>(this, panFiltro, "speAno", alNone, 8, 18, 70, 22);
    speAno->SetRange(1990, 2999);
    speAno->SetMaxLength(4);
    label("lblGerente", "Gerente Operacional", 90);
    edtCodOperador = make<TEdit>(this, panFiltro, "edtCodOperador", alNone, 90, 18, 90, 22);
    edtNmOperador = make<TEdit>(this, panFiltro, "edtNmOperador", alNone, 182, 18, 300, 22);
    for (TEdit* edit : {edtCodOperador, edtNmOperador}) {
        edit->SetEnabled(false);
        edit->SetReadOnly(true);
    }
    label("lblVersao", "Versão", 494);
    edtVersao = make<TEdit>(this, panFiltro, "edtVersao", alNone, 494, 18, 60, 22);
    BtnPesqVer = make<TBtnPesquisa>(this, panFiltro, "BtnPesqVer", alNone, 556, 18, 22, 22);
    BtnPesqVer->Edit = edtVersao;
    BtnPesqVer->Title = "Versão";
    BtnPesqVer->DataSource = &dtsVersaoOrca;
    BtnPesqVer->KeyField = "CDVERSAOORCA";
    BtnPesqVer->EmptyText = "Não há versões cadastradas.";
}

void TfrmCalcOrcaOper::CriaPaginas() {
    auto* bottom = make<TPanel>(this, this, "panRodape", alBottom, 0, 0, 1280, 30);
    dbnPadrao = make<TDBNavigator>(this, bottom, "dbnPadrao", alNone, 4, 3, 200, 24);
    dbnPadrao->SetDataSource(&dtsPadrao);
    dbtCodigo = make<TDBText>(this, bottom, "dbtCodigo", alNone, 216, 6, 60, 18);
    dbtCodigo->SetDataSource(&dtsPadrao);
    dbtCodigo->SetDataField("CDFILIAL");
    dbtNome = make<TDBText>(this, bottom, "dbtNome", alNone, 280, 6, 400, 18);
    dbtNome->SetDataSource(&dtsPadrao);
    dbtNome->SetDataField("NMFILIAL");
    // The budget's own pages take the place of the base screen's single grid.
    panGrid->SetVisible(false);

    pgcOrcamento = make<TPageControl>(this, this, "pgcOrcamento", alClient);
    auto page = [&](const char* name, const char* caption) {
        auto* sheet = new TTabSheet(this);
        sheet->SetName(name);
        sheet->SetCaption(caption);
        sheet->SetPageControl(pgcOrcamento);
        return sheet;
    };
    tshFaturBruto = page("tshFaturBruto", "Faturamento");
    tshImposto = page("tshImposto", "Imposto");
    tshConsumo = page("tshConsumo", "Consumo");
    tshMaoObra = page("tshMaoObra", "Mão de Obra");
    tshTxAdm = page("tshTxAdm", "Taxa Administrativa");
    tshMatriz = page("tshMatriz", "Despesas da Matriz");
    tshDiversas = page("tshDiversas", "Despesas Diversas");
    tshEntradas = page("tshEntradas", "Despesas Lanc. Entrada");
    tshImpRecup = page("tshImpRecup", "Imposto a Recuperar");
    tshImpSobLuc = page("tshImpSobLuc", "Impostos Sobre o Lucro");
    tshInvest = page("tshInvest", "Investimentos");
    tshDeprec = page("tshDeprec", "Depreciação");

    auto grid = [&](TWinControl* parent, const char* name, TDataSource* source, TAlign align,
                    int width = 0) {
        auto* g = make<TDBGrid>(this, parent, name, align, 0, 0, width, 0);
        g->SetDataSource(source);
        return g;
    };
    auto branchList = [&](TTabSheet* sheet, const char* name, const char* check) {
        TDBGrid* g = grid(sheet, name, &dtsOrcamentoFilial, alLeft, 300);
        g->SetOptions((g->Options() | dgRowSelect) & ~dgEditing);
        checkColumn(g, check);
        g->AddColumn("CDFILIAL", "Código", 50);
        g->AddColumn("NMFILIAL", "Nome da Filial", 200);
        return g;
    };
    auto workingDays = [&](TTabSheet* sheet, const char* box, const char* name) {
        auto* group = make<TGroupBox>(this, sheet, box, alTop, 0, 0, 1280, 64);
        group->SetCaption("Dias úteis por filial");
        TDBGrid* g = grid(group, name, &dtsFeriadoFil, alClient);
        g->SetReadOnly(true);
        for (const char* month : kMeses)
            g->AddColumn(std::string("VRORCAMENTO") + month, month, 40);
        return g;
    };
    auto buttonBar = [&](TTabSheet* sheet, const char* name) {
        return make<TPanel>(this, sheet, name, alTop, 0, 0, 1280, 32);
    };
    auto flat = [&](TPanel* bar, const char* name, const char* caption, int left) {
        auto* b = make<TButtonFlat>(this, bar, name, alNone, left, 3, 170, 26);
        b->SetCaption(caption);
        return b;
    };
    auto fatConsGrid = [&](TTabSheet* sheet, const char* name, const char* check,
                           const char* baseTitle) {
        TDBGrid* g = grid(sheet, name, &dtsPadrao, alClient);
        checkColumn(g, check);
        g->AddColumn("CDFILIAL", "Código", 50);
        g->AddColumn("NMFILIAL", "Nome da Filial", 180);
        g->AddColumn("DTMESBASEITEM", baseTitle, 70);
        monthColumns(g);
        g->AddColumn("TOTAL", "Total", 100).SetReadOnly(true);
        g->AddColumn("IDITEMCALCORCA", "Manual", 50).SetReadOnly(true);
        return g;
    };

    // Billing.
    dbgDiaUtilFilFat = workingDays(tshFaturBruto, "grbDiaUtilFat", "dbgDiaUtilFilFat");
    TPanel* barFat = buttonBar(tshFaturBruto, "panBotoesFat");
    btnMesBaseFat = flat(barFat, "btnMesBaseFat", "Replica Mês Base", 4);
    sbtCalcEfet = make<TSpeedButton>(this, barFat, "sbtCalcEfet", alNone, 180, 3, 190, 26);
    sbtCalcEfet->SetCaption("Cálculo por Comensais Est.");
    btnCalcImpo = flat(barFat, "btnCalcImpo", "Cálculo de Impostos", 376);
    dbgItOrcFatur = fatConsGrid(tshFaturBruto, "dbgItOrcFatur", "IDCHECKF", "Mês Base");

    // Consumption.
    dbgDiaUtilFilCons = workingDays(tshConsumo, "grbDiaUtilCons", "dbgDiaUtilFilCons");
    TPanel* barCons = buttonBar(tshConsumo, "panBotoesCons");
    btnMesBaseCons = flat(barCons, "btnMesBaseCons", "Replica Mês Base", 4);
    sbtCalcCard = make<TSpeedButton>(this, barCons, "sbtCalcCard", alNone, 180, 3, 190, 26);
    sbtCalcCard->SetCaption("Cálculo por Comensais Est.");
    btnCalcImpCons = flat(barCons, "btnCalcImpCons", "Cálculo de Impostos", 376);
    dbgItConsumo = fatConsGrid(tshConsumo, "dbgItConsumo", "IDCHECKC", "Mês/Ano Base");

    // Branch-scoped item pages: the branch list, then the items of the current branch.
    auto itemGrid = [&](TTabSheet* sheet, const char* name, const char* first, const char* title) {
        TDBGrid* g = grid(sheet, name, &dtsItensOrcamento, alClient);
        g->AddColumn(first, title, 200).SetReadOnly(true);
        monthColumns(g);
        g->AddColumn("SOMAT", "Total", 100).SetReadOnly(true);
        return g;
    };
    dbgFilImpo = branchList(tshImposto, "dbgFilImpo", "IDCHECKI");
    dbgImposto = itemGrid(tshImposto, "dbgImposto", "SGIMPOSTO", "Imposto");
    dbgFilialMaoObra = branchList(tshMaoObra, "dbgFilialMaoObra", "IDCHECKO");
    dbgMaoObra = itemGrid(tshMaoObra, "dbgMaoObra", "DSDESPADMFAT", "Tipo de Mão de Obra");
    dbgFilialDiversas = branchList(tshDiversas, "dbgFilialDiversas", "IDCHECKD");
    dbgDiversas = itemGrid(tshDiversas, "dbgDiversas", "NMDESPPREV", "Tipo de Despesa");
    dbgFilialEntradas = branchList(tshEntradas, "dbgFilialEntradas", "IDCHECKE");
    dbgEntradas = itemGrid(tshEntradas, "dbgEntradas", "NMTIPOOPER", "Tipo de Operação");
    dbgFilImpRec = branchList(tshImpRecup, "dbgFilImpRec", "IDCHECKR");
    dbgImpRecup = itemGrid(tshImpRecup, "dbgImpRecup", "SGIMPOSTO", "Imposto");

    // Administrative fee: every branch, design-time month order.
    dbgTxAdm = grid(tshTxAdm, "dbgTxAdm", &dtsTxAdm, alClient);
    checkColumn(dbgTxAdm, "IDCHECK");
    dbgTxAdm->AddColumn("CDFILIAL", "Código", 50);
    dbgTxAdm->AddColumn("NMFILIAL", "Nome", 200);
    monthColumns(dbgTxAdm);
    dbgTxAdm->AddColumn("SOMAT", "Total", 100).SetReadOnly(true);

    // All-branch item pages.
    dbgMatriz = grid(tshMatriz, "dbgMatriz", &dtsItensOrcamento, alClient);
    dbgMatriz->AddColumn("CDFILIAL", "Filial", 50).SetReadOnly(true);
    dbgMatriz->AddColumn("NMDESPPREV", "Tipo de Despesa", 200).SetReadOnly(true);
    monthColumns(dbgMatriz);
    dbgMatriz->AddColumn("SOMAT", "Total", 100).SetReadOnly(true);
    for (auto [sheet, name, target] : {std::tuple{tshImpSobLuc, "dbgImpSobLuc", &dbgImpSobLuc},
                                       std::tuple{tshInvest, "dbgInvest", &dbgInvest}}) {
        TDBGrid* g = grid(sheet, name, &dtsItensOrcamento, alClient);
        g->AddColumn("CDFILIAL", "Filial", 50).SetReadOnly(true);
        g->AddColumn("NMFILIAL", "Nome", 200).SetReadOnly(true);
        monthColumns(g);
        g->AddColumn("SOMAT", "Total", 100).SetReadOnly(true);
        *target = g;
    }
    TPanel* barDeprec = buttonBar(tshDeprec, "panBotoesDeprec");
    btnCalcDeprec = flat(barDeprec, "btnCalcDeprec", "Cálculo de Depreciação", 4);
    dbgDeprec = grid(tshDeprec, "dbgDeprec", &dtsItensOrcamento, alClient);
    checkColumn(dbgDeprec, "IDCHECK");
    dbgDeprec->AddColumn("CDFILIAL", "Filial", 50).SetReadOnly(true);
    dbgDeprec->AddColumn("NMFILIAL", "Nome", 200).SetReadOnly(true);
    monthColumns(dbgDeprec);
    dbgDeprec->AddColumn("SOMAT", "Total", 100).SetReadOnly(true);

    imgCheck = make<TImage>(this, this, "imgCheck", alNone, 0, 0, 16, 16);
    imgGray = make<TImage>(this, this, "imgGray", alNone, 0, 0, 16, 16);
    imgUncheck = make<TImage>(this, this, "imgUncheck", alNone, 0, 0, 16, 16);
    imgCheck->SetPicture("check");
    imgGray->SetPicture("gray");
    imgUncheck->SetPicture("uncheck");
    for (TImage* image : {imgCheck, imgGray, imgUncheck})
        image->SetVisible(false);
    pgcOrcamento->SetActivePage(tshFaturBruto);
}
