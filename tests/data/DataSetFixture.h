#pragma once

#include "services/data/TClientDataSet.h"

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

// Builds datasets from compact descriptions and prints their visible rows, so that tests can
// state a whole dataset as one string.
namespace fixture {

// "CDFILIAL:S4;IDTIPOORCAOP:S1;VR:F;QT:I;DT:D;OK:B" (S text with size, F float, I integer,
// D date, B boolean).
inline std::vector<FieldDef> fields(const std::string& spec) {
    std::vector<FieldDef> out;
    std::stringstream in(spec);
    std::string item;
    while (std::getline(in, item, ';')) {
        const auto colon = item.find(':');
        FieldDef f;
        f.name = item.substr(0, colon);
        const std::string kind = item.substr(colon + 1);
        switch (kind[0]) {
        case 'S':
            f.type = FieldType::String;
            f.size = kind.size() > 1 ? std::stoi(kind.substr(1)) : 0;
            break;
        case 'F':
            f.type = FieldType::Float;
            break;
        case 'I':
            f.type = FieldType::Integer;
            break;
        case 'D':
            f.type = FieldType::DateTime;
            break;
        default:
            f.type = FieldType::Boolean;
            break;
        }
        out.push_back(f);
    }
    return out;
}

inline DataPacket packet(const std::string& spec, std::vector<std::vector<Variant>> rows) {
    DataPacket p;
    p.fields = fields(spec);
    p.rows = std::move(rows);
    return p;
}

// Loads a dataset named `name` from a packet.
inline void load(TClientDataSet& ds, const std::string& spec,
                 std::vector<std::vector<Variant>> rows) {
    ds.SetData(packet(spec, std::move(rows)));
}

// The visible rows, fields joined by " " and rows by "|"; the cursor does not move.
inline std::string rows(const TClientDataSet& ds, const std::string& fieldNames) {
    std::vector<int> idx;
    std::stringstream in(fieldNames);
    std::string name;
    while (std::getline(in, name, ';'))
        idx.push_back(ds.FieldByName(name).Index());
    std::string out;
    for (int r = 0; r < ds.VisibleRowCount(); ++r) {
        if (r) out += '|';
        for (std::size_t i = 0; i < idx.size(); ++i) {
            if (i) out += ' ';
            const Variant& v = ds.RowValue(r, idx[i]);
            out += v.isNull() ? "null" : v.toText();
        }
    }
    return out;
}

// The values of one field walking the dataset with First/Next, as the screens do.
inline std::string walk(TClientDataSet& ds, const std::string& field) {
    std::string out;
    ds.First();
    while (!ds.Eof()) {
        if (!out.empty()) out += ',';
        out += ds.FieldByName(field).AsString();
        ds.Next();
    }
    return out;
}

// Records the dataset's events in order as "BeforeEdit AfterEdit ...".
struct EventLog {
    std::string text;

    void attach(TClientDataSet& ds) {
        auto rec = [this](const char* name) {
            return [this, name](TClientDataSet&) {
                if (!text.empty()) text += ' ';
                text += name;
            };
        };
        ds.BeforeInsert = rec("BeforeInsert");
        ds.AfterInsert = rec("AfterInsert");
        ds.BeforeEdit = rec("BeforeEdit");
        ds.AfterEdit = rec("AfterEdit");
        ds.BeforePost = rec("BeforePost");
        ds.AfterPost = rec("AfterPost");
        ds.BeforeCancel = rec("BeforeCancel");
        ds.AfterCancel = rec("AfterCancel");
        ds.BeforeDelete = rec("BeforeDelete");
        ds.AfterDelete = rec("AfterDelete");
        ds.BeforeScroll = rec("BeforeScroll");
        ds.AfterScroll = rec("AfterScroll");
        ds.OnNewRecord = rec("OnNewRecord");
    }
    std::string take() {
        std::string out = std::move(text);
        text.clear();
        return out;
    }
};

} // namespace fixture
