#include "BudgetGenerator.h"

#include <cstdio>

namespace {

const char* kMonths[] = {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN",
                         "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"};
const char kTypes[] = "IOMDERSNP";

} // namespace

std::string branchCode(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", n + 1);
    return buf;
}

DataPacket generateBudget(int branches, int itemsPerBranch) {
    DataPacket p;
    auto add = [&](const char* name, FieldType type, int size = 0) {
        p.fields.push_back(FieldDef{name, type, size});
    };
    add("NRANOORCAOP", FieldType::String, 4);
    add("CDVERSORCAOP", FieldType::Float);
    add("CDFILIAL", FieldType::String, 4);
    add("DTORCAMENTOITEM", FieldType::DateTime);
    add("IDSTATUSORCA", FieldType::String, 1);
    for (const char* m : kMonths)
        add((std::string("VRORCAMENTO") + m).c_str(), FieldType::Float);
    add("IDITEMORCAMENTO", FieldType::String, 1);
    add("NMFILIAL", FieldType::String, 30);
    add("IDTIPOORCAOP", FieldType::String, 1);
    add("IDENTRSAIDOP", FieldType::String, 1);
    add("CDTIPOOPER", FieldType::String, 2);
    add("CDDESPADMFAT", FieldType::String, 2);
    add("CDDESPPREV", FieldType::String, 3);
    add("DTMESBASEITEM", FieldType::DateTime);
    add("NMTIPOOPER", FieldType::String, 30);
    add("DSDESPADMFAT", FieldType::String, 160);
    add("NMDESPPREV", FieldType::String, 50);
    add("IDALTERADO", FieldType::String, 1);
    add("CDIMPOSTO", FieldType::String, 2);
    add("IDACESSOAPROV", FieldType::String, 1);
    add("IDACESSOCALC", FieldType::String, 1);
    add("NRSEQITEMORCA", FieldType::String, 10);
    add("SOMAT", FieldType::Float);
    add("SGIMPOSTO", FieldType::String, 10);
    add("IDCHECK", FieldType::String, 1);

    unsigned seed = 12345;
    auto rnd = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFFF;
    };
    char buf[64];
    p.rows.reserve(static_cast<std::size_t>(branches) * static_cast<std::size_t>(itemsPerBranch));
    for (int b = 0; b < branches; ++b) {
        const std::string code = branchCode(b);
        const std::string name = "Filial " + code + " Regional Sul";
        for (int i = 0; i < itemsPerBranch; ++i) {
            std::vector<Variant> row;
            row.reserve(p.fields.size());
            const char type = kTypes[i % 9];
            row.emplace_back("2009");
            row.emplace_back(1.0);
            row.emplace_back(code);
            row.push_back(Variant::fromDate(39814));
            row.emplace_back("P");
            double sum = 0;
            for (int m = 0; m < 12; ++m) {
                const double v = static_cast<double>(rnd() % 10000000) / 100.0;
                sum += v;
                row.emplace_back(v);
            }
            row.emplace_back("P");
            row.emplace_back(name);
            row.emplace_back(std::string(1, type));
            row.emplace_back("S");
            std::snprintf(buf, sizeof buf, "%02d", i % 12);
            row.emplace_back(type == 'E' ? (i % 2 ? "V" : buf) : buf);
            std::snprintf(buf, sizeof buf, "%02d", i % 30);
            row.emplace_back(buf);
            std::snprintf(buf, sizeof buf, "%03d", i);
            row.emplace_back(buf);
            row.push_back(Variant::fromDate(39814 + i % 12 * 30));
            row.emplace_back(std::string("Operação ") + std::to_string(i % 12));
            row.emplace_back(std::string("Mão de obra direta categoria ") + std::to_string(i % 30));
            row.emplace_back(std::string("Despesa prevista ") + std::to_string(i));
            row.emplace_back("N");
            std::snprintf(buf, sizeof buf, "%02d", i % 7);
            row.emplace_back(buf);
            row.emplace_back("S");
            row.emplace_back("S");
            std::snprintf(buf, sizeof buf, "%010d", b * itemsPerBranch + i + 1);
            row.emplace_back(buf);
            row.emplace_back(sum);
            row.emplace_back(i % 7 == 0 ? "ICMS" : "PIS");
            row.emplace_back("N");
            p.rows.push_back(std::move(row));
        }
    }
    return p;
}
