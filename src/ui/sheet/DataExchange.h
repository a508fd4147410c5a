#pragma once

#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class CPropertyPage;

// One run of a page's DoDataExchange: the direction, and the first field that did
// not read. After a failure every exchange helper does nothing, so the fields
// before the failing one hold their new values and the rest keep theirs.
class DataExchange {
public:
    DataExchange(CPropertyPage& page, bool saveAndValidate);

    // true: controls to fields (with validation); false: fields to controls.
    bool SaveAndValidate() const { return saveAndValidate; }
    bool Failed() const { return failedControl != nullptr; }
    CPropertyPage& Page() const { return page; }
    QWidget* Control(int id) const;

    void Fail(QWidget* control, const char* message);
    QWidget* FailedControl() const { return failedControl; }
    const char* FailureMessage() const { return failureMessage; }

private:
    CPropertyPage& page;
    bool saveAndValidate;
    QWidget* failedControl = nullptr;
    const char* failureMessage = "";
};

// Signed decimal ("%ld" / "%d"); failure message "Please enter an integer.".
void ExchangeInteger(DataExchange& dx, int id, int32_t& value);
// "%.*g" at precision 15; failure message "Please enter a number.".
void ExchangeNumber(DataExchange& dx, int id, double& value);
// The control's text as it is.
void ExchangeText(DataExchange& dx, int id, std::string& value);
// A check box's state.
void ExchangeCheck(DataExchange& dx, int id, bool& value);
// Writing selects the first item that begins with the text (case ignored), else
// puts the text in the edit field; reading takes the edit field's text. A box
// whose items need another match passes its own finder (index or -1).
using ComboItemFinder = int (*)(const std::vector<std::string>& items, const std::string& text);
void ExchangeComboText(DataExchange& dx, int id, std::string& value,
                       ComboItemFinder findItem = nullptr);

// Attaches the control with this id to a member pointer.
template <class T> void AttachControl(DataExchange& dx, int id, T*& control) {
    if (!dx.Failed())
        control = qobject_cast<T*>(dx.Control(id));
}

// The text a control shows, and setting it. A multi-line edit's lines are
// separated by CR LF in the text.
std::string ControlText(const QWidget* control);
void SetControlText(QWidget* control, const std::string& text);
