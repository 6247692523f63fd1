#include "server/store/QueryResult.h"

#include <stdexcept>
#include <strings.h>

namespace srv {

int QueryResult::columnIndex(std::string_view name) const noexcept {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const std::string& c = columns[i].name;
        if (c.size() == name.size() && strncasecmp(c.data(), name.data(), c.size()) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

const Variant& QueryResult::at(std::size_t row, std::string_view column) const {
    return rows.at(row).at(this->column(column));
}

std::size_t QueryResult::column(std::string_view name) const {
    const int index = columnIndex(name);
    if (index < 0) throw std::out_of_range("no column " + std::string(name) + " in the result");
    return static_cast<std::size_t>(index);
}

Variant QueryResult::scalar() const {
    if (rows.empty() || rows.front().empty()) return {};
    return rows.front().front();
}

} // namespace srv
