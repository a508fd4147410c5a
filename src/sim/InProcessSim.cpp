#include "InProcessSim.h"

#include "SimServer.h"

#include <memory>
#include <mutex>

namespace Sim {

std::string InProcessPortPath(std::string& errorText) {
    static std::mutex mutex;
    static std::unique_ptr<SimServer> server;
    std::lock_guard<std::mutex> lock(mutex);
    if (!server) {
        auto started = std::make_unique<SimServer>();
        if (!started->Start(errorText))
            return std::string(); // the next call tries again
        server = std::move(started);
    }
    return server->SlavePath();
}

} // namespace Sim
