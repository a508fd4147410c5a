// The network ports against a server of the test's own on 127.0.0.1: the
// contract they share with a local port, their failures, and the
// COM-PORT-OPTION's settings and acknowledgements.
#include "platform/NetworkConnection.h"
#include "platform/SerialMode.h"
#include "platform/SerialPort.h"
#include "platform/TelnetSession.h"

#include <arpa/inet.h>
#include <condition_variable>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::string_literals;

// A listening socket on 127.0.0.1 at a port the system picks; Serve runs a
// script on the first connection, on a thread of its own.
class LoopbackServer {
public:
    explicit LoopbackServer(int backlog = 4) {
        listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(listener, backlog) == 0 &&
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port = ntohs(address.sin_port);
    }
    ~LoopbackServer() {
        if (script.joinable())
            script.join();
        if (client >= 0)
            ::close(client);
        ::close(listener);
    }

    std::string Name(const char* scheme) const {
        return std::string(scheme) + "://127.0.0.1:" + std::to_string(port);
    }
    void Serve(const std::function<void(LoopbackServer&)>& steps) {
        script = std::thread([this, steps] {
            client = ::accept(listener, nullptr, nullptr);
            steps(*this);
        });
    }
    void Send(const std::string& bytes) { ::send(client, bytes.data(), bytes.size(), 0); }
    // Reads until the bytes received end with (or hold) needle, at most 5 s.
    std::string ReadUntil(const std::string& needle, int count = 1) {
        std::string received;
        auto seen = [&] {
            int found = 0;
            for (auto at = received.find(needle); at != std::string::npos;
                 at = received.find(needle, at + needle.size()))
                ++found;
            return found >= count;
        };
        while (!seen()) {
            pollfd p{client, POLLIN, 0};
            char buffer[256];
            if (::poll(&p, 1, 5000) <= 0)
                break;
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            received.append(buffer, static_cast<std::size_t>(n));
        }
        return received;
    }
    void Close() {
        ::close(client);
        client = -1;
    }

    int listener = -1;
    int client = -1;
    int port = 0;
    std::thread script;
};

// The socket of this process that is connected to the given port.
int SocketConnectedTo(int port) {
    for (int fd = 3; fd < 1024; ++fd) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0 &&
            peer.sin_family == AF_INET && ntohs(peer.sin_port) == port)
            return fd;
    }
    return -1;
}

const std::string iac = "\xFF";
const std::string doComPort = "\xFF\xFD\x2C";
const std::string subnegotiationEnd = "\xFF\xF0";

TEST(NetworkPort, BothKindsReadWriteAndEndLikeALocalPort) {
    for (const char* scheme : {"socket", "rfc2217"}) {
        SCOPED_TRACE(scheme);
        const bool telnet = std::string(scheme) == "rfc2217";
        LoopbackServer server;
        std::mutex mutex;
        std::condition_variable step;
        int stage = 0;
        std::string written;
        server.Serve([&](LoopbackServer& s) {
            std::unique_lock<std::mutex> lock(mutex);
            step.wait(lock, [&] { return stage == 1; });
            s.Send(telnet ? "Z\xFF\xFF" : "Z\xFF");
            written = s.ReadUntil("RC;\r\n\xFF");
            s.Close();
        });
        SerialPort port;
        std::string error;
        ASSERT_TRUE(port.Open(server.Name(scheme), error)) << error;
        ASSERT_TRUE(port.SetTimeouts(1, 500, 1, 100));
        const int fd = SocketConnectedTo(server.port);
        int noDelay = 0;
        socklen_t length = sizeof noDelay;
        ASSERT_EQ(::getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, &length), 0);
        EXPECT_NE(noDelay, 0);

        char byte = 0;
        EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::TimedOut);
        {
            std::lock_guard<std::mutex> lock(mutex);
            stage = 1;
        }
        step.notify_one();
        EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Byte);
        EXPECT_EQ(byte, 'Z');
        EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Byte);
        EXPECT_EQ(byte, '\xFF'); // doubled on the Telnet connection
        EXPECT_EQ(port.Write("RC;\r\n\xFF", 6), 6);
        server.script.join();
        // Telnet doubles 0xFF in data; the offers of the open come first.
        EXPECT_EQ(written,
                  telnet ? "\xFF\xFB\x2C\xFF\xFB\x00\xFF\xFD\x00RC;\r\n\xFF\xFF"s : "RC;\r\n\xFF"s);
        // Closed by the server: reads fail as on a hung-up line, and writes
        // fail too, without a SIGPIPE that would end this test.
        EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Failed);
        long result = 0;
        for (int i = 0; i < 50 && result >= 0; ++i) {
            result = port.Write("RC;\r\n", 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(result, -1);
    }
}

int NoSuchHost(const char*, const char*, const addrinfo*, addrinfo**) {
    return EAI_NONAME;
}

std::mutex lookupMutex;
std::condition_variable lookupRelease;
bool lookupReleased = false;

int HangingLookup(const char*, const char*, const addrinfo*, addrinfo**) {
    std::unique_lock<std::mutex> lock(lookupMutex);
    lookupRelease.wait(lock, [] { return lookupReleased; });
    return EAI_AGAIN;
}

TEST(NetworkPort, ConnectionsThatCannotBeMadeGiveOneLineReasons) {
    SerialPort port;
    std::string error;
    int refusedPort = 0;
    {
        LoopbackServer closed; // bound, then closed: nothing listens there
        refusedPort = closed.port;
    }
    EXPECT_FALSE(port.Open("socket://127.0.0.1:" + std::to_string(refusedPort), error));
    EXPECT_EQ(error, "Connection refused (127.0.0.1 port " + std::to_string(refusedPort) + ")");

    const HostLookup real = hostLookup;
    hostLookup = NoSuchHost;
    EXPECT_FALSE(port.Open("rfc2217://no-such-host:2217", error));
    EXPECT_EQ(error, std::string(::gai_strerror(EAI_NONAME)) + " (no-such-host port 2217)");

    // A name service that never answers, then a server that never accepts:
    // each gives up within the connect limit rather than hanging.
    hostLookup = HangingLookup;
    EXPECT_FALSE(port.Open("socket://lab:4001", error));
    EXPECT_EQ(error, "no answer from the name service within 3 s (lab port 4001)");
    {
        std::lock_guard<std::mutex> lock(lookupMutex);
        lookupReleased = true;
    }
    lookupRelease.notify_all();
    hostLookup = real;

    LoopbackServer full(0);
    const int filler = ::socket(AF_INET, SOCK_STREAM, 0); // takes the one place in the queue
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(full.port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    EXPECT_FALSE(port.Open(full.Name("socket"), error));
    EXPECT_EQ(error, "Connection timed out (127.0.0.1 port " + std::to_string(full.port) +
                         "), no answer within 3 s");
    ::close(filler);
    EXPECT_FALSE(port.IsOpen());
}

// The server's acknowledgement of one setting: IAC SB 44 (command + 100) value IAC SE.
std::string Report(int command, const std::string& value) {
    return "\xFF\xFA\x2C" + std::string(1, static_cast<char>(command + 100)) + value +
           subnegotiationEnd;
}

TEST(NetworkPort, Rfc2217SendsTheFourSettingsAndChecksEachAcknowledgement) {
    const std::string baud9600("\x00\x00\x25\x80", 4);
    const std::string acks =
        Report(1, baud9600) + Report(2, "\x07") + Report(3, "\x03") + Report(4, "\x02");
    struct Row {
        std::string answer; // to the four settings, after the option
        std::string option; // to the offer of the option
        std::string error;  // "" when applied
    } rows[] = {
        {acks, doComPort, ""},
        // A refusal of the offer reads as silence (see TelnetSession); a
        // withdrawal after taking it up is a refusal.
        {"", "\xFF\xFE\x2C", "no acceptance of the COM-PORT-OPTION within 2 s"},
        {"", doComPort + "\xFF\xFE\x2C", "the server refused the COM-PORT-OPTION"},
        {Report(1, std::string("\x00\x00\x4B\x00", 4)) + Report(2, "\x07") + Report(3, "\x03") +
             Report(4, "\x02"),
         doComPort, "the server set 19200 baud rather than 9600 baud"},
        {Report(1, baud9600) + Report(2, "\x07") + Report(3, "\x02") + Report(4, "\x02"), doComPort,
         "the server set odd parity rather than even parity"},
        {Report(1, baud9600) + Report(2, "\x07") + Report(3, "\x03"), doComPort,
         "no acknowledgement of the settings within 2 s"},
        {"close", doComPort, "the server closed the connection"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.error);
        LoopbackServer server;
        std::string settings;
        server.Serve([&](LoopbackServer& s) {
            s.Send(row.option);
            if (row.option != doComPort) {
                s.ReadUntil("never sent"); // until the client closes
                return;
            }
            settings = s.ReadUntil(subnegotiationEnd, 4);
            if (row.answer == "close") {
                s.Close();
                return;
            }
            s.Send(row.answer);
            s.ReadUntil("never sent"); // until the client closes
        });
        SerialPort port;
        std::string error;
        ASSERT_TRUE(port.Open(server.Name("rfc2217"), error)) << error;
        SerialMode mode;
        ASSERT_TRUE(ParseModeString("baud=9600 parity=E data=7 stop=2", mode));
        EXPECT_EQ(port.Apply(mode, error), row.error.empty());
        if (!row.error.empty()) {
            EXPECT_EQ(error, row.error);
        }
        port.Close();
        server.script.join();
        if (row.option == doComPort) {
            EXPECT_NE(settings.find("\xFF\xFA\x2C\x01" + baud9600 +
                                    "\xFF\xF0\xFF\xFA\x2C\x02\x07"
                                    "\xFF\xF0\xFF\xFA\x2C\x03\x03\xFF\xF0\xFF\xFA\x2C\x04\x02"
                                    "\xFF\xF0"),
                      std::string::npos);
        }
    }
}

TEST(TelnetSession, KeepsDataAndReportsAndBreaksOnWhatNoSerialServerSends) {
    TelnetSession session;
    session.Start();
    session.Output().clear();
    session.Receive("A\xFF\xFF"
                    "B\xFF\xFD\x2C",
                    7);
    std::string data;
    for (char byte = 0; session.TakeByte(byte);)
        data += byte;
    EXPECT_EQ(data, "A\xFF"
                    "B");
    EXPECT_EQ(session.ComPortOptionState(), TelnetSession::OptionState::Accepted);
    // Reports for commands 0 to 12 are kept, cut to four bytes; 13 is none.
    const std::string reports =
        Report(12, "\x01") + Report(13, "\x01") + Report(1, std::string("\x00\x00\x4B\x00\x99", 5));
    session.Receive(reports.data(), reports.size());
    ASSERT_NE(session.ComPortReport(12), nullptr);
    EXPECT_EQ(session.ComPortReport(13), nullptr);
    ASSERT_NE(session.ComPortReport(1), nullptr);
    EXPECT_EQ(*session.ComPortReport(1), std::string("\x00\x00\x4B\x00", 4));
    session.ForgetComPortReports();
    EXPECT_EQ(session.ComPortReport(1), nullptr);

    // Each DO for an option we do not take is answered with WONT, three bytes:
    // answers up to the limit are owed, one more breaks the session.
    std::string flood;
    for (std::size_t i = 0; i < TelnetSession::outputLimit / 3; ++i)
        flood += "\xFF\xFD\x01";
    session.Receive(flood.data(), flood.size());
    EXPECT_FALSE(session.Broken());
    session.Receive("\xFF\xFD\x01", 3);
    EXPECT_TRUE(session.Broken());

    TelnetSession compressed;
    const std::string start = "\xFF\xFA\x56\xFF\xF0";
    compressed.Receive(start.data(), start.size());
    EXPECT_TRUE(compressed.Broken());
    EXPECT_EQ(TelnetSession().Broken(), false);
}

} // namespace
