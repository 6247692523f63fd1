#include "server/store/PasswordHash.h"

#include <gtest/gtest.h>

using srv::PasswordHash;

TEST(PasswordHash, GivenAHash_ThenOnlyItsOwnPasswordVerifies) {
    const std::string stored = PasswordHash::make("senha-forte ç");
    EXPECT_TRUE(PasswordHash::verify("senha-forte ç", stored));
    EXPECT_FALSE(PasswordHash::verify("senha-forte c", stored));
    EXPECT_FALSE(PasswordHash::verify("Senha-forte ç", stored));
    EXPECT_FALSE(PasswordHash::verify("", stored));
    EXPECT_EQ(stored.rfind("pbkdf2-sha256$", 0), 0u);
    // A fresh salt each time: the same password never gives the same text.
    const std::string again = PasswordHash::make("senha-forte ç");
    EXPECT_NE(stored, again);
    EXPECT_TRUE(PasswordHash::verify("senha-forte ç", again));
}

TEST(PasswordHash, GivenAFixedSalt_ThenTheHashIsTheKnownPbkdf2Value) {
    // Reference value of PBKDF2-HMAC-SHA256("password", "salt", 1 iteration, 32 bytes).
    EXPECT_EQ(PasswordHash::make("password", "salt", 1),
              "pbkdf2-sha256$1$73616c74$"
              "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b");
    EXPECT_THROW(PasswordHash::make("password", "salt", 0), std::invalid_argument);
}

TEST(PasswordHash, GivenAStoredTextThatIsNotAValidHash_ThenNothingVerifies) {
    const std::string good = PasswordHash::make("x", "salt", 10);
    ASSERT_TRUE(PasswordHash::verify("x", good));
    std::string tampered = good;
    tampered.back() = tampered.back() == '0' ? '1' : '0';
    for (const std::string& bad :
         {tampered, std::string(""), std::string("x"), std::string("plain-password"),
          std::string("pbkdf2-sha256$10$73616c74"), std::string("md5$10$73616c74$00"),
          std::string("pbkdf2-sha256$0$73616c74$00"), std::string("pbkdf2-sha256$-5$73616c74$00"),
          std::string("pbkdf2-sha256$99999999999$73616c74$00"),
          std::string("pbkdf2-sha256$10$zz$00"), std::string("pbkdf2-sha256$10$736$00"),
          std::string("pbkdf2-sha256$10$73616c74$"), good + "00"})
        EXPECT_FALSE(PasswordHash::verify("x", bad)) << bad;
}
