#include "templates/DialogTemplates.h"

#include "templates/ControlIds.h"

namespace {

using namespace ControlStyle;
constexpr int kNone = kNoControlId;
constexpr ControlKind kButton = ControlKind::PushButton;
constexpr ControlKind kLabel = ControlKind::Label;
constexpr ControlKind kGroup = ControlKind::GroupBox;
constexpr ControlKind kEdit = ControlKind::Edit;
constexpr ControlKind kCombo = ControlKind::ComboBox;
constexpr ControlKind kCheck = ControlKind::CheckBox;
constexpr ControlKind kProgress = ControlKind::ProgressBar;
constexpr ControlKind kPicture = ControlKind::Picture;

// Every page measures 218 x 167 dialog units.
constexpr int kPageWidth = 218;
constexpr int kPageHeight = 167;

constexpr uint32_t kEditField = Border | TabStop | AutoHScroll;
// The protocol page's edits do not scroll: what is typed is limited to what fits.
constexpr uint32_t kFixedEdit = Border | TabStop;
// Port names (device paths, network ports) are far longer than the field: these scroll.
constexpr uint32_t kPortCombo = DropDown | Sorted | VScroll | TabStop | AutoHScroll;

} // namespace

const DialogTemplate& WavelengthProtocolDialog() {
    using namespace ProtocolControls;
    static const DialogTemplate dialog{
        104,
        "Wavelength Protocol",
        kPageWidth,
        kPageHeight,
        {
            {wl2Edit, kEdit, "", 27, 8, 30, 14, kFixedEdit, {}},
            {wl1Edit, kEdit, "", 27, 35, 30, 14, kFixedEdit, {}},
            {wl0Edit, kEdit, "", 26, 61, 30, 14, kFixedEdit, {}},
            {kNone, kGroup, "Integration Times", 16, 99, 84, 48, None, {}},
            {kNone, kLabel, "it1:", 34, 113, 10, 8, None, {}},
            {it1Edit, kEdit, "", 52, 110, 30, 14, kFixedEdit, {}},
            {kNone, kLabel, "ms", 84, 115, 10, 8, None, {}},
            {kNone, kLabel, "it2:", 32, 132, 10, 8, None, {}},
            {it2Edit, kEdit, "", 52, 129, 30, 14, kFixedEdit, {}},
            {kNone, kLabel, "ms", 84, 132, 10, 8, None, {}},
            {kNone, kGroup, "", 105, 99, 100, 48, None, {}},
            {kNone, kLabel, "dead time (dt):", 109, 113, 46, 8, None, {}},
            {dtEdit, kEdit, "", 158, 110, 30, 14, kFixedEdit, {}},
            {kNone, kLabel, "ms", 191, 114, 10, 8, None, {}},
            {kNone, kLabel, "cycle time:", 117, 131, 38, 8, None, {}},
            {ctEdit, kEdit, "", 158, 129, 30, 14, kFixedEdit, {}},
            {kNone, kLabel, "ms", 191, 132, 10, 8, None, {}},
            {kNone, kPicture, ":/bitmaps/137.png", 59, 8, 153, 91, None, {}},
            {singleWavelengthCheck,
             kCheck,
             "single wavelength",
             9,
             77,
             53,
             19,
             LeftText | WordWrap | TabStop,
             {}},
            {kNone, kPicture, ":/bitmaps/139.png", 9, 18, 14, 50, None, {}},
            {reactivateCheck,
             kCheck,
             "reactivate after parameter apply",
             47,
             152,
             115,
             10,
             TabStop,
             {}},
        }};
    return dialog;
}

const DialogTemplate& CalibrationDialog() {
    using namespace CalibrationControls;
    static const DialogTemplate dialog{
        105,
        "Calibration",
        kPageWidth,
        kPageHeight,
        {
            {kNone, kLabel, "Wavelength\n[nm]", 55, 14, 43, 17, Centered, {}},
            {kNone, kLabel, "Counts\n[0 .. 4095]", 104, 14, 40, 16, Centered, {}},
            {kNone, kLabel, "Low Range Filter:", 12, 34, 42, 18, None, {}},
            {lowWavelengthEdit, kEdit, "", 57, 34, 40, 14, kEditField, {}},
            {lowCountsEdit, kEdit, "", 105, 34, 40, 14, kEditField, {}},
            {runFirstButton, kButton, "Run 1st", 153, 34, 50, 14, TabStop, {}},
            {kNone, kLabel, "High Range Filter:", 12, 55, 41, 18, None, {}},
            {highWavelengthEdit, kEdit, "", 57, 58, 40, 14, kEditField, {}},
            {highCountsEdit, kEdit, "", 105, 58, 40, 14, kEditField, {}},
            {runSecondButton, kButton, "Run 2nd", 153, 58, 50, 14, TabStop, {}},
            {kNone, kLabel, "Progress:", 13, 83, 30, 8, None, {}},
            {progressBar, kProgress, "", 53, 83, 148, 8, None, {}},
            {kNone,
             kLabel,
             "Please, adjust filter settings at least! To automatically determine counts insert "
             "the appropriate filter and press Run(1st/2nd).\nFinally press Apply to set new "
             "calibration values.",
             7,
             99,
             204,
             27,
             None,
             {}},
            {saveToFileButton, kButton, "&Save to File", 151, 135, 50, 14, TabStop, {}},
        }};
    return dialog;
}

const DialogTemplate& TerminalDialog() {
    using namespace TerminalControls;
    static const DialogTemplate dialog{
        106,
        "Terminal",
        kPageWidth,
        kPageHeight,
        {
            // Sorted is set but has no effect: the page always inserts at a position.
            {commandCombo, kCombo, "", 19, 18, 157, 88, DropDown | Sorted | VScroll | TabStop, {}},
            {sendButton, kButton, "&Send", 150, 38, 50, 14, DefaultButton | TabStop, {}},
            {replyEdit,
             kEdit,
             "",
             18,
             65,
             156,
             73,
             Multiline | ReadOnly | Border | VScroll | TabStop,
             {}},
        }};
    return dialog;
}

const DialogTemplate& SetupDialog() {
    using namespace SetupControls;
    static const DialogTemplate dialog{
        107,
        "RS-232 Setup",
        kPageWidth,
        kPageHeight,
        {
            {connectButton, kButton, "&Connect", 148, 27, 50, 14, DefaultButton | TabStop, {}},
            {disconnectButton, kButton, "&Disconnect", 148, 53, 50, 14, TabStop, {}},
            {kNone, kLabel, "&Port:", 58, 31, 16, 8, None, {}},
            {kNone, kLabel, "Baud &Rate:", 37, 47, 37, 8, None, {}},
            {kNone, kLabel, "Data/Stop &Bits:", 24, 63, 50, 8, None, {}},
            {kNone, kLabel, "&Parity:", 54, 78, 20, 8, None, {}},
            {portCombo, kCombo, "", 80, 29, 48, 46, kPortCombo, {"COM1", "COM2", "COM3", "COM4"}},
            {baudCombo, kCombo, "", 80, 45, 48, 43, kPortCombo, {"9600", "19200", "38400"}},
            {bitsCombo, kCombo, "", 80, 61, 48, 30, kPortCombo, {"8,1"}},
            {parityCombo, kCombo, "", 80, 76, 48, 30, kPortCombo, {"none", "even", "odd"}},
            {kNone, kGroup, "COM Settings", 17, 17, 117, 79, None, {}},
            {versionEdit, kEdit, "", 84, 111, 119, 14, ReadOnly | kEditField, {}},
            {kNone, kLabel, "ADC Version String:", 14, 114, 63, 8, None, {}},
        }};
    return dialog;
}

const DialogTemplate& SetWavelengthDialog() {
    using namespace SetWavelengthControls;
    static const DialogTemplate dialog{
        140,
        "Set Wavelength",
        kPageWidth,
        kPageHeight,
        {
            {kNone, kLabel, "Wavelength [nm]", 21, 17, 62, 12, None, {}},
            {wavelength1Edit, kEdit, "", 55, 34, 27, 13, kEditField, {}},
            {setButtons[0], kButton, "Set", 113, 34, 50, 13, TabStop, {}},
            {offLabel, kLabel, "(off)", 85, 37, 19, 9, Hidden, {}},
            {wavelength2Edit, kEdit, "", 55, 55, 27, 13, kEditField, {}},
            {setButtons[1], kButton, "Set", 113, 55, 50, 13, TabStop, {}},
            {wavelength3Edit, kEdit, "", 55, 76, 27, 13, kEditField, {}},
            {setButtons[2], kButton, "Set", 113, 76, 50, 13, TabStop, {}},
            {wavelength4Edit, kEdit, "", 55, 98, 27, 13, kEditField, {}},
            {setButtons[3], kButton, "Set", 113, 98, 50, 13, TabStop, {}},
            {kNone, kLabel, "Status:", 14, 126, 35, 13, None, {}},
            {debugEdit, kEdit, "", 114, 127, 97, 12, ReadOnly | Hidden | kEditField, {}},
            {statusEdit, kEdit, "", 7, 141, 204, 13, ReadOnly | kEditField, {}},
        }};
    return dialog;
}

const DialogTemplate& TripleCalibrationDialog() {
    using namespace TripleControls;
    static const DialogTemplate dialog{
        141,
        "Triple Band Calibration",
        kPageWidth,
        kPageHeight,
        {
            {kNone, kLabel, "Wavelength\n[nm]", 55, 14, 43, 17, Centered, {}},
            {kNone, kLabel, "DA-Counts\n[0 .. 4095]", 104, 14, 40, 16, Centered, {}},
            {kNone, kLabel, "Intensity", 161, 14, 36, 16, None, {}},
            {kNone, kLabel, "Low Band Filter:", 12, 33, 42, 17, None, {}},
            {lowWavelengthEdit, kEdit, "", 57, 34, 40, 14, kEditField, {}},
            {lowCountsEdit, kEdit, "", 105, 34, 40, 14, Border | NoTabStop | AutoHScroll, {}},
            {kNone, kLabel, "Middle Band Filter:", 12, 54, 41, 18, None, {}},
            {middleWavelengthEdit, kEdit, "", 57, 56, 40, 14, kEditField, {}},
            {middleCountsEdit, kEdit, "", 105, 56, 40, 14, Border | NoTabStop | AutoHScroll, {}},
            {kNone, kLabel, "High Band Filter:", 11, 75, 41, 18, None, {}},
            {highWavelengthEdit, kEdit, "", 57, 78, 40, 14, kEditField, {}},
            {highCountsEdit, kEdit, "", 105, 78, 40, 14, Border | NoTabStop | AutoHScroll, {}},
            {kNone, kLabel, "Progress:", 7, 101, 30, 8, None, {}},
            {progressBar, kProgress, "", 53, 101, 148, 8, None, {}},
            {kNone,
             kLabel,
             "Please, adjust filter settings at least! To automatically determine counts insert "
             "the appropriate filter and press Run. Finally press Apply to set new calibration "
             "values.",
             7,
             116,
             133,
             43,
             None,
             {}},
            {runButton, kButton, "Run", 151, 117, 50, 14, TabStop, {}},
            {saveToFileButton, kButton, "&Save to File", 151, 135, 50, 14, TabStop, {}},
            {lowIntensityEdit, kEdit, "", 154, 34, 40, 14, Border | NoTabStop | AutoHScroll, {}},
            {middleIntensityEdit, kEdit, "", 154, 56, 40, 14, Border | NoTabStop | AutoHScroll, {}},
            {highIntensityEdit, kEdit, "", 154, 78, 40, 14, Border | NoTabStop | AutoHScroll, {}},
        }};
    return dialog;
}

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate* dialog :
         {&WavelengthProtocolDialog(), &CalibrationDialog(), &TerminalDialog(), &SetupDialog(),
          &SetWavelengthDialog(), &TripleCalibrationDialog()})
        if (dialog->id == id)
            return dialog;
    return nullptr;
}

std::string LoadResourceString(int id) {
    if (id == kSheetCaptionString)
        return "VORN ADC Communication";
    return std::string();
}
