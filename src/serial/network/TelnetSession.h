#pragma once

#include <cstddef>
#include <string>

struct telnet_t;
union telnet_event_t;

// The Telnet layer of an rfc2217 connection, on libtelnet: option
// negotiation, subnegotiations and the doubling of 0xFF in data. Bytes from
// the server go in; the data bytes among them, what the server reports on the
// COM-PORT-OPTION, and the bytes to send back come out. No socket here, so the
// receive path can be fed anything.
//
// Memory stays bounded whatever a server sends: received data waits in a
// queue that the transport fills only while it is nearly empty, libtelnet cuts
// a subnegotiation at 16 KiB, only the COM-PORT-OPTION's last reports are
// kept (a few bytes each), and answers owed to a server that floods us with
// negotiation, or switches on compression we never agreed to, break the
// session instead of piling up.
class TelnetSession {
public:
    static constexpr unsigned char comPortOption = 44;
    // Answers to the server owed at once beyond this mean a broken server.
    static constexpr std::size_t outputLimit = 4096;

    enum class OptionState { Pending, Accepted, Refused };

    TelnetSession();
    ~TelnetSession();
    TelnetSession(const TelnetSession&) = delete;
    TelnetSession& operator=(const TelnetSession&) = delete;

    // Offers the COM-PORT-OPTION, and binary transmission both ways (so that
    // only 0xFF is ever escaped, and CR travels as itself).
    void Start();
    void Receive(const char* bytes, std::size_t size);
    // Queues data for the server, 0xFF doubled.
    void SendData(const char* data, std::size_t size);
    // Queues IAC SB COM-PORT-OPTION command value IAC SE.
    void SendComPortCommand(unsigned char command, const std::string& value);

    // Received data not yet taken.
    bool TakeByte(char& byte);
    std::size_t DataWaiting() const { return data.size() - taken; }
    // Bytes to send to the server; the caller erases what went out.
    std::string& Output() { return output; }

    // Refused only when the server withdraws the option after taking it up:
    // libtelnet passes over a refusal of our offer without a word.
    OptionState ComPortOptionState() const { return comPort; }
    // The value of the server's last report for a client command (its code
    // less 100), or null when none came since ForgetComPortReports.
    const std::string* ComPortReport(unsigned char command) const;
    void ForgetComPortReports();

    bool Broken() const { return broken; }

private:
    static void OnEvent(telnet_t* telnet, telnet_event_t* event, void* self);
    void Handle(const telnet_event_t& event);
    void Queue(const char* bytes, std::size_t size);

    telnet_t* telnet = nullptr;
    std::string data;
    std::size_t taken = 0;
    std::string output;
    bool receiving = false; // answers produced now are owed to the server
    OptionState comPort = OptionState::Pending;
    static constexpr int reportCount = 13; // commands 0 to 12 of the option
    std::string reports[reportCount];
    bool reported[reportCount] = {};
    bool broken = false;
};
