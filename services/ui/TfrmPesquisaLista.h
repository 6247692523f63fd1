#pragma once

#include "services/ui/TfrmRotiGeral.h"

#include <string>

class TDataSource;
class TDBGrid;
class TButtonFlat;

// The multi-selection list: the rows of a data source with a check column over IDMARCADO.
// A double click, the space bar or a click on the check column toggles a row's mark.
class TfrmPesquisaLista : public TfrmRotiGeral {
public:
    TfrmPesquisaLista(TComponent* owner, TDataSource& source, const std::string& title);

    TDBGrid* dbgLista;
    TButtonFlat* btnMarcarTodos;
    TButtonFlat* btnDesmarcarTodos;

    // Toggles the mark of the current row.
    void ToggleMark();
    // Marks ("S") or unmarks ("N") every row.
    void MarkAll(bool marked);
    void sbtConfirmaClick(TObject* Sender) override;

private:
    TDataSource& m_source;
};

// Lets the operator mark rows of the source's dataset; on confirmation `list` receives the
// keys of the marked rows as "_k1_k2_" (empty when none is marked) and the result is true.
// The title may carry, after "|", the text shown instead of the list when the dataset is
// empty. When `list` already holds keys, exactly those rows start marked.
bool PesquisaLista(TDataSource* source, const std::string& keyField, const std::string& title,
                   bool flag, std::string& list);
