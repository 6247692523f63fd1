#include "server/store/PasswordHash.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <charconv>
#include <stdexcept>
#include <vector>

namespace srv {

namespace {

constexpr std::string_view kScheme = "pbkdf2-sha256";
constexpr int kHashBytes = 32;
constexpr int kSaltBytes = 16;

std::string toHex(const unsigned char* data, std::size_t size) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 0xF];
    }
    return out;
}

bool fromHex(std::string_view hex, std::vector<unsigned char>& out) {
    if (hex.size() % 2 != 0) return false;
    out.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
        if (ec != std::errc() || end != hex.data() + i + 2) return false;
        out.push_back(static_cast<unsigned char>(value));
    }
    return true;
}

bool derive(std::string_view password, const std::vector<unsigned char>& salt, int iterations,
            unsigned char* out, int outBytes) {
    return PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                             static_cast<int>(salt.size()), iterations, EVP_sha256(), outBytes,
                             out) == 1;
}

std::string compose(std::string_view password, const std::vector<unsigned char>& salt,
                    int iterations) {
    unsigned char hash[kHashBytes];
    if (!derive(password, salt, iterations, hash, kHashBytes))
        throw std::runtime_error("password hashing failed");
    std::string out(kScheme);
    out += '$' + std::to_string(iterations) + '$' + toHex(salt.data(), salt.size()) + '$' +
           toHex(hash, kHashBytes);
    return out;
}

} // namespace

std::string PasswordHash::make(std::string_view password) {
    std::vector<unsigned char> salt(kSaltBytes);
    if (RAND_bytes(salt.data(), kSaltBytes) != 1)
        throw std::runtime_error("no random bytes for a password salt");
    return compose(password, salt, kIterations);
}

std::string PasswordHash::make(std::string_view password, std::string_view salt, int iterations) {
    if (iterations < 1) throw std::invalid_argument("iteration count must be positive");
    return compose(password, std::vector<unsigned char>(salt.begin(), salt.end()), iterations);
}

bool PasswordHash::verify(std::string_view password, std::string_view stored) noexcept {
    try {
        // scheme$iterations$salt$hash
        std::string_view parts[4];
        std::string_view rest = stored;
        for (int i = 0; i < 3; ++i) {
            const auto dollar = rest.find('$');
            if (dollar == std::string_view::npos) return false;
            parts[i] = rest.substr(0, dollar);
            rest.remove_prefix(dollar + 1);
        }
        parts[3] = rest;
        if (parts[0] != kScheme) return false;
        int iterations = 0;
        const auto [end, ec] =
            std::from_chars(parts[1].data(), parts[1].data() + parts[1].size(), iterations);
        // An absurd count in a stored text would stall the login thread: refuse it.
        if (ec != std::errc() || end != parts[1].data() + parts[1].size() || iterations < 1 ||
            iterations > 10'000'000)
            return false;
        std::vector<unsigned char> salt, expected;
        if (!fromHex(parts[2], salt) || !fromHex(parts[3], expected) || expected.empty() ||
            expected.size() > 64)
            return false;
        std::vector<unsigned char> actual(expected.size());
        if (!derive(password, salt, iterations, actual.data(), static_cast<int>(actual.size())))
            return false;
        return CRYPTO_memcmp(actual.data(), expected.data(), expected.size()) == 0;
    } catch (...) {
        return false;
    }
}

} // namespace srv
