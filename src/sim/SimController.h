#pragma once

#include "sim/SimOptions.h"
#include "sim/SimRandom.h"

#include <cstdint>
#include <string>
#include <vector>

// The simulated ADC controller: one command line in, the reply bytes out.
// No I/O; SimServer puts it on a pseudo-terminal.
//
// Commands (a line ends in ";" and CR LF; a lone CR or LF also ends it, the
// ";" may be missing, mnemonics are read in any case). Every reply is one
// line ending in CR LF; with echo on, the command line comes first.
//   ID;             "ADC-SIM 1.0"  the version the setup page shows
//   RC,1;           "(MIN,MAX)"    wavelengths of the stored calibration at counts 0
//                                  and 4095, rounded, lower first; "RC,1!" in
//                                  range-probe mode
//   WL,1000;        in range-probe mode only: MAX as one number
//   WL,0;           in range-probe mode only: MIN as one number
//   WL,n;           "WL,0!"        n within MIN..MAX: the DA counts follow from the
//                                  stored calibration; otherwise "WL,1!"
//   RS;             "RS,0!"        protocol reactivated (nothing else happens)
//   PD,dt,it1,rest,wl0,wl1;          "PD,0!" and stored (it2 = wl2 = 0) when every
//   PD,dt,it1,it2,rest,wl0,wl1,wl2;  time is at least 30 tenths of a ms and every
//                                    wavelength within MIN..MAX; otherwise "PD,1!"
//   RP;             "dt,it1,it2,rest,wl0,wl1,wl2"  the stored protocol
//   RC;             "LW,LC,HW,HC"  the stored calibration
//   WC,a,b,c,d;     "WC,0!"        stored when both counts lie in 0..4095 and the
//                                  two points differ in wavelength and in counts (the
//                                  range follows); otherwise "WC,1!"
//   WA,1,n;         "WA,0!"        DA counts become n clamped to 0..4095; another
//                                  channel or no number: "WA,1!"
//   RA,1;           "RA,1,<reading>"  detector reading 0..4095 at the current counts
//   SF;             "SF,0!"        filter removed (open beam)           (simulator only)
//   SF,w;           "SF,0!"        single-band filter centred at w nm   (simulator only)
//   SF,w1,w2,w3;    "SF,0!"        three-band filter                    (simulator only)
//   anything else   "??"           also ID, RS, RP, RC, RA with other arguments than
//                                  above; WL, PD, WC, WA, SF with arguments that are not
//                                  32-bit integers, or too few / too many, answer "XX,1!"
//
// Options (SimOptions; adc-sim flags in brackets), what the program sees:
//   echo        [--echo]         each command line comes back before its reply
//   rangeProbe  [--range-probe]  "RC,1!" to RC,1; the range then comes from the
//                                WL,1000 / WL,0 probes (which also move the light)
//   noiseSigma  [--noise SIGMA]  readings scatter by SIGMA counts (default 3)
//   seed        [--seed N]       the same seed and commands repeat every reading
//   baud        [--baud B]       bytes take 10 / B s each way; 0: as fast as the pty
//   filterBands [--filter W | --filter W1,W2,W3]  a filter in the beam from the start
//   logPath     [--log FILE]     every byte both ways, one "RX" / "TX" line a chunk
// Faults (each command takes effect as usual; only its reply changes):
//   dropEvery   [--fault drop:K]    the K-th, 2K-th, ... command gets no reply (the
//                                   echo still comes): a read time-out
//   hangUpAfter [--fault hangup:K]  the K-th reply comes, then the line hangs up
//   garbage     [--fault garbage]   every reply is a line of 1..32 random bytes
//                                   (never CR or LF) + CR LF; the echo still comes
//   babble      [--fault babble]    the first command is answered, then printable
//                                   bytes without LF stream forever; no later
//                                   command is answered
//
// Hidden optics (SimOptics): DA counts c -> true wavelength 240 + 459 x + 12 x (1 - x)
// nm with x = c / 4095 (240 nm at 0, 699 nm at 4095, 3 nm above the straight line at
// mid-scale). Source spectrum S = 0.3 + 0.6 exp(-((nm - 460) / 150)^2). Filter bands:
// Gaussian, FWHM 10 nm, peak transmission T = 0.85, bands add up (capped at 1); no
// filter: T = 1. Reading = 10 + 4000 * S * T + Gaussian noise (seeded), rounded and
// clamped to the 12-bit detector's 0..4095.
//
// Defaults: calibration 250,87,690,4013 (the optics' own counts at 250 and 690 nm;
// within 3 nm of the optics everywhere; range (240,699)), protocol
// 30,200,200,4540,240,340,380, DA counts 0, no filter, no echo, noise 3, seed 1.

struct SimCalibration {
    int32_t lowWavelength = 250;  // nm
    int32_t lowCounts = 87;       // DA counts
    int32_t highWavelength = 690; // nm
    int32_t highCounts = 4013;    // DA counts
};

struct SimProtocol {
    int32_t dt = 30;            // dead time, tenths of a millisecond
    int32_t it1 = 200;          // integration time 1, tenths of a millisecond
    int32_t it2 = 200;          // integration time 2, tenths of a millisecond (0: one wavelength)
    int32_t restingTime = 4540; // tenths of a millisecond
    int32_t wl0 = 240;          // resting wavelength, nm
    int32_t wl1 = 340;          // nm
    int32_t wl2 = 380;          // nm (0: one wavelength)
};

// What the server does with one command line.
struct SimReply {
    std::string bytes;   // to send back, echo included; empty: silence
    bool hangUp = false; // close the line after sending bytes
    bool babble = false; // after sending bytes, stream BabbleBytes forever
};

class SimController {
public:
    explicit SimController(const SimOptions& options = SimOptions());

    // One command line as received, with or without its CR / LF.
    SimReply Respond(const std::string& line);
    // The next count bytes of a babbling controller (printable, never CR or LF).
    std::string BabbleBytes(size_t count);

    int32_t Counts() const { return counts; }
    const SimCalibration& Calibration() const { return calibration; }
    const SimProtocol& Protocol() const { return protocol; }
    const std::vector<double>& FilterBands() const { return filterBands; }
    // The range reported to "RC,1;": lower and upper end, nm.
    int32_t MinWavelength() const;
    int32_t MaxWavelength() const;

private:
    std::string Answer(const std::string& mnemonic, const std::vector<int64_t>& args,
                       bool argsValid);
    std::string SetWavelength(const std::vector<int64_t>& args);
    std::string DefineProtocol(const std::vector<int64_t>& args);
    std::string WriteCalibration(const std::vector<int64_t>& args);
    std::string SetFilter(const std::vector<int64_t>& args);
    int32_t ReadDetector();
    std::string GarbageLine();

    SimOptions options;
    SimCalibration calibration;
    SimProtocol protocol;
    std::vector<double> filterBands;
    int32_t counts = 0;
    int64_t commandCount = 0;
    SimRandom noise;
    SimRandom faults; // garbage and babble bytes, apart from the noise so readings repeat
};
