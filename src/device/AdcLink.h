#pragma once

#include <cstdint>
#include <string>

// The device link: the one serial port of the process and every controller
// command the program builds. Free operations over process-wide state (the
// open port or none, and the wavelength range). Every operation blocks the
// calling thread until its exchange has finished. Operations return true on
// success; those that can explain a failure write a one-line reason into the
// caller's errorText, and only on failure.
namespace AdcLink {

// Serial port link.
bool OpenPort(const std::string& portName, std::string& modeString, std::string& errorText);
// The system's error number behind the latest OpenPort's failure (ENOENT,
// EBUSY, ...); 0 after a success or a failure the system gave no number for.
int OpenErrorNumber();
bool IsPortOpen();
bool ClosePort();
bool SendCommand(std::string command);
// A line that reaches 4096 bytes fails; the rest of it, up to and including its
// LF, is then discarded (at most another 4096 bytes) so the next read starts in step.
// Such a line whose LF came and whose last byte before it (CR aside) is ";" is
// the echo: the reply line is then read as after any echo.
bool ReadReply(std::string& reply);
// A record of the conversation from now on (see ConversationLog): every byte
// sent and received, appended to the file at path and flushed at each line.
// An empty path ends the record. False, with a one-line reason, when the file
// cannot be opened; the link then works on without a record.
bool StartLog(const std::string& path, std::string& errorText);
// What ReadReply has found since the process started, for a caller that
// wants to tell how an operation's exchanges went by counting before and
// after it: reply lines delivered, and reads that failed because nothing but
// an echo line came before the time-out (a silent controller, as against one
// that answered with an empty line, or a line that hung up).
struct ReplyTally {
    int64_t delivered = 0;
    int64_t timedOut = 0;
};
ReplyTally CountReplies();
// Single-byte reads that have ended without a byte since the process started;
// a diagnostic of how long a silent controller kept the link waiting.
int64_t ReadTimeoutCount();
// Fills at most 10 entries; returns the number written (a -1 end marker included).
// Values beyond 32 bits saturate; a text with more numbers stops at the tenth.
int ScanNumbers(int32_t (&numbers)[10], const std::string& text);

// Connection handshake and wavelength range (nm).
bool QueryWavelengthRange();
int32_t MinWavelength();
int32_t MaxWavelength();
void ReactivateProtocol();

// Protocol commands. Times in tenths of a millisecond, wavelengths in nm.
bool DefineProtocol(int32_t& dt, int32_t& it1, int32_t& it2, int32_t& restingTime, int32_t& wl0,
                    int32_t& wl1, int32_t& wl2, std::string& errorText);
bool ReadProtocol(int32_t& dt, int32_t& it1, int32_t& it2, int32_t& restingTime, int32_t& wl0,
                  int32_t& wl1, int32_t& wl2, std::string& errorText);

// Calibration commands: low wavelength (nm), low DA counts, high wavelength, high DA counts.
bool ReadCalibration(int32_t& lowWavelength, int32_t& lowCounts, int32_t& highWavelength,
                     int32_t& highCounts);
bool WriteCalibration(int32_t lowWavelength, int32_t lowCounts, int32_t highWavelength,
                      int32_t highCounts, std::string& errorText);
// value: in, the DA counts to set on channel 1; out, the reading of channel 1.
bool ProbeAnalogChannel(int32_t& value);

} // namespace AdcLink
