#include "support/ProcessRunner.h"

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

ProcessResult RunProcess(const std::vector<std::string>& argv) {
    return RunProcessAndSignal(argv, 0, {});
}

ProcessResult RunProcessAndSignal(const std::vector<std::string>& argv, int signalNumber,
                                  const std::function<bool()>& ready) {
    ProcessResult result;
    int outPipe[2], errPipe[2];
    if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0)
        return result;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* targets[2] = {&result.out, &result.err};
    int open = 2;
    bool signalled = !ready;
    int events = 0;
    while (open > 0 && (events = ::poll(fds, 2, signalled ? -1 : 10)) >= 0) {
        if (!signalled && ready()) {
            ::kill(child, signalNumber);
            signalled = true;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !fds[i].revents)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                targets[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
}
