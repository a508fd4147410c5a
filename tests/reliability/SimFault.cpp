#include "reliability/SimFault.h"

std::unique_ptr<SimServer> StartFaultySim(SimOptions options, std::string& error) {
    options.noiseSigma = 0;
    auto server = std::make_unique<SimServer>(options);
    if (!server->Start(error))
        server.reset();
    return server;
}
