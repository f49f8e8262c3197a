#pragma once

#include <QtGlobal>

#include <optional>

/**
 * @brief Who is at the other end of a connected local (Unix domain) socket.
 *
 * The kernel records the peer's credentials when the connection is made, so the answer cannot be forged by the
 * peer. Used to refuse requests on the program's socket from any user but the one running the program.
 */
namespace PeerCredentials {

/// The user id of the process that connected the socket; nothing when the descriptor is not a connected local
/// socket.
std::optional<unsigned int> peerUserId(qintptr socketDescriptor);
/// The user id this process runs as.
unsigned int ownUserId();

} // namespace PeerCredentials
