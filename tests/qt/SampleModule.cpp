// A module for the loader's tests: its hooks and entries leave their trace in the environment.

#include "services/data/Variant.h"

#include <cstdlib>
#include <string>

namespace {
void trace(const std::string& step) {
    const char* before = std::getenv("FYN_SAMPLE_MODULE_TRACE");
    std::string all = before ? before : "";
    all += step + ";";
    ::setenv("FYN_SAMPLE_MODULE_TRACE", all.c_str(), 1);
}
} // namespace

extern "C" {
void ModuleInitialization() {
    trace("start");
}
void ModuleFinalization() {
    trace("stop");
}
void IniProc() {
    trace("enter");
}
void IniProcParams(const Variant* params, int count) {
    std::string text = "params";
    for (int i = 0; i < count; ++i)
        text += " " + params[i].toText();
    trace(text);
}
}
