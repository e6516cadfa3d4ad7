#pragma once
// How the program reports failures: every one goes to stderr as
// "tavrin: <message>" (with " (result code 0x<code>)" for a failed device or
// input call); a failure while starting (or while loading) also shows the
// message box "Failed to initialise game :(" captioned "Tavrin". Everything
// reported here also goes to the run's log when there is one (app/RunLog.h).

#include <cstdint>

// Writes one failure to stderr.
void ReportError(const char* message, bool hasCode, int32_t code);
// Writes one message that is not a failure ("tavrin: <message>") to stderr.
void ReportNotice(const char* message);

// Shows the start-up failure box through the installed box function.
void ReportStartupFailure();

// The function that shows an error box (text, caption); null shows nothing.
// Main thread only.
typedef void (*MessageBoxFn)(const char* text, const char* caption);
extern MessageBoxFn gMessageBox;
