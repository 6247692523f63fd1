#pragma once

#include "services/ui/TButtonFlat.h"

#include <string>

class TDataSource;
class TEdit;

// A search button: BeforePesq fills its data source, the operator picks one row in the
// lookup dialog, the key field's value goes into the associated edit, then AfterPesq runs.
// An empty list shows EmptyText instead; a cancelled lookup changes nothing.
class TBtnPesquisa : public TButtonFlat {
public:
    using TButtonFlat::TButtonFlat;

    TDataSource* DataSource = nullptr;
    std::string KeyField;
    std::string Title;
    std::string EmptyText;
    TEdit* Edit = nullptr;

    TNotifyEvent BeforePesq;
    TNotifyEvent AfterPesq;

    void Click() override;
};
