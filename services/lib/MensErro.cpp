#include "services/lib/Consiste.h"

#include "services/data/EAbort.h"
#include "services/lib/LibraryHost.h"

#include <iostream>

void MensErro(const std::string& text, bool stop) {
    // Before the host has installed its application (start-up, command-line tools) there is no
    // window to show the error in; it must still not be lost.
    if (LibraryHost* host = LibraryHost::current())
        host->showError(text);
    else
        std::cerr << "Erro: " << text << '\n';
    if (stop) Abort();
}
