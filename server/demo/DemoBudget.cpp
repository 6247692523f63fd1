#include "server/demo/DemoBudget.h"

#include "server/demo/DemoFigures.h"
#include "server/store/Database.h"
#include "server/store/DayNumber.h"
#include "server/store/Schema.h"
#include "services/data/DecimalRounding.h"

#include <algorithm>
#include <cstdio>

namespace srv {

namespace {

std::vector<std::string> withMonths(std::vector<std::string> columns, const char* prefix) {
    for (int m = 1; m <= 12; ++m)
        columns.push_back(monthColumn(prefix, m));
    return columns;
}

std::string sequenceText(int sequence) {
    char text[16];
    std::snprintf(text, sizeof text, "%010d", sequence);
    return text;
}

Variant textOrNull(const std::string& text) {
    return text.empty() ? Variant() : Variant(text);
}

const char* statusLetter(DemoBudget::Status status) {
    switch (status) {
    case DemoBudget::Status::Effected:
        return "E";
    case DemoBudget::Status::Approved:
        return "A";
    default:
        return "P";
    }
}

} // namespace

DemoBudget::DemoBudget(Database& db)
    : m_headers(
          db, "ORCAMENTOFILIAL",
          {"NRANOORCAOP", "CDVERSORCAOP", "CDFILIAL", "CDOPERADOR", "DTORCAMENTO", "IDSTATUSORCA"}),
      m_items(db, "ITEMORCAMENTO",
              withMonths({"NRANOORCAOP", "CDVERSORCAOP", "CDFILIAL", "IDTIPOORCAOP",
                          "NRSEQITEMORCA", "IDENTRSAIDOP", "CDTIPOOPER", "CDDESPADMFAT",
                          "CDDESPPREV", "CDIMPOSTO", "DTORCAMENTOITEM", "DTMESBASEITEM",
                          "IDSTATUSORCA", "IDITEMORCAMENTO", "IDITEMCALCORCA", "IDALTERADO"},
                         "VRORCAMENTO")),
      m_services(db, "ITEMSERVORCA",
                 withMonths(withMonths({"NRANOORCAOP", "CDVERSORCAOP", "CDFILIAL", "IDTIPOORCAOP",
                                        "CDSERVFILI", "IDITEMORCAMENTO"},
                                       "QTORCAMENTO"),
                            "VRORCAMENTO")) {}

void DemoBudget::header(int year, int version, const std::string& branch, Status status) {
    m_headers.add({std::to_string(year), version, branch, "demo",
                   Variant::fromDate(DayNumber::fromCivil(year - 1, 12, 1)), statusLetter(status)});
}

void DemoBudget::item(int year, int version, const std::string& branch, int sequence,
                      const Line& line, Status status) {
    const char* state = statusLetter(status);
    std::vector<Variant> row = {std::to_string(year),
                                version,
                                branch,
                                std::string(1, line.letter),
                                sequenceText(sequence),
                                line.letter == 'F' ? "E" : "S",
                                textOrNull(line.operation),
                                textOrNull(line.labourType),
                                textOrNull(line.expense),
                                textOrNull(line.tax),
                                Variant::fromDate(DayNumber::fromCivil(year - 1, 12, 1)),
                                line.baseMonth,
                                state,
                                state,
                                textOrNull(line.calculated),
                                "N"};
    for (double v : line.values)
        row.emplace_back(roundMoney(v));
    m_items.add(row);
}

void DemoBudget::branch(int year, int version, int firstMonth, const DemoBranchPlan& plan,
                        Status status, const std::string& effectedLetters) {
    auto statusOf = [&](char letter) {
        if (status == Status::Open && effectedLetters.find(letter) != std::string::npos)
            return Status::Effected;
        return status;
    };
    // Month m of the version lies in the next calendar year when it comes before the first.
    auto calendarYear = [&](int m) { return m >= firstMonth ? year : year + 1; };
    header(year, version, plan.code, status);

    std::vector<Line> lines;
    Months billing{}, consumption{}, labour{};
    for (const auto& s : DemoFigures::services()) {
        std::vector<Variant> row = {
            std::to_string(year),   version, plan.code,
            std::string(1, s.kind), s.code,  statusLetter(statusOf(s.kind))};
        Months quantity{}, value{};
        for (int m = 1; m <= 12; ++m) {
            const int days = DemoFigures::workingDays(calendarYear(m), m, plan.saturdays);
            const double q = roundMoney(DemoFigures::dailyQuantity(s, plan) * days);
            quantity[m - 1] = q;
            value[m - 1] =
                s.kind == 'F'
                    ? roundMoney(q * s.price * (1 + DemoFigures::correctionPercent(m) / 100) +
                                 DemoFigures::adjustment(s, m))
                    : roundMoney(q * s.price);
            (s.kind == 'F' ? billing : consumption)[m - 1] += value[m - 1];
        }
        for (double q : quantity)
            row.emplace_back(q);
        for (double v : value)
            row.emplace_back(v);
        m_services.add(row);
    }
    const Variant baseMonth =
        plan.baseMonth ? Variant::fromDate(DayNumber::fromCivil(year - 1, 10, 1)) : Variant();
    const std::string calculated = plan.manual ? "N" : "S";
    lines.push_back({'F', "", "", "", "", baseMonth, calculated, billing});
    lines.push_back({'C', "", "", "", "", plan.consumptionBaseMonth ? baseMonth : Variant(),
                     calculated, consumption});

    for (const auto& l : plan.labour) {
        Months v{};
        v.fill(roundMoney(l.headcount * l.salary * (1 + l.chargesPercent / 100)));
        for (int m = 0; m < 12; ++m)
            labour[m] += v[m];
        lines.push_back({'O', "", l.type, "", "", Variant(), "", v});
    }
    Months fee{};
    for (int m = 0; m < 12; ++m)
        fee[m] = roundMoney(billing[m] * DemoFigures::feePercent(plan) / 100);
    lines.push_back({'T', "", "", "", "", Variant(), "S", fee});

    for (const std::string& code : plan.taxes) {
        const auto& tax = DemoFigures::tax(code);
        Months v{};
        for (int m = 0; m < 12; ++m) {
            const double profit = billing[m] - consumption[m] - labour[m] - fee[m];
            const double base = tax.kind == 'I'   ? billing[m]
                                : tax.kind == 'R' ? consumption[m]
                                                  : std::max(0.0, profit);
            v[m] = roundMoney(base * tax.percent / 100);
        }
        lines.push_back({tax.kind, "", "", "", code, Variant(), "", v});
    }
    for (const std::string& code : plan.office) {
        Months v{};
        for (int m = 0; m < 12; ++m)
            v[m] = code == "010" ? billing[m] * 0.015 : 1500.0 + 50.0 * plan.size;
        lines.push_back({'M', "", "", code, "", Variant(), "", v});
    }
    for (std::size_t i = 0; i < plan.misc.size(); ++i) {
        Months v{};
        for (int m = 1; m <= 12; ++m) {
            const double winter = (m >= 6 && m <= 8) ? 1.1 : 1.0;
            v[m - 1] = (4500.0 + 150.0 * plan.size) / static_cast<double>(i + 1) * winter;
        }
        lines.push_back({'D', "", "", plan.misc[i], "", Variant(), "", v});
    }
    for (std::size_t i = 0; i < plan.entries.size(); ++i) {
        const auto& e = plan.entries[i];
        Months v{};
        for (int m = 0; m < 12; ++m)
            v[m] = e.operation == "V" ? consumption[m] * 0.03
                                      : (1200.0 + 40.0 * plan.size) / static_cast<double>(i + 1);
        lines.push_back({'E', e.operation, "", e.expense, "", Variant(), "", v});
    }
    Months investment{};
    investment[2] = investment[8] = 5000.0 + 500.0 * plan.size;
    lines.push_back({'N', "", "", "", "", Variant(), "", investment});

    Months depreciation{};
    for (int m = 1; m <= 12; ++m) {
        const int now = calendarYear(m) * 12 + m;
        for (const auto& a : DemoFigures::assets()) {
            const int start = (year + a.startYearOffset) * 12 + a.startMonth;
            if (start <= now && now < start + a.lifeMonths)
                depreciation[m - 1] += a.cost / a.lifeMonths;
        }
    }
    lines.push_back({'P', "", "", "", "", Variant(), "", depreciation});

    int sequence = 0;
    for (const Line& line : lines)
        item(year, version, plan.code, ++sequence, line, statusOf(line.letter));
    flush();
}

void DemoBudget::flush() {
    m_headers.flush();
    m_items.flush();
    m_services.flush();
}

void DemoBudget::generated(int year, int version, const DemoBranchPlan& plan, int items) {
    static constexpr char letters[] = "FCIOTMDERSNP";
    header(year, version, plan.code, Status::Open);
    for (int i = 0; i < items; ++i) {
        Line line;
        line.letter = letters[i % 12];
        switch (line.letter) {
        case 'I':
            line.tax = "01";
            break;
        case 'R':
            line.tax = "04";
            break;
        case 'S':
            line.tax = "06";
            break;
        case 'O':
            line.labourType = "01";
            break;
        case 'M':
        case 'D':
            line.expense = "001";
            break;
        case 'E':
            line.operation = (i / 12) % 2 == 0 ? "V" : "01";
            line.expense = "004";
            break;
        case 'F':
        case 'C':
        case 'T':
            line.calculated = "S";
            break;
        default:
            break;
        }
        for (int m = 0; m < 12; ++m)
            line.values[m] = 1000.0 + 10.0 * i + m + plan.size * 0.25;
        item(year, version, plan.code, i + 1, line, Status::Open);
    }
    flush();
}

} // namespace srv
