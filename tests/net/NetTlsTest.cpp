#include "services/net/Login.h"
#include "services/net/TNetConnection.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <filesystem>
#include <thread>

namespace {

// A throw-away self-signed certificate for 127.0.0.1, and an HTTPS server on loopback using it.
class TlsServer {
public:
    TlsServer() {
        m_key = EVP_EC_gen("prime256v1");
        m_cert = X509_new();
        X509_set_version(m_cert, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(m_cert), 1);
        X509_gmtime_adj(X509_getm_notBefore(m_cert), -60);
        X509_gmtime_adj(X509_getm_notAfter(m_cert), 3600);
        X509_set_pubkey(m_cert, m_key);
        X509_NAME* name = X509_get_subject_name(m_cert);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
        X509_set_issuer_name(m_cert, name);
        X509V3_CTX ctx;
        X509V3_set_ctx_nodb(&ctx);
        X509V3_set_ctx(&ctx, m_cert, m_cert, nullptr, nullptr, 0);
        X509_EXTENSION* san =
            X509V3_EXT_conf_nid(nullptr, &ctx, NID_subject_alt_name, "IP:127.0.0.1");
        X509_add_ext(m_cert, san, -1);
        X509_EXTENSION_free(san);
        X509_sign(m_cert, m_key, EVP_sha256());

        m_certFile = (std::filesystem::temp_directory_path() /
                      ("net-tls-" + std::to_string(::getpid()) + ".pem"))
                         .string();
        FILE* out = std::fopen(m_certFile.c_str(), "w");
        PEM_write_X509(out, m_cert);
        std::fclose(out);

        m_server = std::make_unique<httplib::SSLServer>(m_cert, m_key);
        m_server->Post("/login", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"ok":true,"token":"t","name":"Demo"})", "application/json");
        });
        m_server->Post(R"(/rpc/(.+))", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"ok":true,"result":{"type":"text","value":"seguro"}})",
                            "application/json");
        });
        m_port = m_server->bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server->listen_after_bind(); });
        while (!m_server->is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~TlsServer() {
        m_server->stop();
        m_thread.join();
        std::filesystem::remove(m_certFile);
        X509_free(m_cert);
        EVP_PKEY_free(m_key);
    }

    int port() const { return m_port; }
    const std::string& certFile() const { return m_certFile; }

private:
    EVP_PKEY* m_key = nullptr;
    X509* m_cert = nullptr;
    std::string m_certFile;
    std::unique_ptr<httplib::SSLServer> m_server;
    int m_port = 0;
    std::thread m_thread;
};

} // namespace

TEST(NetTls, GivenAnHttpsServerWithATrustedCertificate_WhenCallingAndLoggingIn_ThenBothSucceed) {
    TlsServer server;
    TNetConnection net;
    net.ServerName = "FYN10000.rdmCalcOrcaOper";
    net.Token = "t";
    net.Host = "https://127.0.0.1";
    net.Port = server.port();
    net.CaCertFile = server.certFile();

    const RemoteResult r = net.AppServer("GetParametro", {});
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.result, Variant("seguro"));

    const LoginResult login =
        Login("https://127.0.0.1", server.port(), "demo", "demo", 2000, server.certFile());
    EXPECT_TRUE(login.ok) << login.error;
}

TEST(NetTls, GivenAnHttpsServerWhoseCertificateIsNotTrusted_WhenCalling_ThenTheCallIsRefused) {
    TlsServer server;
    TNetConnection net;
    net.ServerName = "FYN10000.rdmCalcOrcaOper";
    net.Token = "t";
    net.Host = "https://127.0.0.1";
    net.Port = server.port();

    const RemoteResult r = net.AppServer("GetParametro", {});

    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "Conexão segura com o servidor de aplicação em 127.0.0.1:" +
                           std::to_string(server.port()) + " recusada.");
}
