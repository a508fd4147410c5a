#include "sim/InProcessSim.h"

#include "serial/NamedPort.h"
#include "sim/SimServer.h"

#include <memory>
#include <mutex>

namespace Sim {

const char* const portName = "SIM";

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

NamedPort InProcessPort() {
    return {portName, "built-in simulated controller",
            [](std::string& systemText) -> std::unique_ptr<PortTransport> {
                const std::string path = InProcessPortPath(systemText);
                if (path.empty())
                    return nullptr;
                return OpenPortTransport(path, systemText);
            }};
}

} // namespace Sim
