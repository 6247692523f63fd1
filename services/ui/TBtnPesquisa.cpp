#include "services/ui/TBtnPesquisa.h"

#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"
#include "services/ui/TEdit.h"
#include "services/ui/TfrmPesquisa.h"

void TBtnPesquisa::Click() {
    if (!EffectivelyEnabled()) return;
    if (OnClick) OnClick(this);
    if (BeforePesq) BeforePesq(this);
    TClientDataSet* ds = DataSource ? DataSource->DataSet() : nullptr;
    if (!ds || !ds->Active() || ds->IsEmpty()) {
        Application::instance().platform().MessageBox(
            MessageKind::Information,
            EmptyText.empty() ? std::string("Não há registros para selecionar.") : EmptyText,
            MessageButtons::Ok);
        return;
    }
    auto* form = Application::instance().createForm<TfrmPesquisa>(nullptr, *DataSource, Title);
    if (form->ShowModal() != mrOk) return;
    if (Edit && !KeyField.empty())
        if (TField* key = ds->FindField(KeyField)) Edit->SetText(key->AsString());
    if (AfterPesq) AfterPesq(this);
}
