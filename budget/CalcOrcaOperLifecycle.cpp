// The screen's life: creation, show, activation, close, keyboard shortcuts and the toolbar
// actions that only open another screen and reload.
#include "budget/Cli_fyn10000.h"
#include "budget/Finally.h"
#include "budget/ModuleState.h"
#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"
#include "services/ui/TBtnPesquisa.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TEdit.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TPanel.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"
#include "services/ui/TTabSheet.h"
#include "services/ui/TfrmProcura.h"

#include "services/data/NumberFormat.h"

TfrmCalcOrcaOper::TfrmCalcOrcaOper(TComponent* owner) : TfrmPadraoGrid(owner) {
    CriaComponentes();
}

TfrmCalcOrcaOper::~TfrmCalcOrcaOper() {
    // Controls go first: grids and labels hold links into the datasets of this screen.
    DestroyComponents();
}

void TfrmCalcOrcaOper::LigaEventos() {
    SetKeyPreview(true);
    OnShow = [this](TObject* s) { FormShow(s); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    netCalcOrcaOper.ServerName = "FYN10000.rdmCalcOrcaOper";
    netGestaoOperac.ServerName = "Fyn00000.rdmGestaoOperac";
    netCalcOrcaOper.ThrowException = false;
    netGestaoOperac.ThrowException = false;
    netCalcOrcaOper.BeforeConnect = [this](TNetConnection& c) { netCalcOrcaOperBeforeConnect(c); };
    netGestaoOperac.BeforeConnect = [this](TNetConnection& c) { netGestaoOperacBeforeConnect(c); };

    // The operator's refresh asks before pending changes are thrown away, as F5 does.
    sbtVerificar->OnClick = [this](TObject* s) {
        if (DescartaSePendente()) sbtVerificarClick(s);
    };
    mnuVerificar->OnClick = sbtVerificar->OnClick;
    sbtFiltro->OnClick = [this](TObject* s) { sbtFiltroClick(s); };
    mnuFiltroOrc->OnClick = sbtFiltro->OnClick;
    sbtOrcMaoObra->OnClick = [this](TObject* s) { sbtOrcMaoObraClick(s); };
    mnuOrcMaoObra->OnClick = sbtOrcMaoObra->OnClick;
    sbtRepliVal->OnClick = [this](TObject* s) { sbtRepliValClick(s); };
    mnuRepliVal->OnClick = sbtRepliVal->OnClick;
    sbtSimulaRes->OnClick = [this](TObject* s) { sbtSimulaResClick(s); };
    dtsItensOrcamento.OnStateChange = [this](TDataSource&) { dtsItensOrcamentoStateChange(this); };

    speAno->OnKeyPress = [this](TObject* s, TKeyChar& k) { speAnoKeyPress(s, k); };
    speAno->OnExit = [this](TObject* s) { speAnoExit(s); };
    edtVersao->OnKeyPress = [this](TObject* s, TKeyChar& k) { edtVersaoKeyPress(s, k); };
    edtVersao->OnExit = [this](TObject* s) { edtVersaoExit(s); };
    BtnPesqVer->BeforePesq = [this](TObject* s) { BtnPesqVerBeforePesq(s); };
    BtnPesqVer->AfterPesq = [this](TObject* s) { BtnPesqVerAfterPesq(s); };
    panFiltro->OnEnter = [this](TObject* s) { panFiltroEnter(s); };
    panFiltro->OnExit = [this](TObject* s) { panFiltroExit(s); };

    pgcOrcamento->OnChanging = [this](TObject* s, bool& allow) { pgcOrcamentoChanging(s, allow); };
    pgcOrcamento->OnChange = [this](TObject* s) { pgcOrcamentoChange(s); };
    dbgDiaUtilFilFat->OnEnter = [this](TObject* s) { dbgDiaUtilFilFatEnter(s); };
    dbgDiaUtilFilCons->OnEnter = [this](TObject* s) { dbgDiaUtilFilConsEnter(s); };
    dbgDiaUtilFilFat->OnExit = [this](TObject* s) { dbgDiaUtilFilFatExit(s); };
    dbgDiaUtilFilCons->OnExit = [this](TObject* s) { dbgDiaUtilFilConsExit(s); };
    dbgItOrcFatur->OnEnter = [this](TObject* s) { dbgItOrcFaturEnter(s); };
    tshFaturBruto->OnEnter = [this](TObject* s) { tshFaturBrutoEnter(s); };
    tshConsumo->OnEnter = [this](TObject* s) { tshConsumoEnter(s); };
    m_itensOrcFatConsAfterScroll = [this](TClientDataSet& d) { cdsItensOrcFatConsAfterScroll(d); };
    m_orcamentoFilialAfterScroll = [this](TClientDataSet& d) { cdsOrcamentoFilialAfterScroll(d); };
    m_itensOrcamentoAfterScroll = [this](TClientDataSet& d) { cdsItensOrcamentoAfterScroll(d); };
    cdsItensOrcFatCons.AfterScroll = m_itensOrcFatConsAfterScroll;
    cdsOrcamentoFilial.AfterScroll = m_orcamentoFilialAfterScroll;
    cdsItensOrcamento.AfterScroll = m_itensOrcamentoAfterScroll;
    LigaEventosEntrada();
    LigaEventosCalculo();
    LigaEventosTxAdm();
}

void TfrmCalcOrcaOper::netCalcOrcaOperBeforeConnect(TNetConnection& connection) {
    connection.Host = WebURL();
    connection.Port = WebPort();
}

void TfrmCalcOrcaOper::netGestaoOperacBeforeConnect(TNetConnection& connection) {
    connection.Host = WebURL();
    connection.Port = WebPort();
}

void TfrmCalcOrcaOper::FormCreate(TObject* Sender) {
    TfrmPadraoGrid::FormCreate(Sender);
    netCalcOrcaOper.SetConnected(true);
    netGestaoOperac.SetConnected(true);
    oleOrcamentoFiltro = Variant("");
    stListaFil.clear();
    stListaAgrupFil.clear();
    stListaReg.clear();
    stListaSeg.clear();
    boConfirmou = false;
    boSimulacao = false;
    // A refused answer ends the creation here, after its message, but the screen still opens.
    try {
        const Variant data =
            CheckResultServ(netCalcOrcaOper.AppServer("GetParametro", {}), true, 0);
        if (data.type() != VarType::Packet)
            MensErro("Resposta do servidor inválida para os parâmetros.");
        cdsParametros.SetData(data.packet());
    } catch (const EAbort&) {
    }
}

void TfrmCalcOrcaOper::FormShow(TObject* Sender) {
    int year = 0, month = 0, day = 0;
    DecodeDate(Application::instance().today(), year, month, day);
    speAno->SetValue(year);
    GetMaiorVersao(speAno->Text());
    OrganizaCamposGrid(4, dbgItOrcFatur);
    OrganizaCamposGrid(1, dbgImposto);
    OrganizaCamposGrid(4, dbgItConsumo);
    OrganizaCamposGrid(1, dbgMaoObra);
    OrganizaCamposGrid(2, dbgMatriz);
    OrganizaCamposGrid(1, dbgDiversas);
    OrganizaCamposGrid(1, dbgEntradas);
    OrganizaCamposGrid(0, dbgDiaUtilFilFat);
    OrganizaCamposGrid(1, dbgImpRecup);
    OrganizaCamposGrid(2, dbgImpSobLuc);
    OrganizaCamposGrid(2, dbgInvest);
    OrganizaCamposGrid(3, dbgDeprec);
    edtCodOperador->SetText(Operador());
    edtNmOperador->SetText(NomeOperador());
    speAno->SetFocus();
    pgcOrcamento->SetActivePage(tshFaturBruto);
    for (TMenuItem* item :
         {mnuVerificar, mnuCancelar, mnuConfirmar, mnuProcurar, mnuListagem, mnuOrdenar})
        item->SetEnabled(false);
    for (TSpeedButton* button : {sbtRepliVal, sbtCalcEfet, sbtSimulaRes, sbtOrcMaoObra})
        button->SetEnabled(false);
    sbtVerificar->SetEnabled(mnuVerificar->Enabled());
    sbtCancelar->SetEnabled(mnuCancelar->Enabled());
    sbtConfirmar->SetEnabled(mnuConfirmar->Enabled());
    sbtProcurar->SetEnabled(mnuProcurar->Enabled());
    mnuRepliVal->SetEnabled(sbtRepliVal->Enabled());
    mnuSimulaRes->SetEnabled(sbtSimulaRes->Enabled());
    mnuOrcMaoObra->SetEnabled(sbtOrcMaoObra->Enabled());
    mnuOrdenar->SetEnabled(sbtCalcEfet->Enabled());
    // Never enabled on this screen.
    for (TMenuItem* item : {mnuIncluir, mnuExcluir})
        item->SetEnabled(false);
    sbtIncluir->SetEnabled(false);
    sbtExcluir->SetEnabled(false);
    sbtImprimir->SetEnabled(false);
}

void TfrmCalcOrcaOper::FormActivate(TObject* Sender) {
    Application::instance().platform().Repaint(*this);
}

void TfrmCalcOrcaOper::FormClose(TObject* Sender, TCloseAction& Action) {
    boStCriado = false;
    netCalcOrcaOper.SetConnected(false);
    netGestaoOperac.SetConnected(false);
    TfrmPadraoGrid::FormClose(Sender, Action);
    if (frmCalcOrcaOper == this) frmCalcOrcaOper = nullptr;
}

void TfrmCalcOrcaOper::FormKeyDown(TObject* Sender, TKeyCode& Key, TShiftState Shift) {
    TfrmPadraoGrid::FormKeyDown(Sender, Key, Shift);
    if (Key == VK_F3 && sbtAlterar->Enabled()) {
        Key = 0;
        sbtAlterarClick(Sender);
    } else if (Key == VK_F5) {
        Key = 0;
        // Reading the budget again throws pending changes away: only with the operator's word.
        if (DescartaSePendente()) sbtVerificarClick(Sender);
    }
}

void TfrmCalcOrcaOper::FormKeyPress(TObject* Sender, TKeyChar& Key) {
    TfrmPadraoGrid::FormKeyPress(Sender, Key);
    if (Key == 0) Abort();
}

void TfrmCalcOrcaOper::sbtFiltroClick(TObject* Sender) {
    if (AnoVazio()) {
        speAno->SetFocus();
        MensErro(Msg().Msg("ANO_N_INF"));
    }
    panFiltroEnter(Sender);
    panFiltroExit(Sender);
}

void TfrmCalcOrcaOper::sbtAlterarClick(TObject* Sender) {
    const TTabSheet* page = pgcOrcamento->ActivePage();
    if (page == tshFaturBruto || page == tshConsumo) {
        TfrmPadraoGrid::sbtAlterarClick(Sender);
    } else if (page != tshTxAdm && !cdsItensOrcamento.IsEmpty()) {
        cdsItensOrcamento.Edit();
    }
    TDBGrid* grid = nullptr;
    if (page == tshFaturBruto)
        grid = dbgItOrcFatur;
    else if (page == tshImposto)
        grid = dbgImposto;
    else if (page == tshConsumo)
        grid = dbgItConsumo;
    else if (page == tshMaoObra)
        grid = dbgMaoObra;
    else if (page == tshDiversas)
        grid = dbgDiversas;
    else if (page == tshMatriz)
        grid = dbgMatriz;
    else if (page == tshImpRecup)
        grid = dbgImpRecup;
    else if (page == tshImpSobLuc)
        grid = dbgImpSobLuc;
    else if (page == tshInvest)
        grid = dbgInvest;
    else if (page == tshDeprec)
        grid = dbgDeprec;
    else if (page == tshEntradas)
        grid = dbgEntradas;
    if (page == tshTxAdm) {
        if (!cdsTxAdm.IsEmpty()) cdsTxAdm.Edit();
        grid = dbgTxAdm;
    }
    if (grid) grid->SetFocus();
}

void TfrmCalcOrcaOper::sbtProcurarClick(TObject* Sender) {
    const TTabSheet* page = pgcOrcamento->ActivePage();
    if (page == tshFaturBruto || page == tshConsumo) {
        TfrmPadraoGrid::sbtProcurarClick(Sender);
        return;
    }
    const TWinControl* focused = ActiveControl();
    cdsItensOrcamento.FieldByName("NMTIPOOPER").SetVisible(focused == dbgEntradas);
    cdsItensOrcamento.FieldByName("DSDESPADMFAT").SetVisible(focused == dbgMaoObra);
    cdsItensOrcamento.FieldByName("NMDESPPREV")
        .SetVisible(focused == dbgDiversas || focused == dbgMatriz);
    cdsItensOrcamento.FieldByName("SGIMPOSTO").SetVisible(focused == dbgImposto);
    if (focused == dbgImposto || focused == dbgMaoObra || focused == dbgMatriz ||
        focused == dbgDiversas || focused == dbgEntradas)
        Procura(&cdsItensOrcamento);
    else if (focused == dbgTxAdm)
        Procura(&cdsTxAdm);
    else
        Procura(&cdsOrcamentoFilial);
}

void TfrmCalcOrcaOper::SetGridEditing(TDBGrid* grid, bool editing) {
    if (editing)
        grid->AddOption(dgEditing);
    else
        grid->RemoveOption(dgEditing);
}

void CriaCalcOrcaOper() {
    Application& app = Application::instance();
    app.setCursor(crHourGlass);
    Finally restore([&app] { app.setCursor(crDefault); });
    if (!boStCriado) {
        frmCalcOrcaOper = app.createModuleForm<TfrmCalcOrcaOper>(kModuleCode, nullptr);
        boStCriado = true;
    }
    frmCalcOrcaOper->Show();
    frmCalcOrcaOper->SetWindowState(wsNormal);
}
