#pragma once

// The ids of the controls that the pages address, per dialog. The control
// tables (DialogTemplates.cpp) and the pages both use these names; an id
// means something only within its own dialog (1007 is the resting wavelength
// on the protocol page and the Run button on the calibration pages).

// Wavelength Protocol, dialog 104.
namespace ProtocolControls {
constexpr int it1Edit = 1001;
constexpr int it2Edit = 1002;
constexpr int wl1Edit = 1003;
constexpr int wl2Edit = 1004;
constexpr int ctEdit = 1005;
constexpr int dtEdit = 1006;
constexpr int wl0Edit = 1007;
constexpr int singleWavelengthCheck = 1030;
constexpr int reactivateCheck = 1032;
} // namespace ProtocolControls

// Calibration, dialog 105.
namespace CalibrationControls {
constexpr int runFirstButton = 1007;
constexpr int runSecondButton = 1008;
constexpr int saveToFileButton = 1009;
constexpr int lowWavelengthEdit = 1017;
constexpr int highWavelengthEdit = 1018;
constexpr int lowCountsEdit = 1019;
constexpr int highCountsEdit = 1020;
constexpr int progressBar = 1029;
} // namespace CalibrationControls

// Terminal, dialog 106.
namespace TerminalControls {
constexpr int commandCombo = 1010;
constexpr int sendButton = 1011;
constexpr int replyEdit = 1012;
} // namespace TerminalControls

// RS-232 Setup, dialog 107.
namespace SetupControls {
constexpr int connectButton = 1013;
constexpr int disconnectButton = 1014;
constexpr int portCombo = 1022;
constexpr int baudCombo = 1023;
constexpr int bitsCombo = 1024;
constexpr int parityCombo = 1025;
constexpr int versionEdit = 1026;
} // namespace SetupControls

// Set Wavelength, dialog 140.
namespace SetWavelengthControls {
constexpr int wavelength1Edit = 1033;
constexpr int wavelength2Edit = 1034;
constexpr int wavelength3Edit = 1035;
constexpr int wavelength4Edit = 1036;
constexpr int setButtons[4] = {1038, 1039, 1040, 1041}; // beside each wavelength
constexpr int statusEdit = 1043;
constexpr int debugEdit = 1045; // shown only with [SetWaveLength] Debug=1
constexpr int offLabel = 1046;  // hidden
} // namespace SetWavelengthControls

// Triple Band Calibration, dialog 141.
namespace TripleControls {
constexpr int runButton = 1007;
constexpr int saveToFileButton = 1009;
constexpr int lowWavelengthEdit = 1017;
constexpr int highWavelengthEdit = 1018;
constexpr int lowCountsEdit = 1019;
constexpr int highCountsEdit = 1020;
constexpr int middleWavelengthEdit = 1021;
constexpr int middleCountsEdit = 1022;
constexpr int lowIntensityEdit = 1023;
constexpr int middleIntensityEdit = 1024;
constexpr int highIntensityEdit = 1025;
constexpr int progressBar = 1029;
} // namespace TripleControls
