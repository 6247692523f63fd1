#include "services/ui/TfrmPesquisaLista.h"

#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TPanel.h"

#include <stdexcept>

namespace {
constexpr const char* kMark = "IDMARCADO";

void setMark(TClientDataSet& ds, bool marked) {
    TField& field = ds.FieldByName(kMark);
    if ((field.AsString() == "S") == marked && !field.IsNull()) return;
    ds.Edit();
    field.SetAsString(marked ? "S" : "N");
    ds.Post();
}
} // namespace

TfrmPesquisaLista::TfrmPesquisaLista(TComponent* owner, TDataSource& source,
                                     const std::string& title)
    : TfrmRotiGeral(owner), m_source(source) {
    SetName("frmPesquisaLista");
    SetCaption(title);
    SetBounds(0, 0, 520, 420);
    dbgLista = Add<TDBGrid>("dbgLista", this);
    dbgLista->SetAlign(alClient);
    dbgLista->SetBounds(0, 0, 520, 340);
    dbgLista->RemoveOption(dgEditing);
    dbgLista->SetDataSource(&source);
    TClientDataSet& ds = *source.DataSet();
    TColumn& check = dbgLista->AddColumn(kMark, "4", 24);
    check.SetTitleSymbolFont(true);
    check.SetReadOnly(true);
    for (TField* f : ds.Fields())
        if (f->Visible() && !equalsNoCase(f->FieldName(), kMark))
            dbgLista->AddColumn(f->FieldName(), f->DisplayName(),
                                std::max(40, 8 * std::max(4, f->DisplayWidth())));
    dbgLista->OnDrawColumnCell = [](TObject*, const TGridDrawCell& cell, TCellStyle& style) {
        if (equalsNoCase(cell.Column().FieldName(), kMark))
            style.picture =
                cell.Text(kMark) == "S" ? TCheckPicture::Checked : TCheckPicture::Unchecked;
    };
    dbgLista->OnDblClick = [this](TObject*) { ToggleMark(); };
    dbgLista->OnCellClick = [this](TColumn* column) {
        if (column && column->Index() == 0) ToggleMark();
    };
    dbgLista->OnKeyDown = [this](TObject*, TKeyCode& key, TShiftState) {
        if (key == VK_SPACE) {
            key = 0;
            ToggleMark();
        }
    };
    btnMarcarTodos = Add<TButtonFlat>("btnMarcarTodos", panBotoes);
    btnMarcarTodos->SetCaption("Marcar Todos");
    btnMarcarTodos->SetBounds(6, 6, 100, 28);
    btnMarcarTodos->OnClick = [this](TObject*) { MarkAll(true); };
    btnDesmarcarTodos = Add<TButtonFlat>("btnDesmarcarTodos", panBotoes);
    btnDesmarcarTodos->SetCaption("Desmarcar Todos");
    btnDesmarcarTodos->SetBounds(112, 6, 110, 28);
    btnDesmarcarTodos->OnClick = [this](TObject*) { MarkAll(false); };
    dbgLista->SetTabOrder(0);
}

void TfrmPesquisaLista::ToggleMark() {
    TClientDataSet* ds = m_source.DataSet();
    if (!ds || !ds->Active() || ds->IsEmpty()) return;
    setMark(*ds, ds->FieldByName(kMark).AsString() != "S");
}

void TfrmPesquisaLista::MarkAll(bool marked) {
    TClientDataSet* ds = m_source.DataSet();
    if (!ds || !ds->Active() || ds->IsEmpty()) return;
    int row = ds->CurrentVisibleRow();
    {
        FreezeGuard freeze(*ds);
        for (ds->First(); !ds->Eof(); ds->Next())
            setMark(*ds, marked);
        ds->MoveToVisibleRow(row);
    }
}

void TfrmPesquisaLista::sbtConfirmaClick(TObject* Sender) {
    TfrmRotiGeral::sbtConfirmaClick(Sender);
    SetModalResult(mrOk);
}

bool PesquisaLista(TDataSource* source, const std::string& keyField, const std::string& title, bool,
                   std::string& list) {
    std::string caption = title;
    std::string emptyText = "Não há registros para selecionar.";
    if (auto bar = title.find('|'); bar != std::string::npos) {
        caption = title.substr(0, bar);
        emptyText = title.substr(bar + 1);
    }
    TClientDataSet* ds = source ? source->DataSet() : nullptr;
    if (!ds || !ds->Active() || ds->IsEmpty()) {
        Application::instance().platform().MessageBox(MessageKind::Information, emptyText,
                                                      MessageButtons::Ok);
        return false;
    }
    if (!ds->FindField(kMark) || !ds->FindField(keyField))
        throw std::logic_error("PesquisaLista: the list needs the fields IDMARCADO and " +
                               keyField);

    TField& key = ds->FieldByName(keyField);
    TField& mark = ds->FieldByName(kMark);
    // A list already picked shows as marks; otherwise the dataset's own marks stand.
    if (!list.empty() && list[0] == '_') {
        FreezeGuard freeze(*ds);
        for (ds->First(); !ds->Eof(); ds->Next())
            setMark(*ds, list.find("_" + key.AsString() + "_") != std::string::npos);
    }
    ds->First();

    auto* form = Application::instance().createForm<TfrmPesquisaLista>(nullptr, *source, caption);
    if (form->ShowModal() != mrOk) return false;

    std::string picked;
    {
        FreezeGuard freeze(*ds);
        ds->CheckBrowseMode();
        int row = ds->CurrentVisibleRow();
        for (ds->First(); !ds->Eof(); ds->Next())
            if (mark.AsString() == "S") picked += "_" + key.AsString();
        if (row >= 0) ds->MoveToVisibleRow(row);
    }
    list = picked.empty() ? std::string() : picked + "_";
    return true;
}
