#include "services/ui/TfrmProcura.h"

#include "services/data/TClientDataSet.h"
#include "services/lib/Consiste.h"
#include "services/ui/Application.h"
#include "services/ui/TComboBox.h"
#include "services/ui/TLabel.h"

TfrmProcura::TfrmProcura(TComponent* owner, TClientDataSet& dataSet)
    : TfrmRotiGeral(owner), m_dataSet(dataSet) {
    SetName("frmProcura");
    SetCaption("Procurar");
    SetBounds(0, 0, 420, 170);
    lblCampo = Add<TLabel>("lblCampo", this);
    lblCampo->SetCaption("Campo");
    lblCampo->SetBounds(12, 12, 80, 16);
    cbxCampo = Add<TComboBox>("cbxCampo", this);
    cbxCampo->SetStyle(csDropDownList);
    cbxCampo->SetBounds(12, 30, 390, 24);
    lblValor = Add<TLabel>("lblValor", this);
    lblValor->SetCaption("Valor");
    lblValor->SetBounds(12, 62, 80, 16);
    edtValor = Add<TEdit>("edtValor", this);
    edtValor->SetBounds(12, 80, 390, 24);
    std::vector<std::string> labels;
    for (TField* f : m_dataSet.Fields()) {
        if (!f->Visible()) continue;
        m_fieldNames.push_back(f->FieldName());
        labels.push_back(f->DisplayName());
    }
    cbxCampo->SetItems(labels);
    if (!labels.empty()) cbxCampo->SetItemIndex(0);
    cbxCampo->SetTabOrder(0);
    edtValor->SetTabOrder(1);
}

void TfrmProcura::sbtConfirmaClick(TObject* Sender) {
    TfrmRotiGeral::sbtConfirmaClick(Sender);
    int index = cbxCampo->ItemIndex();
    if (index < 0) {
        cbxCampo->SetFocus();
        MensErro("Informe o campo da pesquisa.");
    }
    if (EmptyString(edtValor->Text())) {
        edtValor->SetFocus();
        MensErro("Informe o valor a procurar.");
    }
    LocateOptions options;
    options.caseInsensitive = true;
    options.partialKey = true;
    if (!m_dataSet.Locate(m_fieldNames[static_cast<std::size_t>(index)],
                          {Variant(edtValor->Text())}, options)) {
        edtValor->SetFocus();
        MensErro("Registro não encontrado.");
    }
    SetModalResult(mrOk);
}

bool Procura(TClientDataSet* dataSet) {
    if (!dataSet || !dataSet->Active() || dataSet->IsEmpty()) return false;
    auto* form = Application::instance().createForm<TfrmProcura>(nullptr, *dataSet);
    return form->ShowModal() == mrOk;
}
