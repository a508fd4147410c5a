#include "serial/network/NetworkConnection.h"

#include "serial/DescriptorWait.h"
#include "serial/SystemError.h"
#include "serial/network/NetworkAddress.h"

#include <cerrno>
#include <condition_variable>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

HostLookup hostLookup = ::getaddrinfo;

namespace {

// A lookup on a helper thread, so that a name service that does not answer
// cannot hold the caller past its deadline. The thread owns its share of the
// state and frees the result itself when nobody waits for it any more.
struct Lookup {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    int status = 0;
    addrinfo* result = nullptr;
};

// False when the deadline passed first; otherwise status is the lookup's.
bool ResolveWithin(const NetworkAddress& address, Deadline deadline, int& status,
                   addrinfo*& result) {
    auto lookup = std::make_shared<Lookup>();
    const HostLookup resolve = hostLookup;
    std::thread([lookup, resolve, host = address.host, port = address.port] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const int status = resolve(host.c_str(), port.c_str(), &hints, &found);
        std::lock_guard<std::mutex> lock(lookup->mutex);
        if (lookup->abandoned) {
            if (status == 0 && found)
                ::freeaddrinfo(found);
            return;
        }
        lookup->status = status;
        lookup->result = status == 0 ? found : nullptr;
        lookup->finished = true;
        lookup->done.notify_one();
    }).detach();
    std::unique_lock<std::mutex> lock(lookup->mutex);
    if (!lookup->done.wait_until(lock, deadline, [&] { return lookup->finished; })) {
        lookup->abandoned = true;
        return false;
    }
    status = lookup->status;
    result = lookup->result;
    return true;
}

std::string Where(const NetworkAddress& address) {
    return " (" + address.host + " port " + address.port + ")";
}

// Connects a non-blocking socket to one address before the deadline; the
// socket, or -1 with errno set.
int ConnectWithin(const addrinfo& to, Deadline deadline) {
    const int s =
        ::socket(to.ai_family, to.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, to.ai_protocol);
    if (s < 0)
        return -1;
    if (::connect(s, to.ai_addr, to.ai_addrlen) != 0) {
        if (errno != EINPROGRESS) {
            const int error = errno;
            ::close(s);
            errno = error;
            return -1;
        }
        pollfd p{s, POLLOUT, 0};
        int ready = 0;
        while ((ready = ::poll(&p, 1, MillisecondsLeft(deadline))) < 0 && errno == EINTR) {
        }
        int error = ETIMEDOUT;
        socklen_t length = sizeof error;
        if (ready > 0 && ::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            error = errno;
        if (ready < 0)
            error = errno;
        if (error != 0) {
            ::close(s);
            errno = error;
            return -1;
        }
    }
    return s;
}

} // namespace

NetworkConnection::~NetworkConnection() {
    if (fd >= 0)
        ::close(fd);
}

bool NetworkConnection::Connect(const NetworkAddress& address, std::string& reason) {
    const Deadline deadline = DeadlineIn(connectLimitMs);
    addrinfo* found = nullptr;
    int status = 0;
    if (!ResolveWithin(address, deadline, status, found)) {
        reason = OneLineReason("no answer from the name service within 3 s" + Where(address));
        return false;
    }
    if (status != 0) {
        reason = OneLineReason(std::string(::gai_strerror(status)) + Where(address));
        return false;
    }
    int error = ETIMEDOUT;
    for (const addrinfo* to = found; to && fd < 0 && MillisecondsLeft(deadline) > 0;
         to = to->ai_next) {
        fd = ConnectWithin(*to, deadline);
        if (fd < 0)
            error = errno;
    }
    ::freeaddrinfo(found);
    if (fd < 0) {
        reason = OneLineReason(SystemErrorText(error) + Where(address) +
                               (error == ETIMEDOUT ? ", no answer within 3 s" : ""));
        return false;
    }
    // Each command and reply is a few bytes: none may wait for more to fill a
    // segment, nor for a delayed acknowledgement.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
#ifdef SO_NOSIGPIPE
    ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
    return true;
}

long NetworkConnection::Send(const char* data, std::size_t size, Deadline deadline) {
#ifdef MSG_NOSIGNAL
    const int flags = MSG_NOSIGNAL; // a closed connection is a failed write, not a signal
#else
    const int flags = 0;
#endif
    return PutWithin(fd, data, size, deadline, [this, flags](const char* from, std::size_t n) {
        return ::send(fd, from, n, flags);
    });
}

Readiness NetworkConnection::WaitReadable(Deadline deadline) const {
    return ::WaitReadable(fd, deadline);
}

long NetworkConnection::Receive(char* buffer, std::size_t size) {
#ifdef TCP_QUICKACK
    // A server that leaves Nagle's algorithm on holds each byte after the
    // first until we acknowledge it: acknowledge at once, not up to 40 ms
    // later. Linux turns this off again by itself, so it is set at each read.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, size, 0);
        if (n > 0)
            return static_cast<long>(n);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return 0;
        return -1; // closed by the server (0), or reset
    }
}
