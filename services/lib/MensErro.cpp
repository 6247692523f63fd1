#include "services/lib/Consiste.h"

#include "services/data/EAbort.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"

#include <iostream>

void MensErro(const std::string& text, bool stop) {
    // Before the host has installed its application (start-up, command-line tools) there is no
    // window to show the error in; it must still not be lost.
    if (Application::installed())
        Application::instance().platform().MessageBox(MessageKind::Error, text, MessageButtons::Ok);
    else
        std::cerr << "Erro: " << text << '\n';
    if (stop) Abort();
}
