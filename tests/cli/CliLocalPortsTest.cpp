// vornadc-cli in-process on Linux's local ports: a pseudo-terminal that takes
// no mode, and the port list with its stable names.
#include "cli/CliCommands.h"
#include "cli/RunInProcess.h"
#include "device/AdcLink.h"
#include "ports/PortDiscovery.h"
#include "sim/PseudoTerminal.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

TEST(RunCli, APortWhoseModeCannotBeAppliedIsNotLeftHeld) {
    PseudoTerminal terminal;
    std::string error, out, err;
    ASSERT_TRUE(terminal.Open(error)) << error;
    EXPECT_EQ(RunInProcess({"--port", terminal.SlavePath(), "--mode",
                            "baud=12345 parity=n data=8 stop=1", "id"},
                           out, err),
              1);
    EXPECT_EQ(err, "Unable to apply parameters:\nInvalid argument\n");
    EXPECT_FALSE(AdcLink::IsPortOpen());
}

TEST(RunCli, PortsPrintsOneNameALineAndLongAddsTheDetailsAfterTabs) {
    TempFolder dir;
    const auto folder = std::filesystem::canonical(dir.Path());
    const std::string device = folder / "ttyUSB0", link = folder / "usb-Acme_A1B2C3-port0";
    std::ofstream(device) << "";
    std::filesystem::create_symlink(device, link);
    SetPortLinkFolder(folder);
    SetPortSource([device] {
        return std::vector<SystemPort>{{device, "USB serial adapter", "Acme", "A1B2C3", 0x0403, 1},
                                       {"/dev/ttyS0", "", "", "", -1, -1}};
    });
    std::string out, err, detailed;
    EXPECT_EQ(RunInProcess({"ports"}, out, err), 0);
    EXPECT_EQ(RunInProcess({"ports", "--long"}, detailed, err), 0);
    SetPortSource({});
    SetPortLinkFolder("");
    EXPECT_EQ(out, "COM1\nCOM2\nCOM3\nCOM4\n" + device + "\n/dev/ttyS0\n" + link + "\nSIM\n");
    const std::string none = "\t\t\t\t\n",
                      adapter = "USB serial adapter\tAcme\tA1B2C3\t0403:0001\n";
    EXPECT_EQ(detailed, "COM1" + none + "COM2" + none + "COM3" + none + "COM4" + none + device +
                            "\t" + adapter + "/dev/ttyS0" + none + link + "\tlink to " + device +
                            ", " + adapter + "SIM\tbuilt-in simulated controller\t\t\t\n");
}

} // namespace
