// One instance at a time: the named event that marks the first instance, the
// search for the running main window, and the WM_COPYDATA block that hands a
// later start's folder argument over. Tested by tests/app/unit/Instance_test.cpp
// (block coding) and tests/app/MainForm_e2e_test.cpp (two real processes).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace qv::app {

// The program's command-line arguments (after the program name), cp1252.
std::vector<std::string> CommandLineArguments();

// True when the first argument is the help switch, which is no folder.
bool IsHelpSwitch(const std::string& arg);

// True for the first instance; later calls return the first answer.
bool FirstInstanceEvent(const std::string& name);

// Finds the running main window and hands the first argument over. True when
// that window was found and activated (this process then ends). When the
// event exists but no window answers within about 3 s, false: this start goes
// on as a normal, visible instance.
bool ActivateRunningInstance(const std::string& className, const std::string& title,
                             const std::vector<std::string>& args);

// The 256-byte block of the hand-over: byte 0 the length, then the text.
// Nothing is sent for a text longer than 255 characters (a cut path could
// name another folder).
std::optional<std::vector<unsigned char>> EncodeInstanceMessage(const std::string& text);

// Reads a received block defensively: nothing without data; the length is
// bounded by the block's size and by 255.
std::optional<std::string> DecodeInstanceMessage(const void* data, size_t size);

}  // namespace qv::app
