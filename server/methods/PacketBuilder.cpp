#include "server/methods/PacketBuilder.h"

#include "server/store/Schema.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace srv {

PacketBuilder& PacketBuilder::text(std::string name, int size) {
    m_fields.push_back({std::move(name), FieldType::String, size});
    m_constants.emplace_back();
    return *this;
}

PacketBuilder& PacketBuilder::number(std::string name) {
    m_fields.push_back({std::move(name), FieldType::Float, 0});
    m_constants.emplace_back();
    return *this;
}

PacketBuilder& PacketBuilder::integer(std::string name) {
    m_fields.push_back({std::move(name), FieldType::Integer, 0});
    m_constants.emplace_back();
    return *this;
}

PacketBuilder& PacketBuilder::date(std::string name) {
    m_fields.push_back({std::move(name), FieldType::DateTime, 0});
    m_constants.emplace_back();
    return *this;
}

PacketBuilder& PacketBuilder::months(std::string_view prefix) {
    for (int m = 1; m <= 12; ++m)
        number(monthColumn(prefix, m));
    return *this;
}

PacketBuilder& PacketBuilder::constant(Variant value) {
    m_constants.back() = std::move(value);
    return *this;
}

void PacketBuilder::bind(const QueryResult& columns) {
    m_columns.clear();
    for (const FieldDef& f : m_fields)
        m_columns.push_back(columns.columnIndex(f.name));
}

void PacketBuilder::append(DataPacket& packet, const QueryResult& result, std::size_t row) const {
    const std::vector<Variant>& cells = result.rows[row];
    std::vector<Variant> out;
    out.reserve(m_fields.size());
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const int c = i < m_columns.size() ? m_columns[i] : -1;
        out.push_back(c < 0 ? m_constants[i]
                            : convert(m_fields[i].type, cells[static_cast<std::size_t>(c)]));
    }
    packet.rows.push_back(std::move(out));
}

void PacketBuilder::take(DataPacket& packet, QueryResult& result, std::size_t row) const {
    take(packet, result.rows[row]);
}

void PacketBuilder::take(DataPacket& packet, std::vector<Variant>& cells) const {
    std::vector<Variant> out;
    out.reserve(m_fields.size());
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const int c = i < m_columns.size() ? m_columns[i] : -1;
        out.push_back(
            c < 0 ? m_constants[i]
                  : convert(m_fields[i].type, std::move(cells[static_cast<std::size_t>(c)])));
    }
    packet.rows.push_back(std::move(out));
}

DataPacket PacketBuilder::empty() const {
    DataPacket packet;
    packet.fields = m_fields;
    return packet;
}

DataPacket PacketBuilder::build(const QueryResult& result) {
    bind(result);
    DataPacket packet = empty();
    packet.rows.reserve(result.rows.size());
    for (std::size_t r = 0; r < result.rows.size(); ++r)
        append(packet, result, r);
    return packet;
}

int PacketBuilder::fieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name == name) return static_cast<int>(i);
    throw std::logic_error("packet field not declared: " + std::string(name));
}

Variant PacketBuilder::convert(FieldType type, Variant&& cell) {
    const VarType t = cell.type();
    if (t == VarType::Null || (type == FieldType::String && t == VarType::Text) ||
        (type == FieldType::Float && t == VarType::Double))
        return std::move(cell);
    return convert(type, static_cast<const Variant&>(cell));
}

Variant PacketBuilder::convert(FieldType type, const Variant& cell) {
    if (cell.isNull()) return cell;
    switch (type) {
    case FieldType::String:
        if (cell.type() == VarType::Text) return cell;
        if (cell.type() == VarType::Integer) return Variant(std::to_string(cell.toInt()));
        return Variant(formatCDouble(cell.toDouble()));
    case FieldType::Integer:
        return Variant(cell.toInt());
    case FieldType::Float:
        return Variant(cell.toDouble());
    case FieldType::Boolean:
        return Variant(cell.toBool());
    case FieldType::DateTime:
        return Variant::fromDate(cell.type() == VarType::Text ? parseCDouble(cell.textView())
                                                              : cell.toDouble());
    }
    return cell;
}

std::string PacketBuilder::formatDate(const Variant& days) {
    if (days.isNull()) return {};
    // Civil date from a day count (days from 1970-01-01 shifted to the 30/12/1899 origin).
    long z = static_cast<long>(std::floor(days.toDouble())) - 25569 + 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const long d = doy - (153 * mp + 2) / 5 + 1;
    const long m = mp < 10 ? mp + 3 : mp - 9;
    const long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    char buf[80];
    std::snprintf(buf, sizeof buf, "%02ld/%02ld/%04ld", d, m, y);
    return buf;
}

} // namespace srv
