#pragma once

#include "services/data/TDataSetState.h"

#include <functional>
#include <string>
#include <vector>

class TClientDataSet;
class TField;
class DataLink;

// Connects a dataset to the controls that show it: forwards the dataset's notifications to the
// attached DataLinks and to its own events. A disabled source forwards nothing.
class TDataSource {
public:
    // What a dataset tells its sources (mirrors the DataLink calls).
    enum class Notice { Active, DataSet, Record, Scroll, State, Layout, UpdateRecord };

    explicit TDataSource(std::string name = {}, TClientDataSet* dataSet = nullptr);
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    const std::string& Name() const noexcept { return m_name; }
    TClientDataSet* DataSet() const noexcept { return m_dataSet; }
    void SetDataSet(TClientDataSet* dataSet);
    // The dataset's state; dsInactive without a dataset or while disabled.
    TDataSetState State() const noexcept;
    bool Enabled() const noexcept { return m_enabled; }
    void SetEnabled(bool enabled);

    // Attaches a listener (not owned; it must detach before it dies).
    void addLink(DataLink* link);
    void removeLink(DataLink* link);

    // The state of the dataset changed (or the source was switched to another dataset).
    std::function<void(TDataSource&)> OnStateChange;
    // Data or position changed: field set when one value of the current row changed.
    std::function<void(TDataSource&, TField*)> OnDataChange;

private:
    friend class TClientDataSet;
    friend class DataSetCore;

    void notify(Notice notice, TField* field);

    std::string m_name;
    TClientDataSet* m_dataSet = nullptr;
    bool m_enabled = true;
    TDataSetState m_lastState = dsInactive;
    std::vector<DataLink*> m_links;
};
