#pragma once
// Shows an error message box with no owner window and waits until the user
// closes it; where no box can be shown (no display), writes
// "<caption>: <text>" to stderr instead. Needs no window layer.
void ShowErrorMessageBox(const char* text, const char* caption);
