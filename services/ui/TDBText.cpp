#include "services/ui/TDBText.h"

#include "services/data/DataLink.h"
#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"

class TDBText::Link : public DataLink {
public:
    explicit Link(TDBText& text) : m_text(text) {}
    void activeChanged() override { m_text.NotifyChanged(Property::Text); }
    void dataSetChanged() override { m_text.NotifyChanged(Property::Text); }
    void recordChanged(TField*) override { m_text.NotifyChanged(Property::Text); }
    void dataSetScrolled() override { m_text.NotifyChanged(Property::Text); }

private:
    TDBText& m_text;
};

TDBText::TDBText(TComponent* owner) : TControl(owner), m_link(std::make_unique<Link>(*this)) {}

TDBText::~TDBText() {
    if (m_dataSource) m_dataSource->removeLink(m_link.get());
}

void TDBText::SetDataSource(TDataSource* source) {
    if (source == m_dataSource) return;
    if (m_dataSource) m_dataSource->removeLink(m_link.get());
    m_dataSource = source;
    if (m_dataSource) m_dataSource->addLink(m_link.get());
    Changed(Property::Text);
}

void TDBText::SetDataField(const std::string& field) {
    m_dataField = field;
    Changed(Property::Text);
}

std::string TDBText::Text() const {
    TClientDataSet* ds = m_dataSource ? m_dataSource->DataSet() : nullptr;
    if (!ds || !ds->Active() || ds->IsEmpty()) return {};
    TField* field = ds->FindField(m_dataField);
    return field ? field->DisplayText() : std::string();
}
