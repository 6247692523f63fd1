#pragma once

#include <cstddef>

namespace srv {

// What the HTTP front allows each client, so that slow or hostile clients cannot starve the
// others nor grow the server's memory (docs/OPERATIONS.md lists them with their options).
struct HttpLimits {
    // Largest body of a call from a logged-in client.
    std::size_t maxBodyBytes = 64u << 20;
    // Largest body before a login: anyone may send it, so it stays small.
    std::size_t maxAnonymousBodyBytes = 16u << 10;
    // A request's header must arrive whole within this many seconds of the connection opening
    // or of the previous answer; a connection silent for as long while answering is closed too.
    int headerTimeoutSeconds = 10;
    // After the header deadline's grace, a body must have arrived at this average rate.
    std::size_t minBodyBytesPerSecond = 1024;
    int maxConnections = 4000;
    int maxConnectionsPerAddress = 64;
    // Threads that execute calls; connections themselves are served by a few event threads.
    int workers = 16;
};

} // namespace srv
