#include "services/lib/LibraryHost.h"

namespace {
LibraryHost* g_current = nullptr;
} // namespace

LibraryHost* LibraryHost::current() {
    return g_current;
}

LibraryHost* LibraryHost::install(LibraryHost* host) {
    LibraryHost* previous = g_current;
    g_current = host;
    return previous;
}
