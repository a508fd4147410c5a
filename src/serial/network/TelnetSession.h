#pragma once

#include "serial/PortNotes.h"

#include <array>
#include <cstddef>
#include <string>
#include <utility>

// The Telnet layer of an rfc2217 connection, only as much of Telnet as the
// COM-PORT-OPTION needs: 0xFF doubled in data both ways; WILL, WONT, DO and
// DONT for BINARY, SUPPRESS-GO-AHEAD and the COM-PORT-OPTION (ours only),
// every other option refused; bounded subnegotiations, of which only the
// COM-PORT-OPTION's are read, once it is agreed; and while a side does not
// send in binary, a lone CR travels as CR NUL. Bytes from the server go in;
// the data bytes among them, what the server reports on the COM-PORT-OPTION,
// and the bytes to send back come out. No socket and no system call here, so
// the receive path can be fed anything and every platform shares it.
//
// Memory stays bounded whatever a server sends: received data waits in a
// queue that the transport fills only while it is nearly empty, a
// subnegotiation keeps at most subnegotiationLimit bytes, only the
// COM-PORT-OPTION's last reports are kept, and answers owed to a server that
// floods us with negotiation break the session instead of piling up.
class TelnetSession {
public:
    static constexpr unsigned char comPortOption = 44;
    // Answers to the server owed at once beyond this mean a broken server.
    static constexpr std::size_t outputLimit = 4096;
    // A longer subnegotiation is no report of the option and is dropped whole.
    static constexpr std::size_t subnegotiationLimit = 64;

    enum class OptionState { Pending, Accepted, Refused };

    // Each Telnet command sent and received, as "telnet-sent" and
    // "telnet-received" with its bytes, and data dropped as "discarded".
    void SetNotes(PortNotes sink) { notes = std::move(sink); }

    // Offers the COM-PORT-OPTION, and binary transmission both ways (so that
    // only 0xFF is ever escaped, and CR travels as itself).
    void Start();
    void Receive(const char* bytes, std::size_t size);
    // Queues data for the server, 0xFF doubled, a lone CR as CR NUL while we
    // do not send in binary.
    void SendData(const char* bytes, std::size_t size);
    // How many bytes SendData makes of bytes[at]: 1, or 2 for an escaped one.
    std::size_t EncodedLength(const char* bytes, std::size_t size, std::size_t at) const;
    // Queues IAC SB COM-PORT-OPTION command value IAC SE.
    void SendComPortCommand(unsigned char command, const std::string& value);

    // Received data not yet taken.
    bool TakeByte(char& byte);
    std::size_t DataWaiting() const { return data.size() - taken; }
    // Drops the data not yet taken, and all data that comes until the
    // server's next report on command: the server sent it before it obeyed.
    void DropDataUntilReport(unsigned char command);
    void StopDropping();
    // Bytes to send to the server; the caller erases what went out.
    std::string& Output() { return output; }

    // Pending until the server takes up or refuses our offer; refused too
    // when it withdraws the option later.
    OptionState ComPortOptionState() const;
    // The value of the server's last report for a client command (its code
    // less 100), or null when none came since ForgetComPortReports.
    const std::string* ComPortReport(unsigned char command) const;
    void ForgetComPortReports();

    // Whether any byte came from the server.
    bool Heard() const { return heard; }
    bool Broken() const { return broken; }

private:
    // An option's state on one side (RFC 1143, without the queue: we never
    // change our mind while a request is open).
    enum class Q : unsigned char { No, Yes, WantYes };
    enum class State { Data, Iac, Option, Sub, SubIac };

    void Take(unsigned char byte);
    void AfterIac(unsigned char byte);
    // Adds a byte to the command's bytes for the notes, which stop at a bound.
    void Keep(unsigned char byte);
    void KeepInSubnegotiation(unsigned char byte);
    void TakeData(unsigned char byte);
    void Negotiate(unsigned char verb, unsigned char option);
    void EndSubnegotiation();
    void Ask(unsigned char verb, unsigned char option);
    void Queue(const std::string& bytes);
    void Note(const char* what, const std::string& bytes) const;
    bool WeSendBinary() const;
    bool TheySendBinary() const;

    PortNotes notes;
    std::string data;
    std::size_t taken = 0;
    std::string output;
    bool receiving = false; // answers produced now are owed to the server
    bool heard = false;
    bool broken = false;

    State state = State::Data;
    unsigned char verb = 0;     // of the option negotiation being read
    std::string command;        // the bytes of the command being read, for the notes
    std::string subnegotiation; // its content, 0xFF undoubled
    bool subnegotiationTooLong = false;
    bool lastWasCr = false; // the server's last data byte, for CR NUL

    std::array<Q, 256> ours{};   // what we do
    std::array<Q, 256> theirs{}; // what the server does

    static constexpr int reportCount = 13; // commands 0 to 12 of the option
    std::array<std::string, reportCount> reports;
    std::array<bool, reportCount> reported{};
    bool dropping = false;
    unsigned char dropUntil = 0;
    std::string dropped; // for the note, cut at outputLimit
};
