#include "platform/PeerCredentials.h"

#include <sys/socket.h>
#include <unistd.h>

namespace PeerCredentials {

std::optional<unsigned int> peerUserId(qintptr socketDescriptor) {
    if (socketDescriptor < 0)
        return std::nullopt;
    struct ucred credentials {};
    socklen_t length = sizeof credentials;
    if (::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof credentials)
        return std::nullopt;
    // A socket that is not connected reports no process.
    if (credentials.pid == 0)
        return std::nullopt;
    return credentials.uid;
}

unsigned int ownUserId() {
    return ::getuid();
}

} // namespace PeerCredentials
