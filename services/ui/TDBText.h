#pragma once

#include "services/ui/TControl.h"

#include <memory>
#include <string>

class TDataSource;

// A label showing one field of the data source's current row.
class TDBText : public TControl {
public:
    explicit TDBText(TComponent* owner);
    ~TDBText() override;
    TDataSource* DataSource() const { return m_dataSource; }
    void SetDataSource(TDataSource* source);
    const std::string& DataField() const { return m_dataField; }
    void SetDataField(const std::string& field);
    // The field's display text on the current row ("" without a field).
    std::string Text() const;

private:
    class Link;
    TDataSource* m_dataSource = nullptr;
    std::string m_dataField;
    std::unique_ptr<Link> m_link;
};
