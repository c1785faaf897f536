// The program entry: a second copy raises the first and ends; the first
// creates its three windows, runs the message loop and shuts down in order.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kv {

class TPlayForm;

// Posts the activation message to a running copy; true when one was found.
bool ActivateRunningInstance();
// The name of the mutex the running copy holds.
extern const char* const kInstanceMutexName;
// Waits up to `waitMs` for the running copy's window and hands over to it.
void HandOverToRunningInstance(unsigned long waitMs);

// Creates the main, play and playlist windows in that order and shows the main
// window. A play window may be handed in (tests watch the commands it gets).
bool CreateForms(std::unique_ptr<TPlayForm> play = nullptr);
// Frees the playlist window, then the play window, then the main window
// (which writes the settings).
void DestroyForms();

int RunProgram(const std::vector<std::string>& params);

}  // namespace kv
