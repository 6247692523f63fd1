#include "server/calc/CalcGuard.h"

#include "server/rpc/RpcError.h"
#include "server/store/Database.h"
#include "services/data/BlankTrim.h"

namespace srv {

CalcGuard::CalcGuard(Database& db, const std::string& operatorCode, const std::string& year,
                     int version)
    : m_db(db), m_access(db, operatorCode), m_operator(operatorCode), m_year(year),
      m_version(version) {
    const Variant first = m_db.query("SELECT NRMESINIVERORC FROM VERSAOORCA WHERE CDANOVERORCA "
                                     "= ? AND CDVERSAOORCA = ?",
                                     {Variant(year), Variant(version)})
                              .scalar();
    if (first.isNull())
        throw RpcError("Versão " + std::to_string(version) + " do ano " + year +
                       " não cadastrada.");
    m_firstMonth = first.toInt();
    const std::optional<int> latest = m_access.latestVersion(year);
    if (latest && *latest != version)
        throw RpcError("Somente a última versão do ano " + year + " (" + std::to_string(*latest) +
                       ") pode ser calculada.");
    m_phase = m_access.phase(year);
    if (m_phase && !m_phase->calculationAllowed)
        throw RpcError("Atenção! Fase " + m_phase->name +
                       " não habilitada para cálculo do orçamento.");
}

bool CalcGuard::monthOpen(int month) const {
    return !m_phase || m_phase->monthOpen[static_cast<std::size_t>(month - 1)];
}

std::string CalcGuard::refusal(const std::string& branch) {
    const VisibleBranch* b = m_access.branch(branch);
    if (!b) return "Filial " + branch + " não permitida para o operador " + m_operator + ".";
    if (b->calcAccess != "S")
        return "Gerente não tem permissão para realizar o cálculo do orçamento desta filial. "
               "(filial " +
               branch + ")";
    const Variant status = m_db.query("SELECT IDSTATUSORCA FROM ORCAMENTOFILIAL WHERE "
                                      "NRANOORCAOP = ? AND CDVERSORCAOP = ? AND CDFILIAL = ?",
                                      {Variant(m_year), Variant(m_version), Variant(branch)})
                               .scalar();
    if (!openStatus(status))
        return "O orçamento da filial " + branch + " está " +
               (textTrimmedRight(status) == "E" ? "efetivado" : "aprovado") +
               " e não pode ser alterado.";
    return {};
}

void CalcGuard::requireBranch(const std::string& branch) {
    const std::string why = refusal(branch);
    if (!why.empty()) throw RpcError(why);
}

bool CalcGuard::branchWritable(const std::string& branch) {
    return refusal(branch).empty();
}

bool CalcGuard::openStatus(const Variant& status) {
    const std::string s = textTrimmedRight(status);
    return s != "E" && s != "A";
}

} // namespace srv
