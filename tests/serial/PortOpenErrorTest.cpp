#include "serial/PortOpenError.h"
#include "serial/SystemError.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// A file standing in for a device node, owned by the named group.
class FakeNode : public ::testing::Test {
protected:
    std::string Make(const char* groupName) {
        path = (dir.Path() / "ttyUSB0").string();
        FILE* file = std::fopen(path.c_str(), "w");
        if (!file)
            return {};
        std::fclose(file);
        const group* entry = ::getgrnam(groupName);
        if (!entry || ::chown(path.c_str(), static_cast<uid_t>(-1), entry->gr_gid) != 0)
            return {};
        return path;
    }

    TempFolder dir;
    std::string path;
};

TEST_F(FakeNode, APermissionFailureNamesTheGroupThatOwnsTheNode) {
    if (Make("daemon").empty())
        GTEST_SKIP() << "cannot give a file to group daemon here";
    EXPECT_EQ(PortOpenErrorText(EACCES, path),
              "Permission denied (add your user to the daemon group and log in again)");
    EXPECT_EQ(PortOpenErrorText(EPERM, path),
              "Operation not permitted (add your user to the daemon group and log in again)");
}

TEST_F(FakeNode, ANodeOfTheRootGroupGetsNoAdviceToJoinIt) {
    if (Make("root").empty())
        GTEST_SKIP() << "cannot give a file to group root here";
    EXPECT_EQ(PortOpenErrorText(EACCES, path),
              "Permission denied (only root may open " + path + ")");
}

TEST(PortOpenErrorText, AnUnknownNodeFallsBackToDialout) {
    EXPECT_EQ(PortOpenErrorText(EACCES, "/dev/no-such-serial-device"),
              "Permission denied (add your user to the dialout group and log in again)");
    EXPECT_EQ(PortOpenErrorText(EACCES, ""),
              "Permission denied (add your user to the dialout group and log in again)");
}

TEST(PortOpenErrorText, AMissingDeviceListsThePortsThatExist) {
    EXPECT_EQ(PortOpenErrorText(ENOENT, "/dev/ttyUSB3", {"/dev/ttyS0", "/dev/ttyUSB0"}),
              "No such file or directory (ports here: /dev/ttyS0, /dev/ttyUSB0)");
    EXPECT_EQ(PortOpenErrorText(ENOENT, "/dev/ttyUSB3", {}),
              "No such file or directory (no serial ports found)");
}

TEST(PortOpenErrorText, ALongPortListIsCutToOneLineOf255Characters) {
    std::vector<std::string> ports;
    for (int i = 0; i < 40; ++i)
        ports.push_back("/dev/serial/by-id/usb-adapter-" + std::to_string(i));
    const std::string text = PortOpenErrorText(ENOENT, "", ports);
    EXPECT_LE(text.size(), 255u);
    EXPECT_EQ(
        text.rfind("No such file or directory (ports here: /dev/serial/by-id/usb-adapter-0, ", 0),
        0u)
        << text;
    EXPECT_EQ(text.substr(text.size() - 6), ", ...)") << text;
    // Every port named is named whole.
    const std::size_t lastComma = text.rfind(", ...");
    const std::size_t previous = text.rfind(", ", lastComma - 1);
    const std::string lastPort = text.substr(previous + 2, lastComma - previous - 2);
    EXPECT_NE(std::find(ports.begin(), ports.end(), lastPort), ports.end()) << lastPort;

    const std::string single = PortOpenErrorText(ENOENT, "", {std::string(300, 'x')});
    EXPECT_EQ(single, "No such file or directory (ports here: ...)");
}

TEST(PortOpenErrorText, OtherFailuresKeepTheSystemTextAlone) {
    EXPECT_EQ(PortOpenErrorText(EBUSY, "/dev/ttyS0", {"/dev/ttyS0"}), "Device or resource busy");
}

TEST(ErrorNumberOf, FindsTheNumberWhoseTextOpensTheReason) {
    const struct {
        std::string reason;
        int number;
    } rows[] = {
        {PortOpenErrorText(EBUSY, "/dev/ttyS0"), EBUSY},
        {PortOpenErrorText(ENOENT, "/dev/ttyUSB3", {"/dev/ttyS0"}), ENOENT},
        {PortOpenErrorText(EACCES, ""), EACCES},
        {PortOpenErrorText(EPERM, ""), EPERM}, // the first number
        {"Unknown error 140", 0},              // the text of a number Linux has not
        {"Connection timed out (lab-pc port 4002), no answer within 3 s", ETIMEDOUT},
        {"Connection refused, twice", ECONNREFUSED},
        {"Device or resource busyness", 0}, // a text continued is another word
        {"device or resource busy", 0},
        {"Name or service not known", 0}, // the resolver's, no system error
        {"", 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ErrorNumberOf(row.reason), row.number) << row.reason;
}

} // namespace
