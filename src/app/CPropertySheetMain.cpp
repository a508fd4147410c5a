#include "app/CPropertySheetMain.h"

#include "app/HelpWindow.h"
#include "templates/DialogTemplates.h"

#include <QFile>

namespace {

QIcon LoadSheetIcon() {
    QIcon icon;
    for (const char* path :
         {":/icons/vornadc-16.png", ":/icons/vornadc-32.png", ":/icons/vornadc-48.png"})
        if (QFile::exists(QString::fromLatin1(path)))
            icon.addFile(QString::fromLatin1(path));
    return icon;
}

} // namespace

CPropertySheetMain::CPropertySheetMain(QWidget* parent)
    : CPropertySheet(QString::fromStdString(LoadResourceString(sheetCaptionString)), parent, 0) {
    AddPage(&setupPage);
    AddPage(&terminalPage);
    AddPage(&wavelenPage);
    AddPage(&calibratePage);
    AddPage(&calibrateTriplePage);
    AddPage(&setWavelenPage);
    icon = LoadSheetIcon();
    if (!icon.isNull())
        setWindowIcon(icon);
}

CPropertySheetMain::~CPropertySheetMain() = default;

void CPropertySheetMain::OnHelp() {
    if (!help)
        help = new HelpWindow(this);
    help->ShowTopic(GetActivePage() ? GetActivePage()->Template().id : 0);
}
