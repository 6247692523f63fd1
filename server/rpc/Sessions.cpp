#include "server/rpc/Sessions.h"

#include "server/rpc/RpcError.h"
#include "server/store/PasswordHash.h"
#include "server/store/Store.h"

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

} // namespace

Sessions::Sessions(Store& store, std::chrono::seconds lifetime)
    : m_store(store), m_lifetime(lifetime) {}

LoginResult Sessions::login(const std::string& operatorCode, const std::string& password) {
    QueryResult r = m_store.read([&](Database& db) {
        return db.query("SELECT NMOPERADOR, DSSENHA, IDATIVO FROM OPERADOR WHERE CDOPERADOR = ?",
                        {Variant(operatorCode)});
    });
    if (r.empty() || r.rows[0][2].toText() == "N" ||
        !PasswordHash::verify(password, r.rows[0][1].toText()))
        throw RpcError(kBadLogin, RpcError::Unauthorized);

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
    m_known[result.token] = {operatorCode, expires};
    return result;
}

std::optional<std::string> Sessions::operatorFor(std::string_view token) {
    if (!plausibleToken(token)) return std::nullopt;
    const std::string key(token);
    const double now = nowDays();
    {
        std::lock_guard lock(m_mutex);
        auto it = m_known.find(key);
        if (it != m_known.end()) {
            if (it->second.expires > now) return it->second.operatorCode;
            m_known.erase(it);
            return std::nullopt;
        }
    }
    // Another server instance may have opened it.
    QueryResult r = m_store.read([&](Database& db) {
        return db.query("SELECT CDOPERADOR, DTEXPIRA FROM SESSAOOPERADOR WHERE CDSESSAO = ?",
                        {Variant(key)});
    });
    if (r.empty() || r.rows[0][1].toDouble() <= now) return std::nullopt;
    Known known{r.rows[0][0].toText(), r.rows[0][1].toDouble()};
    std::lock_guard lock(m_mutex);
    m_known[key] = known;
    return known.operatorCode;
}

} // namespace srv
