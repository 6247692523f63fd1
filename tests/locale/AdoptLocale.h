#pragma once

// Adopts the environment's locale (setlocale(LC_ALL, "")) the way the shell does at start-up.
// When FYN_TEST_LOCALE names the locale a run is meant for, a machine without it fails the run
// with a message instead of quietly testing under "C". False, with the message written, then.
bool adoptEnvironmentLocale();
