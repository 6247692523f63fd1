#pragma once

#include "services/ui/TfrmRotiGeral.h"

#include <string>

class TDataSource;
class TDBGrid;

// The single-choice lookup: the rows of a data source; confirming (or a double click, or
// Enter) picks the current row.
class TfrmPesquisa : public TfrmRotiGeral {
public:
    TfrmPesquisa(TComponent* owner, TDataSource& source, const std::string& title);

    TDBGrid* dbgPesquisa;
    void sbtConfirmaClick(TObject* Sender) override;
};
