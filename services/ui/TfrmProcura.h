#pragma once

#include "services/ui/TfrmRotiGeral.h"

class TClientDataSet;
class TComboBox;
class TEdit;
class TLabel;

// The search dialog: the operator picks one of the dataset's visible fields and types the
// start of a value; confirming positions the dataset on the first row that matches.
class TfrmProcura : public TfrmRotiGeral {
public:
    TfrmProcura(TComponent* owner, TClientDataSet& dataSet);

    TLabel* lblCampo;
    TComboBox* cbxCampo;
    TLabel* lblValor;
    TEdit* edtValor;

    // Locates the value; a value not found is said and the dialog stays open.
    void sbtConfirmaClick(TObject* Sender) override;

private:
    TClientDataSet& m_dataSet;
    std::vector<std::string> m_fieldNames;
};

// Opens the search dialog over the dataset; true when a row was found and made current.
bool Procura(TClientDataSet* dataSet);
