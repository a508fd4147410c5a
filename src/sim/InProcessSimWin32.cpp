// SIM on Windows, which has no pseudo-terminal: the model in this process,
// reached through an in-process transport.
#include "sim/InProcessSim.h"

#include "serial/NamedPort.h"
#include "sim/SimTransport.h"

#include <memory>
#include <mutex>

namespace Sim {

const char* const portName = "SIM";

NamedPort InProcessPort() {
    return {portName, "built-in simulated controller",
            [](std::string&) -> std::unique_ptr<PortTransport> {
                // One controller for the process, as the pseudo-terminal's
                // simulator is: what one connection set, the next finds.
                static std::mutex mutex;
                static std::shared_ptr<SimController> controller;
                std::lock_guard<std::mutex> lock(mutex);
                if (!controller)
                    controller = std::make_shared<SimController>();
                return std::make_unique<SimTransport>(controller, 0);
            }};
}

} // namespace Sim
