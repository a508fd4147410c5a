// The network ports against a server of the test's own on 127.0.0.1: the
// contract they share with a local port, their failures, and the
// COM-PORT-OPTION's settings and acknowledgements.
#include "serial/SerialMode.h"
#include "serial/SerialPort.h"
#include "serial/network/NetworkConnection.h"
#include "serial/network/TelnetSession.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <memory>
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

// What a connection sends until needle has come count times, it closes, or 10 s pass
// without a byte (longer than any wait of the client's).
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
    while (!seen() && ::poll(&p, 1, 10000) > 0) {
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
        EXPECT_EQ(port.Write("RC;\r\n\xFF\r", 7), 7);
        // The offers of the Telnet open come first; the server did not take
        // up binary, so a lone CR goes as CR NUL.
        EXPECT_EQ(ReadUntil(server, telnet ? "\r\0"s : "\xFF\r"s),
                  telnet ? "\xFF\xFB\x2C\xFF\xFB\x00\xFF\xFD\x00RC;\r\n\xFF\xFF\r\0"s
                         : "RC;\r\n\xFF\r"s);
        // Either kind refuses a mode without a data size, as a local port does.
        SerialMode mode;
        ASSERT_TRUE(ParseModeString("baud=9600", mode));
        EXPECT_FALSE(port.Apply(mode, error));
        EXPECT_EQ(error, "Invalid argument");
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
    // Cut at 255 characters, a reason still closes its parenthesis.
    const std::string head = ::gai_strerror(EAI_NONAME) + " ("s;
    for (std::size_t length : {255 - head.size() - 11, 256 - head.size() - 11}) {
        const std::string host(length, 'h'), whole = head + host + " port 2217)";
        EXPECT_FALSE(port.Open("socket://" + host + ":2217", error));
        EXPECT_EQ(error, whole.size() == 255 ? whole : whole.substr(0, 251) + "...)");
    }
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

// A connection that comes within ms, or -1.
int AcceptWithin(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0 ? ::accept(fd, nullptr, nullptr) : -1;
}

TEST(NetworkPort, Rfc2217SetsTheLineChecksEachAcknowledgementAndPurges) {
    const std::string doComPort = "\xFF\xFD\x2C", baud9600 = "\x00\x00\x25\x80"s;
    const std::string refused = "the server refused the COM-PORT-OPTION (a plain Telnet server: "
                                "use socket://, or an RFC 2217 accepter)";
    const std::string dataParityStop = Report(2, "\x07") + Report(3, "\x03") + Report(4, "\x02");
    const std::string acks = Report(1, baud9600) + dataParityStop + Report(5, "\x01");
    const std::string purge = "\xFF\xFA\x2C\x0C\x01\xFF\xF0";
    struct Row {
        std::string option; // sent first on each connection
        std::string answer; // to the settings
        std::string error;  // "" when applied; then after the purge "A\r\0\n" comes
        std::string data;   // as read
        int closing = 0;    // connections closed after the option and ser2net's words
        int silentMs = 0;   // before the option
    } rows[] = {
        // Data before the purge's acknowledgement goes; without binary from
        // the server CR NUL is CR.
        {doComPort + "\xFF\xFC\x00\xFF\xFE\x00"s + "AB", acks, "", "A\r\n"},
        // In binary the NUL is data; a two-byte baud rate is the same number.
        {doComPort + "\xFF\xFB\x00\xFF\xFD\x00"s,
         Report(1, "\x25\x80") + dataParityStop + Report(5, "\x01"), "", "A\r\0\n"s},
        // A server that waits before it answers, or closes during the open.
        {doComPort, acks, "", "A\r\n", 0, 2500},
        {doComPort, acks, "", "A\r\n", 1},
        {doComPort, acks, "the server closed the connection: \"Port's device already in use\"", "",
         1000},
        {"", "", "the server sent nothing within 5 s", ""},
        {"\xFF\xFE\x2C", "", refused, ""},
        {doComPort + "\xFF\xFE\x2C", "", refused, ""},
        {doComPort, Report(1, "\x00\x00\x4B\x00"s) + dataParityStop + Report(5, "\x01"),
         "the server set 19200 baud rather than 9600 baud", ""},
        {doComPort,
         Report(1, baud9600) + Report(2, "\x07") + Report(3, "\x01") + Report(4, "\x02") +
             Report(5, "\x01"),
         "the server set no parity rather than even parity", ""},
        {doComPort, Report(1, baud9600) + dataParityStop,
         "no acknowledgement of the flow control within 5 s", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.error + " " + std::to_string(row.silentMs));
        const bool taken = !row.option.empty() && row.error.find("COM-PORT") == std::string::npos &&
                           row.closing <= 1;
        Listener listener;
        std::string settings, purged;
        std::thread server([&] {
            // Until the client gives up calling again.
            for (int client = 0, k = 0; (client = AcceptWithin(listener.fd, k ? 1000 : 6000)) >= 0;
                 ++k) {
                std::this_thread::sleep_for(std::chrono::milliseconds(row.silentMs));
                ::send(client, row.option.data(), row.option.size(), 0);
                if (k < row.closing) {
                    ::send(client, "Port's device already in use\r\n", 30, 0);
                } else if (taken) {
                    settings = ReadUntil(client, "\xFF\xF0", 5);
                    ::send(client, row.answer.data(), row.answer.size(), 0);
                    purged = row.error.empty() ? ReadUntil(client, purge) : "";
                    const std::string after = "stale" + Report(12, "\x01") + "A\r\0\n"s;
                    ::send(client, after.data(), purged.empty() ? 0 : after.size(), 0);
                }
                if (k >= row.closing)
                    ReadUntil(client, "until the client closes");
                ::close(client);
            }
        });
        std::string error;
        auto port = OpenPortTransport(listener.Name("rfc2217"), error);
        ASSERT_TRUE(port) << error;
        SerialMode mode;
        ASSERT_TRUE(ParseModeString("baud=9600 parity=E data=7 stop=2", mode));
        EXPECT_EQ(port->Apply(mode, error), row.error.empty());
        EXPECT_EQ(error, row.error);
        if (row.error.empty()) {
            port->SetTimeouts({1, 500, 1, 100});
            port->DiscardInput();
            std::string data;
            for (char byte = 0; port->ReadByte(byte) == PortTransport::ReadResult::Byte;)
                data += byte;
            EXPECT_EQ(data, row.data);
            EXPECT_NE(purged.find(purge), std::string::npos);
        }
        port.reset();
        server.join();
        if (taken) {
            EXPECT_NE(settings.find("\xFF\xFA\x2C\x01" + baud9600 +
                                    "\xFF\xF0\xFF\xFA\x2C\x02\x07"
                                    "\xFF\xF0\xFF\xFA\x2C\x03\x03\xFF\xF0\xFF\xFA\x2C\x04\x02"
                                    "\xFF\xF0\xFF\xFA\x2C\x05\x01\xFF\xF0"),
                      std::string::npos);
        }
    }
}

TEST(TelnetSession, TakesPartInBinaryGoAheadAndTheOptionOnlyAndReadsBoundedReports) {
    using State = TelnetSession::OptionState;
    const std::string doComPort = "\xFF\xFD\x2C",
                      report = "\xFF\xFA\x2C\x65\x00\x00\x25\x80\xFF\xF0"s;
    const struct {
        std::string received;
        std::string answer;
        State state;
        bool reported; // a report on SET-BAUDRATE kept
    } rows[] = {
        {"\xFF\xFD\x01\xFF\xFB\x01", "\xFF\xFC\x01\xFF\xFE\x01", State::Pending, false},
        {"\xFF\xFB\x03\xFF\xFD\x03\xFF\xFB\x03", "\xFF\xFD\x03\xFF\xFB\x03", State::Pending, false},
        {"\xFF\xFB\x2C", "\xFF\xFE\x2C", State::Pending, false}, // the server's side of it
        // Our requests granted, once or twice, need no answer.
        {"\xFF\xFD\x00\xFF\xFB\x00"s + doComPort + doComPort + report, "", State::Accepted, true},
        {report + doComPort, "", State::Accepted, false}, // before the option was agreed
        {doComPort + "\xFF\xFE\x2C", "\xFF\xFC\x2C", State::Refused, false},
        {"\xFF\xFE\x2C\xFF\xFC\x00"s, "", State::Refused, false},
        // A subnegotiation of 64 bytes is read, one of 65 dropped, one cut
        // off by a command dropped and the command done.
        {doComPort + "\xFF\xFA\x2C\x65" + std::string(62, 'x') + "\xFF\xF0", "", State::Accepted,
         true},
        {doComPort + "\xFF\xFA\x2C\x65" + std::string(63, 'x') + "\xFF\xF0", "", State::Accepted,
         false},
        {doComPort + "\xFF\xFA\x2C\x65\x00\xFF\xFD\x01"s, "\xFF\xFC\x01", State::Accepted, false},
    };
    for (const auto& row : rows) {
        TelnetSession session;
        session.Start();
        session.Output().clear();
        session.Receive(row.received.data(), row.received.size());
        EXPECT_EQ(session.Output(), row.answer) << row.received;
        EXPECT_EQ(session.ComPortOptionState(), row.state) << row.received;
        EXPECT_EQ(session.ComPortReport(1) != nullptr, row.reported) << row.received;
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
    ASSERT_EQ(port.Write("ID;\r\n", 5), 5); // a close before any write is called again
    ::close(server);
    port.DiscardInput(20, 100);
    EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Failed);
}

// As ser2net does while it releases its device after an earlier connection:
// words, then the close, before anything was written. The port connects
// again; once it has written, a close is a hang-up.
TEST(NetworkPort, ASocketClosedBeforeAnyWriteConnectsAgainAndAfterOneHangsUp) {
    auto listener = std::make_unique<Listener>();
    SerialPort port;
    std::string error;
    ASSERT_TRUE(port.Open(listener->Name("socket"), error)) << error;
    ASSERT_TRUE(port.SetTimeouts(1, 300, 1, 100));
    const auto refuse = [&] {
        const int refused = ::accept(listener->fd, nullptr, nullptr);
        ::send(refused, "in use\r\n", 8, 0);
        ::close(refused);
    };
    refuse();
    std::string words;
    char byte = 0;
    while (words.size() < 8 && port.ReadByte(byte) == SerialPort::ReadResult::Byte)
        words += byte;
    EXPECT_EQ(words, "in use\r\n");
    EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::TimedOut); // connected again
    const int server = ::accept(listener->fd, nullptr, nullptr);
    ::send(server, "Z", 1, 0);
    EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Byte);
    EXPECT_EQ(byte, 'Z');
    ASSERT_EQ(port.Write("ID;\r\n", 5), 5);
    EXPECT_EQ(ReadUntil(server, "\n"), "ID;\r\n");
    ::close(server);
    EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Failed);
    pollfd calledAgain{listener->fd, POLLIN, 0};
    EXPECT_EQ(::poll(&calledAgain, 1, 200), 0);

    // A server that is gone by the time it is called again: the read fails.
    ASSERT_TRUE(port.Open(listener->Name("socket"), error)) << error;
    refuse();
    listener.reset();
    port.DiscardInput(20, 1000);
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
