#include "services/lib/Consiste.h"

#include "services/data/EAbort.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"

void MensErro(const std::string& text, bool stop) {
    Application::instance().platform().MessageBox(MessageKind::Error, text, MessageButtons::Ok);
    if (stop) Abort();
}
