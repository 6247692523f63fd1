#pragma once

#include <string>
#include <string_view>

namespace srv {

// Salted PBKDF2-HMAC-SHA256 password hashes, stored as one text:
//     pbkdf2-sha256$<iterations>$<salt, hex>$<hash, hex>
// so that the iteration count can grow later without breaking stored hashes.
class PasswordHash {
public:
    static constexpr int kIterations = 60000;

    // A new hash of `password` with a fresh random salt.
    static std::string make(std::string_view password);
    // Same, with a given salt and count (tests, deterministic fixtures).
    static std::string make(std::string_view password, std::string_view salt, int iterations);
    // True when `password` matches `stored`; false for a wrong password and for a stored text
    // that is not a hash of this form (never throws). Compares in constant time.
    static bool verify(std::string_view password, std::string_view stored) noexcept;
};

} // namespace srv
