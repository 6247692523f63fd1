#pragma once

#include "services/ui/Application.h"
#include "services/ui/HeadlessPlatform.h"
#include "services/ui/testing/FixedHost.h"

#include <string>
#include <utility>
#include <vector>

// A headless application with fixed host services, installed for the test's lifetime.
struct HeadlessHost {
    HeadlessPlatform platform;
    FixedHost host;
    Application app{platform, &host};
    ApplicationScope scope{app};
};
