#include "sim/SimClient.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Runs adc-sim with arguments; its stdout comes back through a pipe.
pid_t StartAdcSim(const std::vector<std::string>& arguments, int& output) {
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        std::vector<char*> argv{const_cast<char*>(ADC_SIM_PATH)};
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(ADC_SIM_PATH, argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    output = fds[0];
    return pid;
}

std::string ReadFirstLine(int fd) {
    std::string line;
    char byte = 0;
    while (::read(fd, &byte, 1) == 1 && byte != '\n')
        line += byte;
    return line;
}

TEST(AdcSim, PrintsThePathServesWithItsOptionsAndEndsCleanlyOnSigterm) {
    int output = -1;
    const pid_t pid = StartAdcSim({"--echo", "--range-probe", "--noise", "0"}, output);
    ASSERT_GT(pid, 0);
    const std::string path = ReadFirstLine(output);
    ::close(output);
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
    {
        SimClient client(path);
        ASSERT_TRUE(client.IsOpen());
        ASSERT_TRUE(client.Write("RC,1;\r\n"));
        EXPECT_EQ(client.ReadLine(), "RC,1;\r\n");
        EXPECT_EQ(client.ReadLine(), "RC,1!\r\n");
        ASSERT_TRUE(client.Write("WL,1000;\r\n"));
        EXPECT_EQ(client.ReadLine(), "WL,1000;\r\n");
        EXPECT_EQ(client.ReadLine(), "699\r\n");
    }
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(AdcSim, RejectsUnknownOptionsWithUsage) {
    int output = -1;
    const pid_t pid = StartAdcSim({"--fault", "loud"}, output);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(ReadFirstLine(output), ""); // nothing on stdout; the reason goes to stderr
    ::close(output);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

} // namespace
