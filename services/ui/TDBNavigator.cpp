#include "services/ui/TDBNavigator.h"

#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"

bool TDBNavigator::ButtonEnabled(TNavigateBtn button) const {
    TClientDataSet* ds = m_dataSource ? m_dataSource->DataSet() : nullptr;
    if (!EffectivelyEnabled() || !ds || !ds->Active() || !(m_visibleButtons & (1u << button)))
        return false;
    bool editing = ds->State() == dsEdit || ds->State() == dsInsert;
    switch (button) {
    case nbFirst:
    case nbPrior:
        return !ds->Bof() && !ds->IsEmpty();
    case nbNext:
    case nbLast:
        return !ds->Eof() && !ds->IsEmpty();
    case nbInsert:
        return true;
    case nbDelete:
    case nbEdit:
        return !editing && !ds->IsEmpty();
    case nbPost:
    case nbCancel:
        return editing;
    case nbRefresh:
        return !editing;
    }
    return false;
}

void TDBNavigator::BtnClick(TNavigateBtn button) {
    if (!ButtonEnabled(button)) return;
    TClientDataSet& ds = *m_dataSource->DataSet();
    switch (button) {
    case nbFirst:
        ds.First();
        break;
    case nbPrior:
        ds.Prior();
        break;
    case nbNext:
        ds.Next();
        break;
    case nbLast:
        ds.Last();
        break;
    case nbInsert:
        ds.Insert();
        break;
    case nbDelete:
        ds.Delete();
        break;
    case nbEdit:
        ds.Edit();
        break;
    case nbPost:
        ds.Post();
        break;
    case nbCancel:
        ds.Cancel();
        break;
    case nbRefresh:
        break;
    }
    if (OnClick) OnClick(this, button);
}
