#pragma once

#include "ui/dialog/DialogTemplate.h"

#include <QWidget>

#include <map>

class CPropertySheet;
class DataExchange;

// Base of the sheet's pages. A page's controls are created from its control table
// when the sheet first displays it; a page never displayed has none and gets no
// events. The events are virtual with the framework defaults.
class CPropertyPage : public QWidget {
    Q_OBJECT
public:
    explicit CPropertyPage(const DialogTemplate& dialog);
    ~CPropertyPage() override;

    const DialogTemplate& Template() const { return dialog; }
    QString Caption() const;
    // The template's size in pixels with this page's font.
    QSize TemplatePixelSize() const;

    // Page events, called by the sheet.
    // First activation: nothing; later ones: UpdateData(false). Returns true.
    virtual bool OnSetActive();
    // UpdateData(true) and its result.
    virtual bool OnKillActive();
    // OnOK(), then true.
    virtual bool OnApply();
    virtual bool OnQueryCancel();
    // OnCancel().
    virtual void OnReset();

    // false: fields to controls; true: controls to fields with validation. Shows
    // the message of the first field that does not read and returns false.
    bool UpdateData(bool saveAndValidate = true);
    // Marks the page as changed in its sheet; the Apply button follows the marks.
    void SetModified(bool changed = true);
    bool IsModified() const { return modified; }

    // The shared deactivation step of the protocol and calibration pages:
    // SetModified(false), then the framework's OnKillActive.
    bool KillActiveUnmodified();

    QWidget* Control(int id) const;
    template <class T> T* ControlAs(int id) const { return qobject_cast<T*>(Control(id)); }
    bool HasControls() const { return created; }
    // True while DoDataExchange runs: notification handlers return at once.
    bool IsExchanging() const { return exchanging; }
    CPropertySheet* Sheet() const { return sheet; }

protected:
    virtual void DoDataExchange(DataExchange& dx);
    virtual void OnOK() {}
    virtual void OnCancel() {}

private:
    friend class CPropertySheet;
    void CreatePageControls();

    const DialogTemplate& dialog;
    std::map<int, QWidget*> controls;
    CPropertySheet* sheet = nullptr;
    bool created = false;
    bool activatedBefore = false;
    bool modified = false;
    bool exchanging = false;
};
