#include "services/data/TDataSource.h"

#include "services/data/DataLink.h"
#include "services/data/DataSetCore.h"
#include "services/data/TClientDataSet.h"

#include <algorithm>

TDataSource::TDataSource(std::string name, TClientDataSet* dataSet) : m_name(std::move(name)) {
    SetDataSet(dataSet);
}

TDataSource::~TDataSource() {
    if (m_dataSet) {
        auto& sources = m_dataSet->m_core->sources;
        sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
    }
}

void TDataSource::SetDataSet(TClientDataSet* dataSet) {
    if (dataSet == m_dataSet) return;
    if (m_dataSet) {
        auto& sources = m_dataSet->m_core->sources;
        sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
    }
    m_dataSet = dataSet;
    if (m_dataSet) m_dataSet->m_core->sources.push_back(this);
    notify(Notice::Active, nullptr);
    notify(Notice::DataSet, nullptr);
}

TDataSetState TDataSource::State() const noexcept {
    return m_dataSet && m_enabled ? m_dataSet->State() : dsInactive;
}

void TDataSource::SetEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    // Controls follow the source as if the dataset had opened or closed.
    const auto links = m_links;
    for (DataLink* l : links)
        l->activeChanged();
    notify(Notice::State, nullptr);
}

void TDataSource::addLink(DataLink* link) {
    if (link && std::find(m_links.begin(), m_links.end(), link) == m_links.end())
        m_links.push_back(link);
}

void TDataSource::removeLink(DataLink* link) {
    m_links.erase(std::remove(m_links.begin(), m_links.end(), link), m_links.end());
}

void TDataSource::notify(Notice notice, TField* field) {
    const TDataSetState state = State();
    const bool stateChanged = state != m_lastState;
    m_lastState = state;
    if (!m_enabled && notice != Notice::State) return;
    const bool held = m_dataSet && m_dataSet->ControlsDisabled();
    const auto links = m_links; // a link may detach while notified
    auto each = [&](auto call) {
        if (held) return;
        for (DataLink* l : links)
            if (std::find(m_links.begin(), m_links.end(), l) != m_links.end()) call(l);
    };
    switch (notice) {
    case Notice::Active:
        each([](DataLink* l) { l->activeChanged(); });
        break;
    case Notice::DataSet:
        each([](DataLink* l) { l->dataSetChanged(); });
        if (OnDataChange && !held) OnDataChange(*this, nullptr);
        break;
    case Notice::Record:
        each([field](DataLink* l) { l->recordChanged(field); });
        if (OnDataChange && !held) OnDataChange(*this, field);
        break;
    case Notice::Scroll:
        each([](DataLink* l) { l->dataSetScrolled(); });
        if (OnDataChange && !held) OnDataChange(*this, nullptr);
        break;
    case Notice::Layout:
        each([](DataLink* l) { l->layoutChanged(); });
        break;
    case Notice::UpdateRecord:
        each([](DataLink* l) { l->updateData(); });
        break;
    case Notice::State:
        break;
    }
    if (stateChanged) {
        each([](DataLink* l) { l->stateChanged(); });
        if (OnStateChange) {
            auto handler = OnStateChange;
            handler(*this);
        }
    }
}
