#include "templates/DialogTemplates.h"

#include "templates/ControlIds.h"

namespace {

using namespace ControlStyle;
constexpr int noId = noControlId;
constexpr ControlKind button = ControlKind::PushButton;
constexpr ControlKind label = ControlKind::Label;
constexpr ControlKind group = ControlKind::GroupBox;
constexpr ControlKind edit = ControlKind::Edit;
constexpr ControlKind combo = ControlKind::ComboBox;
constexpr ControlKind check = ControlKind::CheckBox;
constexpr ControlKind progress = ControlKind::ProgressBar;
constexpr ControlKind picture = ControlKind::Picture;

// Every page measures 218 x 167 dialog units.
constexpr int pageWidth = 218;
constexpr int pageHeight = 167;

constexpr uint32_t editField = Border | TabStop | AutoHScroll;
// The protocol page's edits do not scroll: what is typed is limited to what fits.
constexpr uint32_t fixedEdit = Border | TabStop;
// Port names (device paths, network ports) are far longer than the field: these scroll.
constexpr uint32_t portComboStyle = DropDown | Sorted | VScroll | TabStop | AutoHScroll;

} // namespace

const DialogTemplate& WavelengthProtocolDialog() {
    using namespace ProtocolControls;
    static const DialogTemplate dialog{
        104,
        "Wavelength Protocol",
        pageWidth,
        pageHeight,
        {
            {wl2Edit, edit, "", 27, 8, 30, 14, fixedEdit, {}},
            {wl1Edit, edit, "", 27, 35, 30, 14, fixedEdit, {}},
            {wl0Edit, edit, "", 26, 61, 30, 14, fixedEdit, {}},
            {noId, group, "Integration Times", 16, 99, 84, 48, None, {}},
            {noId, label, "it1:", 34, 113, 10, 8, None, {}},
            {it1Edit, edit, "", 52, 110, 30, 14, fixedEdit, {}},
            {noId, label, "ms", 84, 115, 10, 8, None, {}},
            {noId, label, "it2:", 32, 132, 10, 8, None, {}},
            {it2Edit, edit, "", 52, 129, 30, 14, fixedEdit, {}},
            {noId, label, "ms", 84, 132, 10, 8, None, {}},
            {noId, group, "", 105, 99, 100, 48, None, {}},
            {noId, label, "dead time (dt):", 109, 113, 46, 8, None, {}},
            {dtEdit, edit, "", 158, 110, 30, 14, fixedEdit, {}},
            {noId, label, "ms", 191, 114, 10, 8, None, {}},
            {noId, label, "cycle time:", 117, 131, 38, 8, None, {}},
            {ctEdit, edit, "", 158, 129, 30, 14, fixedEdit, {}},
            {noId, label, "ms", 191, 132, 10, 8, None, {}},
            {noId, picture, ":/bitmaps/137.png", 59, 8, 153, 91, None, {}},
            {singleWavelengthCheck,
             check,
             "single wavelength",
             9,
             77,
             53,
             19,
             LeftText | WordWrap | TabStop,
             {}},
            {noId, picture, ":/bitmaps/139.png", 9, 18, 14, 50, None, {}},
            {reactivateCheck,
             check,
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
        pageWidth,
        pageHeight,
        {
            {noId, label, "Wavelength\n[nm]", 55, 14, 43, 17, Centered, {}},
            {noId, label, "Counts\n[0 .. 4095]", 104, 14, 40, 16, Centered, {}},
            {noId, label, "Low Range Filter:", 12, 34, 42, 18, None, {}},
            {lowWavelengthEdit, edit, "", 57, 34, 40, 14, editField, {}},
            {lowCountsEdit, edit, "", 105, 34, 40, 14, editField, {}},
            {runFirstButton, button, "Run 1st", 153, 34, 50, 14, TabStop, {}},
            {noId, label, "High Range Filter:", 12, 55, 41, 18, None, {}},
            {highWavelengthEdit, edit, "", 57, 58, 40, 14, editField, {}},
            {highCountsEdit, edit, "", 105, 58, 40, 14, editField, {}},
            {runSecondButton, button, "Run 2nd", 153, 58, 50, 14, TabStop, {}},
            {noId, label, "Progress:", 13, 83, 30, 8, None, {}},
            {progressBar, progress, "", 53, 83, 148, 8, None, {}},
            {noId,
             label,
             "Please, adjust filter settings at least! To automatically determine counts insert "
             "the appropriate filter and press Run(1st/2nd).\nFinally press Apply to set new "
             "calibration values.",
             7,
             99,
             204,
             27,
             None,
             {}},
            {saveToFileButton, button, "&Save to File", 151, 135, 50, 14, TabStop, {}},
        }};
    return dialog;
}

const DialogTemplate& TerminalDialog() {
    using namespace TerminalControls;
    static const DialogTemplate dialog{
        106,
        "Terminal",
        pageWidth,
        pageHeight,
        {
            // Sorted is set but has no effect: the page always inserts at a position.
            {commandCombo, combo, "", 19, 18, 157, 88, DropDown | Sorted | VScroll | TabStop, {}},
            {sendButton, button, "&Send", 150, 38, 50, 14, DefaultButton | TabStop, {}},
            {replyEdit,
             edit,
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
        pageWidth,
        pageHeight,
        {
            {connectButton, button, "&Connect", 148, 27, 50, 14, DefaultButton | TabStop, {}},
            {disconnectButton, button, "&Disconnect", 148, 53, 50, 14, TabStop, {}},
            {noId, label, "&Port:", 58, 31, 16, 8, None, {}},
            {noId, label, "Baud &Rate:", 37, 47, 37, 8, None, {}},
            {noId, label, "Data/Stop &Bits:", 24, 63, 50, 8, None, {}},
            {noId, label, "&Parity:", 54, 78, 20, 8, None, {}},
            {portCombo,
             combo,
             "",
             80,
             29,
             48,
             46,
             portComboStyle,
             {"COM1", "COM2", "COM3", "COM4"}},
            {baudCombo, combo, "", 80, 45, 48, 43, portComboStyle, {"9600", "19200", "38400"}},
            {bitsCombo, combo, "", 80, 61, 48, 30, portComboStyle, {"8,1"}},
            {parityCombo, combo, "", 80, 76, 48, 30, portComboStyle, {"none", "even", "odd"}},
            {noId, group, "COM Settings", 17, 17, 117, 79, None, {}},
            {versionEdit, edit, "", 84, 111, 119, 14, ReadOnly | editField, {}},
            {noId, label, "ADC Version String:", 14, 114, 63, 8, None, {}},
        }};
    return dialog;
}

const DialogTemplate& SetWavelengthDialog() {
    using namespace SetWavelengthControls;
    static const DialogTemplate dialog{
        140,
        "Set Wavelength",
        pageWidth,
        pageHeight,
        {
            {noId, label, "Wavelength [nm]", 21, 17, 62, 12, None, {}},
            {wavelength1Edit, edit, "", 55, 34, 27, 13, editField, {}},
            {setButtons[0], button, "Set", 113, 34, 50, 13, TabStop, {}},
            {offLabel, label, "(off)", 85, 37, 19, 9, Hidden, {}},
            {wavelength2Edit, edit, "", 55, 55, 27, 13, editField, {}},
            {setButtons[1], button, "Set", 113, 55, 50, 13, TabStop, {}},
            {wavelength3Edit, edit, "", 55, 76, 27, 13, editField, {}},
            {setButtons[2], button, "Set", 113, 76, 50, 13, TabStop, {}},
            {wavelength4Edit, edit, "", 55, 98, 27, 13, editField, {}},
            {setButtons[3], button, "Set", 113, 98, 50, 13, TabStop, {}},
            {noId, label, "Status:", 14, 126, 35, 13, None, {}},
            {debugEdit, edit, "", 114, 127, 97, 12, ReadOnly | Hidden | editField, {}},
            {statusEdit, edit, "", 7, 141, 204, 13, ReadOnly | editField, {}},
        }};
    return dialog;
}

const DialogTemplate& TripleCalibrationDialog() {
    using namespace TripleControls;
    static const DialogTemplate dialog{
        141,
        "Triple Band Calibration",
        pageWidth,
        pageHeight,
        {
            {noId, label, "Wavelength\n[nm]", 55, 14, 43, 17, Centered, {}},
            {noId, label, "DA-Counts\n[0 .. 4095]", 104, 14, 40, 16, Centered, {}},
            {noId, label, "Intensity", 161, 14, 36, 16, None, {}},
            {noId, label, "Low Band Filter:", 12, 33, 42, 17, None, {}},
            {lowWavelengthEdit, edit, "", 57, 34, 40, 14, editField, {}},
            {lowCountsEdit, edit, "", 105, 34, 40, 14, Border | NoTabStop | AutoHScroll, {}},
            {noId, label, "Middle Band Filter:", 12, 54, 41, 18, None, {}},
            {middleWavelengthEdit, edit, "", 57, 56, 40, 14, editField, {}},
            {middleCountsEdit, edit, "", 105, 56, 40, 14, Border | NoTabStop | AutoHScroll, {}},
            {noId, label, "High Band Filter:", 11, 75, 41, 18, None, {}},
            {highWavelengthEdit, edit, "", 57, 78, 40, 14, editField, {}},
            {highCountsEdit, edit, "", 105, 78, 40, 14, Border | NoTabStop | AutoHScroll, {}},
            {noId, label, "Progress:", 7, 101, 30, 8, None, {}},
            {progressBar, progress, "", 53, 101, 148, 8, None, {}},
            {noId,
             label,
             "Please, adjust filter settings at least! To automatically determine counts insert "
             "the appropriate filter and press Run. Finally press Apply to set new calibration "
             "values.",
             7,
             116,
             133,
             43,
             None,
             {}},
            {runButton, button, "Run", 151, 117, 50, 14, TabStop, {}},
            {saveToFileButton, button, "&Save to File", 151, 135, 50, 14, TabStop, {}},
            {lowIntensityEdit, edit, "", 154, 34, 40, 14, Border | NoTabStop | AutoHScroll, {}},
            {middleIntensityEdit, edit, "", 154, 56, 40, 14, Border | NoTabStop | AutoHScroll, {}},
            {highIntensityEdit, edit, "", 154, 78, 40, 14, Border | NoTabStop | AutoHScroll, {}},
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
    if (id == sheetCaptionString)
        return "VORN ADC Communication";
    return std::string();
}
