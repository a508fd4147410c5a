// The network ports against a server of the test's own on 127.0.0.1: the
// contract they share with a local port, their failures, and the
// COM-PORT-OPTION's settings and acknowledgements.
#include "serial/SerialMode.h"
#include "serial/SerialPort.h"
#include "serial/network/NetworkConnection.h"
#include "serial/network/TelnetSession.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::string_literals;

// A listening socket on 127.0.0.1 at a port the system picks.
struct Listener {
    explicit Listener(int backlog = 4) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(fd, backlog) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port = ntohs(address.sin_port);
    }
    ~Listener() { ::close(fd); }
    std::string Name(const char* scheme) const {
        return scheme + "://127.0.0.1:"s + std::to_string(port);
    }

    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int port = 0;
};

// What a connection sends until needle has come count times, it closes, or 5 s pass.
std::string ReadUntil(int fd, const std::string& needle, int count = 1) {
    std::string received;
    const auto seen = [&] {
        int found = 0;
        for (auto at = received.find(needle); at != std::string::npos;
             at = received.find(needle, at + 1))
            ++found;
        return found >= count;
    };
    char buffer[256];
    pollfd p{fd, POLLIN, 0};
    while (!seen() && ::poll(&p, 1, 5000) > 0) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        received.append(buffer, static_cast<std::size_t>(n));
    }
    return received;
}

// The socket of this process whose peer is the given port.
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

TEST(NetworkPort, BothKindsReadWriteAndEndLikeALocalPort) {
    for (const char* scheme : {"socket", "rfc2217"}) {
        SCOPED_TRACE(scheme);
        const bool telnet = scheme == "rfc2217"s;
        Listener listener;
        SerialPort port;
        std::string error;
        ASSERT_TRUE(port.Open(listener.Name(scheme), error)) << error;
        ASSERT_TRUE(port.SetTimeouts(1, 500, 1, 100));
        const int server = ::accept(listener.fd, nullptr, nullptr);
        int noDelay = 0;
        socklen_t length = sizeof noDelay;
        ASSERT_EQ(::getsockopt(SocketConnectedTo(listener.port), IPPROTO_TCP, TCP_NODELAY, &noDelay,
                               &length),
                  0);
        EXPECT_NE(noDelay, 0);

        char byte = 0;
        EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::TimedOut);
        ::send(server, "Z", 1, 0); // one byte alone, then 0xFF (doubled by Telnet)
        EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Byte);
        EXPECT_EQ(byte, 'Z');
        ::send(server, "\xFF\xFF", telnet ? 2 : 1, 0);
        EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Byte);
        EXPECT_EQ(byte, '\xFF');
        EXPECT_EQ(port.Write("RC;\r\n\xFF", 6), 6);
        // The offers of the Telnet open come first.
        EXPECT_EQ(ReadUntil(server, "RC;\r\n\xFF"),
                  telnet ? "\xFF\xFB\x2C\xFF\xFB\x00\xFF\xFD\x00RC;\r\n\xFF\xFF"s : "RC;\r\n\xFF"s);
        // A server that stops reading: a write gives up at its time-out and
        // says how much went out; once the kernel takes no more, nothing did.
        ASSERT_TRUE(port.SetTimeouts(1, 500, 0, 100));
        const std::string block(1 << 24, 'x');
        EXPECT_LT(port.Write(block.data(), block.size()), static_cast<long>(block.size()));
        long written = 1;
        for (int i = 0; i < 50 && written > 0; ++i)
            written = port.Write(block.data(), 65536);
        EXPECT_EQ(written, 0);
        // Closed by the server: reads fail as on a hung-up line, and writes
        // fail too, without a SIGPIPE that would end this test.
        ::close(server);
        EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Failed);
        for (int i = 0; i < 50 && written >= 0; ++i) {
            written = port.Write("RC;\r\n", 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(written, -1);
    }
}

int NoSuchHost(const char*, const char*, const addrinfo*, addrinfo**) {
    return EAI_NONAME;
}

int SilentNameService(const char*, const char*, const addrinfo*, addrinfo**) {
    std::this_thread::sleep_for(std::chrono::seconds(4));
    return EAI_AGAIN;
}

TEST(NetworkPort, ConnectionsThatCannotBeMadeGiveOneLineReasons) {
    SerialPort port;
    std::string error;
    const std::string closed = Listener().Name("socket"); // nothing listens there now
    EXPECT_FALSE(port.Open(closed, error));
    EXPECT_EQ(error, "Connection refused (127.0.0.1 port " + closed.substr(19) + ")");

    const HostLookup real = hostLookup;
    hostLookup = NoSuchHost;
    EXPECT_FALSE(port.Open("rfc2217://no-such-host:2217", error));
    EXPECT_EQ(error, ::gai_strerror(EAI_NONAME) + " (no-such-host port 2217)"s);
    // A name service that does not answer, then a server that does not
    // accept: each gives up at the connect limit rather than hanging.
    hostLookup = SilentNameService;
    EXPECT_FALSE(port.Open("socket://lab:4001", error));
    EXPECT_EQ(error, "no answer from the name service within 3 s (lab port 4001)");
    hostLookup = real;

    Listener full(0);
    const int filler = ::socket(AF_INET, SOCK_STREAM, 0); // takes the queue's one place
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(full.port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    EXPECT_FALSE(port.Open(full.Name("socket"), error));
    EXPECT_EQ(error, "Connection timed out (127.0.0.1 port " + std::to_string(full.port) +
                         "), no answer within 3 s");
    ::close(filler);
}

// The server's report on a setting: IAC SB 44 (command + 100) value IAC SE.
std::string Report(int command, const std::string& value) {
    return "\xFF\xFA\x2C"s + static_cast<char>(command + 100) + value + "\xFF\xF0";
}

TEST(NetworkPort, Rfc2217SendsTheFourSettingsAndChecksEachAcknowledgement) {
    const std::string doComPort = "\xFF\xFD\x2C", baud9600 = "\x00\x00\x25\x80"s;
    const std::string dataParityStop = Report(2, "\x07") + Report(3, "\x03") + Report(4, "\x02");
    struct Row {
        std::string option; // the answer to the offer of the option
        std::string answer; // to the four settings; "close": the connection is closed
        std::string error;  // "" when applied
    } rows[] = {
        // Data that comes before the acknowledgements waits for the reads.
        {doComPort + "AB", Report(1, baud9600) + dataParityStop, ""},
        // libtelnet passes over a refusal of our offer (see TelnetSession);
        // withdrawing the option once taken up is a refusal.
        {"\xFF\xFE\x2C", "", "no acceptance of the COM-PORT-OPTION within 2 s"},
        {doComPort + "\xFF\xFE\x2C", "", "the server refused the COM-PORT-OPTION"},
        {doComPort, Report(1, "\x00\x00\x4B\x00"s) + dataParityStop,
         "the server set 19200 baud rather than 9600 baud"},
        {doComPort, Report(1, baud9600) + Report(2, "\x07") + Report(3, "\x01") + Report(4, "\x02"),
         "the server set no parity rather than even parity"},
        {doComPort, Report(1, baud9600) + Report(2, "\x07") + Report(3, "\x03"),
         "no acknowledgement of the settings within 2 s"},
        {doComPort, "close", "the server closed the connection"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.error);
        const bool taken = row.error.find("COM-PORT-OPTION") == std::string::npos;
        Listener listener;
        std::string settings;
        std::thread server([&] {
            const int client = ::accept(listener.fd, nullptr, nullptr);
            ::send(client, row.option.data(), row.option.size(), 0);
            if (taken)
                settings = ReadUntil(client, "\xFF\xF0", 4);
            if (row.answer == "close") {
                ::close(client);
                return;
            }
            ::send(client, row.answer.data(), row.answer.size(), 0);
            ReadUntil(client, "until the client closes");
            ::close(client);
        });
        SerialPort port;
        std::string error;
        ASSERT_TRUE(port.Open(listener.Name("rfc2217"), error)) << error;
        SerialMode mode;
        ASSERT_TRUE(ParseModeString("baud=9600", mode)); // no data size: refused as locally
        EXPECT_FALSE(port.Apply(mode, error));
        EXPECT_EQ(error, "Invalid argument");
        ASSERT_TRUE(ParseModeString("baud=9600 parity=E data=7 stop=2", mode));
        EXPECT_EQ(port.Apply(mode, error), row.error.empty());
        if (!row.error.empty()) {
            EXPECT_EQ(error, row.error);
        } else {
            char a = 0, b = 0;
            port.SetTimeouts(1, 500, 1, 100);
            EXPECT_EQ(port.ReadByte(a), SerialPort::ReadResult::Byte);
            EXPECT_EQ(port.ReadByte(b), SerialPort::ReadResult::Byte);
            EXPECT_EQ(std::string({a, b}), "AB");
        }
        port.Close();
        server.join();
        if (taken) {
            EXPECT_NE(settings.find("\xFF\xFA\x2C\x01" + baud9600 +
                                    "\xFF\xF0\xFF\xFA\x2C\x02\x07"
                                    "\xFF\xF0\xFF\xFA\x2C\x03\x03\xFF\xF0\xFF\xFA\x2C\x04\x02"
                                    "\xFF\xF0"),
                      std::string::npos);
        }
    }
}

TEST(NetworkPort, ASocketDiscardDropsWhatWasReceivedAndKeepsTheConnectionsEnd) {
    Listener listener;
    SerialPort port;
    std::string error;
    ASSERT_TRUE(port.Open(listener.Name("socket"), error)) << error;
    ASSERT_TRUE(port.SetTimeouts(1, 500, 1, 100));
    const int server = ::accept(listener.fd, nullptr, nullptr);
    ::send(server, "queued", 6, 0);
    char byte = 0;
    ASSERT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Byte); // the rest waits in the port
    ::send(server, "more", 4, 0);
    pollfd arrived{SocketConnectedTo(listener.port), POLLIN, 0}; // and this in the socket
    ASSERT_EQ(::poll(&arrived, 1, 5000), 1);
    std::thread late([server] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        ::send(server, "late", 4, 0);
    });
    EXPECT_EQ(port.DiscardInput(100, 1000), "late");
    late.join();
    EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::TimedOut);
    ::close(server);
    port.DiscardInput(20, 100);
    EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Failed);
}

TEST(TelnetSession, AnswersOwedUpToTheOutputLimitAndOneMoreBreaksTheSession) {
    TelnetSession session;
    std::string flood; // each DO for an option we do not take is answered by a WONT
    for (std::size_t i = 0; i < TelnetSession::outputLimit / 3; ++i)
        flood += "\xFF\xFD\x01";
    session.Receive(flood.data(), flood.size());
    EXPECT_FALSE(session.Broken());
    session.Receive("\xFF\xFD\x01", 3);
    EXPECT_TRUE(session.Broken());
}

} // namespace
