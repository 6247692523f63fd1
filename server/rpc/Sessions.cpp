#include "server/rpc/Sessions.h"

#include "server/rpc/RpcError.h"
#include "server/store/PasswordHash.h"
#include "server/store/Store.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace srv {

namespace {

// Now as the database keeps dates: days since 30/12/1899, in UTC.
double nowDays() {
    using namespace std::chrono;
    const double seconds = duration<double>(system_clock::now().time_since_epoch()).count();
    return seconds / 86400.0 + 25569.0;
}

std::string newToken() {
    // random_device reads the kernel's generator on Linux: fit for secrets.
    static thread_local std::random_device device;
    std::string token;
    for (int i = 0; i < 4; ++i) {
        char part[9];
        std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(device()));
        token += part;
    }
    return token;
}

bool plausibleToken(std::string_view token) {
    if (token.size() != 32) return false;
    for (char c : token)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

const char* const kBadLogin = "Operador ou senha inválidos.";

std::string waitMessage(long seconds) {
    return "Muitas tentativas de login sem sucesso. Aguarde " + std::to_string(seconds) +
           (seconds == 1 ? " segundo" : " segundos") + " e tente novamente.";
}

} // namespace

Sessions::Sessions(Store& store, std::chrono::seconds lifetime, std::chrono::milliseconds recheck)
    : m_store(store), m_lifetime(lifetime), m_recheck(recheck),
      m_byOperator(5, std::chrono::minutes(5)), m_byAddress(20, std::chrono::minutes(5)) {}

std::string Sessions::decoyHash() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_decoy.empty()) return m_decoy;
    }
    const Variant stored = m_store.read([&](Database& db) {
        return db.query("SELECT DSSENHA FROM OPERADOR ORDER BY CDOPERADOR", {}).scalar();
    });
    std::lock_guard lock(m_mutex);
    m_decoy = stored.isNull() ? PasswordHash::make("") : stored.toText();
    return m_decoy;
}

LoginResult Sessions::login(const std::string& operatorCode, const std::string& password,
                            const std::string& address) {
    long wait = m_byOperator.waitSeconds(operatorCode);
    if (!address.empty()) wait = std::max(wait, m_byAddress.waitSeconds(address));
    if (wait > 0) throw RpcError(waitMessage(wait), RpcError::TooManyRequests);

    QueryResult r = m_store.read([&](Database& db) {
        return db.query("SELECT NMOPERADOR, DSSENHA, IDATIVO FROM OPERADOR WHERE CDOPERADOR = ?",
                        {Variant(operatorCode)});
    });
    // The password is checked whatever the operator's state: answering an unknown or inactive
    // operator sooner would tell who exists.
    const bool known = !r.empty();
    const bool matches =
        PasswordHash::verify(password, known ? r.rows[0][1].toText() : decoyHash());
    if (!known || !matches || r.rows[0][2].toText() == "N") {
        m_byOperator.failed(operatorCode);
        if (!address.empty()) m_byAddress.failed(address);
        throw RpcError(kBadLogin, RpcError::Unauthorized);
    }
    m_byOperator.succeeded(operatorCode);

    LoginResult result{newToken(), r.rows[0][0].toText()};
    const double now = nowDays();
    const double expires = now + static_cast<double>(m_lifetime.count()) / 86400.0;
    m_store.transaction([&](Database& db) {
        db.execute("DELETE FROM SESSAOOPERADOR WHERE DTEXPIRA < ?", {Variant(now)});
        db.execute("INSERT INTO SESSAOOPERADOR (CDSESSAO, CDOPERADOR, DTCRIACAO, DTEXPIRA) "
                   "VALUES (?, ?, ?, ?)",
                   {Variant(result.token), Variant(operatorCode), Variant(now), Variant(expires)});
    });
    std::lock_guard lock(m_mutex);
    m_known[result.token] = {operatorCode, expires, std::chrono::steady_clock::now()};
    return result;
}

std::optional<Sessions::Known> Sessions::readSession(const std::string& token) {
    QueryResult r = m_store.read([&](Database& db) {
        return db.query("SELECT s.CDOPERADOR, s.DTEXPIRA, o.IDATIVO FROM SESSAOOPERADOR s "
                        "JOIN OPERADOR o ON o.CDOPERADOR = s.CDOPERADOR WHERE s.CDSESSAO = ?",
                        {Variant(token)});
    });
    if (r.empty() || r.rows[0][1].toDouble() <= nowDays() || r.rows[0][2].toText() == "N")
        return std::nullopt;
    return Known{r.rows[0][0].toText(), r.rows[0][1].toDouble(), std::chrono::steady_clock::now()};
}

std::optional<std::string> Sessions::operatorFor(std::string_view token) {
    if (!plausibleToken(token)) return std::nullopt;
    const std::string key(token);
    const double now = nowDays();
    {
        std::lock_guard lock(m_mutex);
        auto it = m_known.find(key);
        if (it != m_known.end()) {
            if (it->second.expires <= now) {
                m_known.erase(it);
                return std::nullopt;
            }
            if (std::chrono::steady_clock::now() - it->second.checked < m_recheck)
                return it->second.operatorCode;
        }
    }
    // Unknown here (another instance opened it) or due for a fresh look at its row.
    std::optional<Known> known = readSession(key);
    std::lock_guard lock(m_mutex);
    if (!known) {
        m_known.erase(key);
        return std::nullopt;
    }
    m_known[key] = *known;
    return known->operatorCode;
}

bool Sessions::logout(std::string_view token) {
    if (!plausibleToken(token)) return false;
    const std::string key(token);
    {
        std::lock_guard lock(m_mutex);
        m_known.erase(key);
    }
    long long removed = 0;
    m_store.transaction([&](Database& db) {
        removed = db.execute("DELETE FROM SESSAOOPERADOR WHERE CDSESSAO = ?", {Variant(key)});
    });
    return removed > 0;
}

} // namespace srv
