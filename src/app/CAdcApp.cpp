#include "app/CAdcApp.h"

#include "app/CPropertySheetMain.h"
#include "device/DevicePorts.h"
#include "serial/NamedPort.h"
#include "sim/InProcessSim.h"

CAdcApp theApp;

bool CAdcApp::InitInstance() {
    DevicePorts::Register(Sim::InProcessPort());
    CPropertySheetMain sheet;
    // OK and Cancel end the program the same way.
    sheet.DoModal();
    return false;
}
