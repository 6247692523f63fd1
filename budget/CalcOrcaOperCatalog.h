#pragma once

// Lines "key|text" of the main screen's message catalog msgPadrao (the month keys "1".."12"
// come with every catalog).
extern const char* const kCalcOrcaOperMessages;
