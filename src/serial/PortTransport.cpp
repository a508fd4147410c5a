// The one place where a port name chooses how its bytes travel.
#include "serial/PortTransport.h"

#include "ports/PortNames.h"
#include "serial/LocalTransport.h"
#include "serial/network/NetworkAddress.h"
#include "serial/network/Rfc2217Transport.h"
#include "serial/network/TcpTransport.h"

namespace {

template <typename Transport, typename Address>
std::unique_ptr<PortTransport> Opened(const Address& address, std::string& systemText,
                                      const PortNotes& notes) {
    auto transport = std::make_unique<Transport>();
    transport->SetNotes(notes);
    if (!transport->Open(address, systemText))
        return nullptr;
    return transport;
}

} // namespace

std::unique_ptr<PortTransport> OpenPortTransport(const std::string& name, std::string& systemText,
                                                 const PortNotes& notes) {
    const NetworkScheme scheme = SchemeOfPortName(name);
    if (scheme == NetworkScheme::None)
        return Opened<LocalTransport>(name, systemText, notes);
    NetworkAddress address;
    if (!ParseNetworkAddress(name, address, systemText))
        return nullptr;
    if (scheme == NetworkScheme::Socket)
        return Opened<TcpTransport>(address, systemText, notes);
    return Opened<Rfc2217Transport>(address, systemText, notes);
}
