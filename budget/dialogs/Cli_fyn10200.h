#pragma once

#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "services/lib/TMessages.h"
#include "services/ui/TfrmRotiGeral.h"

#include <array>
#include <string>

class TCheckBox;
class TComboBox;
class TButtonFlat;
class TEdit;
class TGroupBox;
class TLabel;
class TNumberEdit;
class TRadioButton;
class TTabSheet;

// Asks how to rewrite many monthly values of the main screen's active page at once: the value,
// the operation, the branches, the items and the months. Confirming writes the choices into the
// main screen (v_vrItem, the month flags, stReplicFil, stReplicItens, boReplicacao).
class TfrmReplicaVal : public TfrmRotiGeral {
public:
    explicit TfrmReplicaVal(TComponent* owner);
    ~TfrmReplicaVal() override;

    TLabel* lblDescItemOrc = nullptr;
    TEdit* edtDescItemOrc = nullptr;
    TLabel* lblValor = nullptr;
    TNumberEdit* dbeValor = nullptr;
    TLabel* lblOperac = nullptr;
    TComboBox* cbbOperac = nullptr;
    TGroupBox* grbFiliais = nullptr;
    TRadioButton* rbtTdListFil = nullptr;
    TRadioButton* rbtListFil = nullptr;
    TButtonFlat* btnListaFil = nullptr;
    TGroupBox* grbItemOrc = nullptr;
    TRadioButton* rbtTdItemOrc = nullptr;
    TRadioButton* rbtListaItemOrc = nullptr;
    TButtonFlat* btnListaItemOrc = nullptr;
    TGroupBox* grbMeses = nullptr;
    TCheckBox* ckbTdMes = nullptr;
    TGroupBox* grbMesesItens = nullptr;
    // January to December.
    std::array<TCheckBox*, 12> ckbMes{};

    TClientDataSet cdsListaFil{"cdsListaFil"};
    TDataSource dtsFilial{"dtsFilial", &cdsListaFil};
    TClientDataSet cdsListaMo{"cdsListaMo"};
    TDataSource dtsListaMo{"dtsListaMo", &cdsListaMo};
    TClientDataSet cdsTpDesLEn{"cdsTpDesLEn"};
    TMessages msgPadrao;

    void FormCreate(TObject* Sender) override;
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    void sbtConfirmaClick(TObject* Sender) override;
    void rbtTdListFilClick(TObject* Sender);
    void rbtListFilClick(TObject* Sender);
    void btnListaFilClick(TObject* Sender);
    void rbtTdItemOrcClick(TObject* Sender);
    void rbtListaItemOrcClick(TObject* Sender);
    void btnListaItemOrcClick(TObject* Sender);
    void ckbTdMesClick(TObject* Sender);
    // A month box: "Todos" is checked as soon as all twelve are.
    void vdCheck(TObject* Sender);
    void dbeValorKeyPress(TObject* Sender, TKeyChar& Key);
    // Refuses "Lista" of branches without a list.
    void vdFilial();
    // The code of the chosen operation: "AT", "SO", "SU", "AC" or "DE".
    std::string getOperac() const;

private:
    void CriaComponentes();
    void CriaGrupoLista(TGroupBox*& box, const char* name, const char* caption, int top,
                        TRadioButton*& all, const char* allName, const char* allCaption,
                        TRadioButton*& list, const char* listName, TButtonFlat*& button,
                        const char* buttonName);
    // Description, item group and item letter taken from the main screen's active page.
    void AjustaPagina(const TTabSheet* page);
    // Months closed to the operator's phase cannot be chosen.
    void AjustaMeses();
    // The branches whose rows the main screen may change ("_0001_0002_", or empty).
    void MontaFiliaisOrcamento();

    // Type letter of the items the item picker offers (0: the page has no item choice).
    char m_letraItens = 0;
};

// The one replication dialog while it is open.
extern TfrmReplicaVal* frmReplicaVal;
// Branch choice: "T" for all, else a list; kept between openings.
extern std::string stFilial;
// The branches the operator may change on the main screen's page.
extern std::string stFilialOrc;
// Item choice: "T" for all, else a list; reset at each opening.
extern std::string stItens;
// The operation of the last confirmed replication.
extern std::string stOperac;

// Shows the replication dialog modally for a branch choice ("T" or a list of branch codes).
void criaReplicaVal(const std::string& filiais);
