// The shell started without a display, as a real process: what it listens on, what a VNC
// viewer or an X client must know to get in, and a picture taken through its display.

#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/des.h>

#include <QImage>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <netinet/in.h>
#include <regex>
#include <set>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(100ms);
    }
    return done();
}

// A program run by the test with its stderr in a file; stopped (by its id) when it goes.
class Child {
public:
    Child(std::vector<std::string> args, const std::map<std::string, std::string>& env,
          const std::vector<std::string>& unset, std::string errFile)
        : m_errFile(std::move(errFile)) {
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        m_pid = ::fork();
        if (m_pid == 0) {
            for (const auto& name : unset)
                ::unsetenv(name.c_str());
            for (const auto& [name, value] : env)
                ::setenv(name.c_str(), value.c_str(), 1);
            const int err = ::open(m_errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(err, STDERR_FILENO);
            ::dup2(err, STDOUT_FILENO);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~Child() {
        if (running()) {
            ::kill(m_pid, SIGTERM);
            if (!waitUntil([this] { return !running(); }, 5000ms)) ::kill(m_pid, SIGKILL);
        }
        if (!m_reaped) ::waitpid(m_pid, &m_status, 0);
    }
    pid_t pid() const { return m_pid; }
    std::string output() const { return readFile(m_errFile); }
    bool running() {
        if (m_reaped) return false;
        if (::waitpid(m_pid, &m_status, WNOHANG) == m_pid) m_reaped = true;
        return !m_reaped;
    }
    bool exited(std::chrono::milliseconds limit) {
        return waitUntil([this] { return !running(); }, limit);
    }

private:
    pid_t m_pid = -1;
    int m_status = 0;
    bool m_reaped = false;
    std::string m_errFile;
};

// A process that is gone or only waits to be reaped.
bool gone(pid_t pid) {
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t paren = stat.rfind(')');
    return stat.empty() || (paren != std::string::npos && stat.compare(paren + 2, 1, "Z") == 0);
}

std::vector<pid_t> childrenOf(pid_t parent) {
    std::vector<pid_t> out;
    DIR* proc = ::opendir("/proc");
    while (dirent* e = proc ? ::readdir(proc) : nullptr) {
        const pid_t pid = std::atoi(e->d_name);
        if (pid <= 0) continue;
        const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
        const size_t paren = stat.rfind(')');
        if (paren == std::string::npos) continue;
        std::istringstream rest(stat.substr(paren + 2));
        std::string state;
        pid_t ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent) out.push_back(pid);
    }
    if (proc) ::closedir(proc);
    return out;
}

std::set<std::string> socketInodes(pid_t pid) {
    std::set<std::string> out;
    const std::string dir = "/proc/" + std::to_string(pid) + "/fd";
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator(dir, ec)) {
        const std::string target = fs::read_symlink(fd.path(), ec).string();
        if (target.rfind("socket:[", 0) == 0) out.insert(target.substr(8, target.size() - 9));
    }
    return out;
}

struct Listener {
    std::string address;
    int port;
    bool loopback;
};

// The TCP sockets among `inodes` that listen, read from the kernel's tables.
std::vector<Listener> tcpListeners(const std::set<std::string>& inodes) {
    std::vector<Listener> out;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::istringstream lines(readFile(table));
        std::string line;
        std::getline(lines, line); // titles
        while (std::getline(lines, line)) {
            std::istringstream f(line);
            std::string slot, local, remote, state, queues, timer, retr, uid, timeout, inode;
            f >> slot >> local >> remote >> state >> queues >> timer >> retr >> uid >> timeout >>
                inode;
            if (state != "0A" || !inodes.count(inode)) continue;
            const size_t colon = local.find(':');
            const std::string hex = local.substr(0, colon);
            const int port = std::stoi(local.substr(colon + 1), nullptr, 16);
            Listener l{hex, port, false};
            if (hex.size() == 8) {
                in_addr a{};
                a.s_addr = static_cast<in_addr_t>(std::stoul(hex, nullptr, 16));
                char text[INET_ADDRSTRLEN];
                l.address = ::inet_ntop(AF_INET, &a, text, sizeof text);
                l.loopback = (ntohl(a.s_addr) >> 24) == 127;
            } else {
                in6_addr a{};
                for (int word = 0; word < 4; ++word) {
                    const uint32_t v =
                        static_cast<uint32_t>(std::stoul(hex.substr(word * 8, 8), nullptr, 16));
                    std::memcpy(a.s6_addr + word * 4, &v, 4);
                }
                char text[INET6_ADDRSTRLEN];
                l.address = ::inet_ntop(AF_INET6, &a, text, sizeof text);
                l.loopback =
                    IN6_IS_ADDR_LOOPBACK(&a) || (IN6_IS_ADDR_V4MAPPED(&a) && a.s6_addr[12] == 127);
            }
            out.push_back(l);
        }
    }
    return out;
}

// The abstract X11 socket among `inodes` ("/tmp/.X11-unix/X3"), else empty.
std::string x11Socket(const std::set<std::string>& inodes) {
    std::istringstream lines(readFile("/proc/net/unix"));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream f(line);
        std::string num, refs, protocol, flags, type, state, inode, path;
        f >> num >> refs >> protocol >> flags >> type >> state >> inode >> path;
        if (inodes.count(inode) && path.rfind("@/tmp/.X11-unix/X", 0) == 0) return path.substr(1);
    }
    return {};
}

class Socket {
public:
    explicit Socket(int port) {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        timeval t{5, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    explicit Socket(const std::string& abstractPath) {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        timeval t{5, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        abstractPath.copy(a.sun_path + 1, abstractPath.size());
        const auto size =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + abstractPath.size());
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&a), size) == 0;
    }
    ~Socket() { ::close(m_fd); }
    bool connected() const { return m_connected; }
    void send(const std::string& bytes) { (void)!::write(m_fd, bytes.data(), bytes.size()); }
    // Exactly `count` bytes, or fewer when the other side closed or went quiet.
    std::string receive(size_t count) {
        std::string out;
        char buffer[256];
        while (out.size() < count) {
            const ssize_t n = ::read(m_fd, buffer, std::min(sizeof buffer, count - out.size()));
            if (n <= 0) break;
            out.append(buffer, static_cast<size_t>(n));
        }
        return out;
    }

private:
    int m_fd = -1;
    bool m_connected = false;
};

uint32_t bigEndian32(const std::string& bytes) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4 && i < bytes.size(); ++i)
        v = (v << 8) | static_cast<unsigned char>(bytes[i]);
    return v;
}

// The VNC challenge answered with `password`: DES with the password's bits mirrored per byte.
std::string vncResponse(const std::string& challenge, const std::string& password) {
    DES_cblock key{};
    for (size_t i = 0; i < 8 && i < password.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(password[i]), r = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (c & (1 << bit)) r |= static_cast<unsigned char>(0x80 >> bit);
        key[i] = r;
    }
    DES_key_schedule schedule;
    DES_set_key_unchecked(&key, &schedule);
    std::string out(16, '\0');
    for (int block = 0; block < 2; ++block) {
        DES_cblock in, result;
        std::memcpy(in, challenge.data() + block * 8, 8);
        DES_ecb_encrypt(&in, &result, &schedule, DES_ENCRYPT);
        std::memcpy(out.data() + block * 8, result, 8);
    }
    return out;
}

// One RFB 3.8 handshake up to the security result: the security types offered ("2" for VNC
// authentication alone), then the outcome of answering with `choice` and `password`.
struct RfbAttempt {
    std::string offered;
    std::string outcome;
};

RfbAttempt rfbHandshake(int port, int choice, const std::string& password) {
    RfbAttempt attempt;
    Socket s(port);
    if (!s.connected()) return {"", "no connection"};
    const std::string version = s.receive(12);
    if (version.rfind("RFB 003.", 0) != 0) return {"", "not RFB: " + version};
    s.send("RFB 003.008\n");
    const std::string count = s.receive(1);
    if (count.size() != 1) return {"", "closed"};
    for (char type : s.receive(static_cast<unsigned char>(count[0])))
        attempt.offered += (attempt.offered.empty() ? "" : ",") + std::to_string(type);
    s.send(std::string(1, static_cast<char>(choice)));
    if (choice == 2) {
        const std::string challenge = s.receive(16);
        if (challenge.size() != 16) return {attempt.offered, "no challenge"};
        s.send(vncResponse(challenge, password));
    }
    const std::string result = s.receive(4);
    attempt.outcome = result.size() < 4 ? "closed" : bigEndian32(result) == 0 ? "ok" : "failed";
    return attempt;
}

class QtHeadlessShell : public ::testing::Test {
protected:
    QtHeadlessShell() {
        const std::string base =
            (fs::temp_directory_path() /
             ("fyn-headless-" + std::to_string(::getpid()) + "-" +
              std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
                .string();
        fs::create_directories(base);
        dir = base;
    }
    ~QtHeadlessShell() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    std::unique_ptr<Child> startShell(std::vector<std::string> extra,
                                      std::map<std::string, std::string> env = {}) {
        std::vector<std::string> args = {FYN_SHELL_PROGRAM, "--config", dir + "/shell.ini"};
        args.insert(args.end(), extra.begin(), extra.end());
        env["XDG_CONFIG_HOME"] = dir;
        return std::make_unique<Child>(args, env,
                                       std::vector<std::string>{"DISPLAY", "WAYLAND_DISPLAY",
                                                                "QT_QPA_PLATFORM", "XAUTHORITY",
                                                                "FYN_PASSWORD"},
                                       dir + "/shell.err");
    }

    // Waits for the shell's connection hint; fills port and password from it.
    bool readHint(Child& shell) {
        static const std::regex where(R"(VNC server on 127\.0\.0\.1:(\d+) )");
        static const std::regex secret(R"(One-time password: (\S+) )");
        std::smatch m1, m2;
        std::string text;
        const bool seen = waitUntil(
            [&] {
                text = shell.output();
                return std::regex_search(text, m1, where) && std::regex_search(text, m2, secret);
            },
            30000ms);
        if (!seen) return false;
        port = std::stoi(m1[1]);
        password = m2[1];
        return true;
    }

    std::string dir;
    int port = 0;
    std::string password;
};

TEST_F(QtHeadlessShell,
       GivenNoDisplay_WhenTheShellStarts_ThenOnlyLoopbackListensAndViewersNeedTheOneTimePassword) {
    // Nothing answers on this server address, so the shell waits in its login dialog.
    auto shell = startShell({"--server", "127.0.0.1:1", "--operator", "demo"});
    ASSERT_TRUE(readHint(*shell)) << shell->output();
    EXPECT_EQ(password.size(), 8u);
    EXPECT_NE(shell->output().find("ssh -N -L " + std::to_string(port) +
                                   ":localhost:" + std::to_string(port)),
              std::string::npos)
        << shell->output();

    const std::vector<pid_t> servers = childrenOf(shell->pid());
    ASSERT_EQ(servers.size(), 1u) << "one display server under the shell";
    std::set<std::string> inodes = socketInodes(shell->pid());
    for (pid_t pid : servers)
        for (const auto& inode : socketInodes(pid))
            inodes.insert(inode);
    std::string exposed, vncOnLoopback;
    for (const Listener& l : tcpListeners(inodes)) {
        if (!l.loopback) exposed += l.address + ":" + std::to_string(l.port) + " ";
        if (l.loopback && l.port == port) vncOnLoopback = "yes";
    }
    EXPECT_EQ(exposed, "");
    EXPECT_EQ(vncOnLoopback, "yes");

    // A viewer is offered VNC authentication only; skipping it or guessing fails.
    EXPECT_EQ(rfbHandshake(port, 1, "").offered, "2");
    EXPECT_NE(rfbHandshake(port, 1, "").outcome, "ok");
    const RfbAttempt wrong = rfbHandshake(port, 2, "guessed!");
    EXPECT_EQ(wrong.offered + " " + wrong.outcome, "2 failed");
    const RfbAttempt right = rfbHandshake(port, 2, password);
    EXPECT_EQ(right.offered + " " + right.outcome, "2 ok");

    // An X client without the shell's cookie is refused at the connection setup.
    const std::string x11 = x11Socket(socketInodes(servers.front()));
    ASSERT_FALSE(x11.empty());
    Socket x(x11);
    ASSERT_TRUE(x.connected());
    x.send(std::string("l\0\x0b\0\0\0\0\0\0\0\0\0", 12)); // little-endian, 11.0, no authorisation
    EXPECT_EQ(x.receive(1), std::string(1, '\0')) << "connection setup refused";

    // Closing the shell stops its display.
    ::kill(shell->pid(), SIGTERM);
    ASSERT_TRUE(shell->exited(15000ms)) << shell->output();
    // (Its port is not asked: a display started meanwhile may already have taken it.)
    EXPECT_TRUE(waitUntil([&] { return gone(servers.front()); }, 5000ms));
}

TEST_F(QtHeadlessShell,
       GivenNoDisplayAndAPasswordInTheEnvironment_WhenTheShellOpensTheBudget_ThenItIsPhotographed) {
    Child server({FYN_APPSERVER_PROGRAM, "--demo", "--db", ":memory:", "--listen", "127.0.0.1:0"},
                 {}, {}, dir + "/server.err");
    static const std::regex listening(R"(on port (\d+))");
    std::smatch m;
    std::string said;
    ASSERT_TRUE(waitUntil(
        [&] {
            said = server.output();
            return std::regex_search(said, m, listening);
        },
        30000ms))
        << said;
    const std::string picture = std::string(FYN_SCREENSHOT_DIR) + "/FYN10000-vnc-1024x768.png";
    fs::create_directories(FYN_SCREENSHOT_DIR);
    fs::remove(picture);

    auto shell = startShell({"--server", "127.0.0.1:" + m[1].str(), "--operator", "demo", "--open",
                             "FYN10000", "--vnc-size", "1024x768", "--screenshot", picture},
                            {{"FYN_PASSWORD", "demo"}});
    ASSERT_TRUE(readHint(*shell)) << shell->output();
    ASSERT_TRUE(shell->exited(60000ms)) << shell->output();
    const QImage shot(QString::fromStdString(picture));
    ASSERT_FALSE(shot.isNull()) << shell->output();
    // The whole VNC screen, with the logged-in shell on it (the login dialog is far smaller).
    EXPECT_EQ(shot.size(), QSize(1024, 768));
    // The only thing the shell had to say was how to connect: the login went through.
    const std::string output = shell->output();
    EXPECT_EQ(output.find("fyn-shell: ", output.find("fyn-shell: no display") + 1),
              std::string::npos)
        << output;
    std::set<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 7)
        for (int x = 0; x < shot.width(); x += 7)
            colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 20u) << "a picture with windows on it";
}

} // namespace
