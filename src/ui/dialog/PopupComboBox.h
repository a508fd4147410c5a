#pragma once

#include <QComboBox>

// The combo box of the dialog templates. It says when its list is about to
// open, so that a list of things that come and go can be built again; it
// opens its list as wide as the longest entry while the field keeps its size;
// and its tooltip is the whole text it shows, which a narrow field cuts.
class PopupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit PopupComboBox(QWidget* parent = nullptr);

    void showPopup() override;

protected:
    bool event(QEvent* event) override;

signals:
    void popupAboutToShow();
};
