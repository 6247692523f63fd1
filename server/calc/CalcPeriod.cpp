#include "server/calc/CalcPeriod.h"

#include "server/rpc/RpcError.h"
#include "server/store/DayNumber.h"

#include <cassert>
#include <cmath>

namespace srv {

CalcPeriod::CalcPeriod(int year, int firstMonth) : m_year(year), m_firstMonth(firstMonth) {
    assert(firstMonth >= 1 && firstMonth <= 12);
}

CalcPeriod CalcPeriod::whole(int year, int firstMonth) {
    CalcPeriod p(year, firstMonth);
    p.m_in.fill(true);
    return p;
}

CalcPeriod::CalcPeriod(int year, int firstMonth, const std::string& kind, const Variant& start,
                       const Variant& end)
    : CalcPeriod(year, firstMonth) {
    if (kind == "S" || kind.empty()) {
        m_in.fill(true);
        return;
    }
    if (!start.isNumeric() || !end.isNumeric())
        throw RpcError("Período de cálculo sem data inicial ou final.", RpcError::BadRequest);
    const double from = std::floor(start.toDouble());
    const double to = std::floor(end.toDouble());
    if (from > to)
        throw RpcError("Período de cálculo inválido: a data inicial é posterior à final.",
                       RpcError::BadRequest);
    for (int m = 1; m <= 12; ++m) {
        const double first = firstDay(m);
        m_in[static_cast<std::size_t>(m - 1)] = first >= from && first <= to;
    }
}

bool CalcPeriod::includes(int month) const {
    assert(month >= 1 && month <= 12);
    return m_in[static_cast<std::size_t>(month - 1)];
}

int CalcPeriod::calendarYear(int month) const {
    return month >= m_firstMonth ? m_year : m_year + 1;
}

double CalcPeriod::firstDay(int month) const {
    return DayNumber::fromCivil(calendarYear(month), month, 1);
}

} // namespace srv
