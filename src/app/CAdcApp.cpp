#include "app/CAdcApp.h"

#include "app/CPropertySheetMain.h"

CAdcApp theApp;

bool CAdcApp::InitInstance() {
    CPropertySheetMain sheet;
    // OK and Cancel end the program the same way.
    sheet.DoModal();
    return false;
}
