#pragma once

#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "services/lib/TMessages.h"
#include "services/ui/TfrmFiltroPadrao.h"

#include <string>

class TButtonFlat;
class TGroupBox;
class TRadioButton;
class TfrmCalcOrcaOper;

// Narrows the budget the main screen loads to chosen branches, branch groups, regions and
// market segments; edits the main screen's four lists and sets its boConfirmou.
class TfrmFiltroCalculoOrc : public TfrmFiltroPadrao {
public:
    explicit TfrmFiltroCalculoOrc(TComponent* owner);
    ~TfrmFiltroCalculoOrc() override;

    TGroupBox* grbFilial = nullptr;
    TRadioButton* rbtTdListFil = nullptr;
    TRadioButton* rbtListFil = nullptr;
    TButtonFlat* btnListaFil = nullptr;
    TGroupBox* grbAgrupFil = nullptr;
    TRadioButton* rbtTodosAgrupFil = nullptr;
    TRadioButton* rbtListaAgrupFil = nullptr;
    TButtonFlat* btpListaAgrupFil = nullptr;
    TGroupBox* grbRegiao = nullptr;
    TRadioButton* rbtTdReg = nullptr;
    TRadioButton* rbtListReg = nullptr;
    TButtonFlat* BtnPesqReg = nullptr;
    TGroupBox* grbSegmento = nullptr;
    TRadioButton* rbtTodosSeg = nullptr;
    TRadioButton* rbtListaSeg = nullptr;
    TButtonFlat* btpListaSeg = nullptr;

    TClientDataSet cdsListaFilial{"cdsListaFilial"};
    TClientDataSet cdsAgrupFil{"cdsAgrupFil"};
    TClientDataSet cdsListaReg{"cdsListaReg"};
    TClientDataSet cdsListaSeg{"cdsListaSeg"};
    TDataSource dtsFilial{"dtsFilial", &cdsListaFilial};
    TDataSource dtsAgrupFil{"dtsAgrupFil", &cdsAgrupFil};
    TDataSource dtsListaReg{"dtsListaReg", &cdsListaReg};
    TDataSource dtsListaSeg{"dtsListaSeg", &cdsListaSeg};
    TMessages msgPadrao;

    void FormCreate(TObject* Sender) override;
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    void sbtConfirmaClick(TObject* Sender) override;
    // Refuses a group whose "Lista" is checked with an empty list.
    void vdFiltro();
    void btnListaFilClick(TObject* Sender);
    void btpListaAgrupFilClick(TObject* Sender);
    void BtnPesqRegClick(TObject* Sender);
    void btpListaSegClick(TObject* Sender);
    void rbtTdListFilClick(TObject* Sender);
    void rbtListFilClick(TObject* Sender);
    void rbtTodosAgrupFilClick(TObject* Sender);
    void rbtListaAgrupFilClick(TObject* Sender);
    void rbtTdRegClick(TObject* Sender);
    void rbtListRegClick(TObject* Sender);
    void rbtTodosSegClick(TObject* Sender);
    void rbtListaSegClick(TObject* Sender);
    void btfSaveOpcClick(TObject* Sender) override;
    void btfLoadOpcClick(TObject* Sender) override;

private:
    void CriaComponentes();
    // "Lista" checked for each list that restricts, the "all" button otherwise.
    void MarcaRadios();
    TfrmCalcOrcaOper& Principal() const;
    // Fills a picker dataset from a server method that takes the operator.
    void CarregaLista(const char* method, TClientDataSet& target);
};

// The one filter dialog instance while it is open.
extern TfrmFiltroCalculoOrc* frmFiltroCalculoOrc;

// Shows the filter dialog modally (created on first use; closing frees it).
void criaFiltroCalculo();
