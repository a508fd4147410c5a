#include "support/SerialServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Whether something listens on the port: binding it fails then. Nothing
// connects, so the server never opens its device for a probe.
bool Listening(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = Loopback(port);
    const bool taken =
        ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
        errno == EADDRINUSE;
    ::close(s);
    return taken;
}

} // namespace

// Distinct ports: each socket stays bound until all are picked, so the
// kernel cannot hand the same one out twice.
std::vector<int> FreeLoopbackPorts(std::size_t count) {
    std::vector<int> sockets;
    std::vector<int> picked;
    for (std::size_t i = 0; i < count; ++i) {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = Loopback(0);
        socklen_t length = sizeof address;
        int port = 0;
        if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port = ntohs(address.sin_port);
        sockets.push_back(s);
        picked.push_back(port);
    }
    for (int s : sockets)
        ::close(s);
    return picked;
}

int FreeLoopbackPort() {
    return FreeLoopbackPorts(1)[0];
}

std::string SerialServer::Program() {
    for (const char* path : {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"})
        if (::access(path, X_OK) == 0)
            return path;
    return {};
}

std::string SerialServer::PyserialExample() {
    const char* path = "/usr/share/doc/python3-serial/examples/rfc2217_server.py";
    return ::access(path, R_OK) == 0 && ::access("/usr/bin/python3", X_OK) == 0 ? path : "";
}

SerialServer::~SerialServer() {
    Stop();
}

bool SerialServer::Start(const std::vector<Connection>& connections, std::string& error) {
    const std::string program = Program();
    if (program.empty()) {
        error = "ser2net is not installed";
        return false;
    }
    served = connections;
    return LaunchOnFreePorts(
        [&] {
            folder = (fs::temp_directory_path() /
                      ("ser2net_" + std::to_string(::getpid()) + "_" + std::to_string(ports[0])))
                         .string();
            fs::create_directories(folder);
            const std::string config = folder + "/ser2net.yaml";
            std::ofstream out(config);
            out << "%YAML 1.1\n---\n";
            for (std::size_t i = 0; i < served.size(); ++i) {
                // chardelay off: a reply goes on at once, not after two character
                // times; the pseudo-terminal has no modem lines ("local").
                out << "connection: &c" << i << "\n"
                    << "  accepter: "
                    << (served[i].kind == Kind::Rfc2217  ? "telnet(rfc2217),tcp,"
                        : served[i].kind == Kind::Telnet ? "telnet,tcp,"
                                                         : "tcp,")
                    << "127.0.0.1," << ports[i] << "\n"
                    << "  connector: serialdev," << served[i].devicePath << ",19200n81,local\n"
                    << "  options:\n"
                    << "    chardelay: false\n"
                    << "    kickolduser: true\n";
            }
            return std::vector<std::string>{program, "-n",  "-u", "-P", folder + "/ser2net.pid",
                                            "-c",    config};
        },
        error);
}

bool SerialServer::StartPyserial(const std::string& devicePath, std::string& error) {
    const std::string example = PyserialExample();
    if (example.empty()) {
        error = "pyserial's example server is not installed";
        return false;
    }
    served = {{Kind::Rfc2217, devicePath}};
    return LaunchOnFreePorts(
        [&] {
            return std::vector<std::string>{
                "/usr/bin/python3", VORN_PYSERIAL_SERVER, example, "-p", std::to_string(ports[0]),
                devicePath};
        },
        error);
}

// A port picked free can be taken before the server binds it (by another
// test's connection, say); the server then never listens there, so it is
// started again on fresh ports.
bool SerialServer::LaunchOnFreePorts(const std::function<std::vector<std::string>()>& words,
                                     std::string& error) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        ports = FreeLoopbackPorts(served.size());
        if (Launch(words(), error))
            return true;
    }
    return false;
}

bool SerialServer::Launch(const std::vector<std::string>& words, std::string& error) {
    std::vector<char*> argv;
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid = ::fork();
    if (pid == 0) {
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, 1);
        ::dup2(quiet, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        bool all = true;
        for (int port : ports)
            all = all && Listening(port);
        if (all)
            return true;
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            Stop();
            error = words[0] + " ended at start (exit status " + std::to_string(status) + ")";
            return false;
        }
        if (std::chrono::steady_clock::now() > until) {
            error = words[0] + " did not listen within 5 s";
            Stop(true);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void SerialServer::Stop(bool hard) {
    if (pid > 0) {
        ::kill(pid, hard ? SIGKILL : SIGTERM);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }
    if (!folder.empty()) {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        folder.clear();
    }
    ports.clear();
}

std::string SerialServer::PortName(std::size_t i) const {
    return std::string(served[i].kind == Kind::Tcp ? "socket" : "rfc2217") +
           "://127.0.0.1:" + std::to_string(ports[i]);
}
