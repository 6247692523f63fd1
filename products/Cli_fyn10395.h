#pragma once

#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "services/lib/TMessages.h"
#include "services/net/TNetConnection.h"
#include "services/ui/TfrmRotiGeral.h"

#include <string>
#include <vector>

// The module the screen belongs to: its forms are freed when the host unloads it.
inline const std::string kProdDespModule = "FYN10395";

class TDBGrid;
class TLabel;

// Products by expense type: breaks a branch's expense item into the products bought under its
// expense type (product, unit, unit price, quantity per month). Confirming makes the item's
// monthly values the products' totals; an effected or approved item is only shown.
class TfrmProdDesp : public TfrmRotiGeral {
public:
    explicit TfrmProdDesp(TComponent* owner);
    ~TfrmProdDesp() override;

    TLabel* lblCodTela = nullptr;
    TLabel* lblItem = nullptr;
    TDBGrid* dbgProdutos = nullptr;
    TDBGrid* dbgTotais = nullptr;
    TClientDataSet cdsProdutos{"cdsProdutos"};
    TDataSource dtsProdutos{"dtsProdutos", &cdsProdutos};
    // One row: the value of every month (quantity x unit price summed over the products).
    TClientDataSet cdsTotais{"cdsTotais"};
    TDataSource dtsTotais{"dtsTotais", &cdsTotais};
    TNetConnection netProdDesp;
    TMessages msgPadrao;

    // The item, as the calling screen sends it: year, version, branch, expense type name,
    // item sequence, expense type code, item status and the caller's screen code.
    std::string stAno, stVersao, stFilial, stNmDesp, stSeqItem, stCdDesp, stStatus, stTela;
    // The products were confirmed on the server.
    bool boConfirmou = false;

    // Takes the eight values and reads the item's products.
    void Abre(const std::vector<Variant>& params);
    // Month values of the products as typed so far.
    void CalculaTotais();
    bool SomenteLeitura() const;
    void sbtConfirmaClick(TObject* Sender) override;
    // The connection is let go as the screen closes: the server serves the caller next.
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    void dbgProdutosKeyPress(TObject* Sender, TKeyChar& Key);

private:
    void CriaComponentes();
    void DeclaraCampos();
};

// Opens the products screen modally for the item the eight values name.
void criaProdDesp(const std::vector<Variant>& params);
