#include "services/ui/TfrmPesquisa.h"

#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "services/ui/TDBGrid.h"

TfrmPesquisa::TfrmPesquisa(TComponent* owner, TDataSource& source, const std::string& title)
    : TfrmRotiGeral(owner) {
    SetName("frmPesquisa");
    SetCaption(title);
    SetBounds(0, 0, 520, 420);
    dbgPesquisa = Add<TDBGrid>("dbgPesquisa", this);
    dbgPesquisa->SetAlign(alClient);
    dbgPesquisa->SetBounds(0, 0, 520, 340);
    dbgPesquisa->RemoveOption(dgEditing);
    dbgPesquisa->AddOption(dgRowSelect);
    dbgPesquisa->SetDataSource(&source);
    for (TField* f : source.DataSet()->Fields())
        if (f->Visible() && !equalsNoCase(f->FieldName(), "IDMARCADO"))
            dbgPesquisa->AddColumn(f->FieldName(), f->DisplayName(),
                                   std::max(40, 8 * std::max(4, f->DisplayWidth())));
    dbgPesquisa->OnDblClick = [this](TObject* s) { sbtConfirmaClick(s); };
    dbgPesquisa->OnKeyDown = [this](TObject* s, TKeyCode& key, TShiftState) {
        if (key == VK_RETURN) {
            key = 0;
            sbtConfirmaClick(s);
        }
    };
    dbgPesquisa->SetTabOrder(0);
}

void TfrmPesquisa::sbtConfirmaClick(TObject* Sender) {
    TfrmRotiGeral::sbtConfirmaClick(Sender);
    TClientDataSet* ds = dbgPesquisa->DataSet();
    if (ds && ds->Active() && !ds->IsEmpty()) SetModalResult(mrOk);
}
