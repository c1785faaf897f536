// The runtime's standard errors: one exception type per kind, with the texts
// the user sees, and the default error report that shows them. A command that
// starts work catches them (RunCommand) and shows the report; the ini write
// error is platform/IniFile.h's IniWriteError ("Unable to write to %s").
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace kv {

// Base of the runtime's errors.
class RuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A registry write refused: "Failed to create key %s" or "Failed to set data for '%s'".
class RegistryError : public RuntimeError {
public:
    static RegistryError keyNotCreated(const std::string& key);
    static RegistryError dataNotSet(const std::string& valueName);

private:
    using RuntimeError::RuntimeError;
};

// Text that is no 32-bit integer: "'%s' is not a valid integer value".
class ConvertError : public RuntimeError {
public:
    explicit ConvertError(const std::string& text);
};

// An input/output error of the file system (a folder that cannot be made):
// the runtime's text for the system error code.
class InOutError : public RuntimeError {
public:
    explicit InOutError(unsigned long code);
    unsigned long code() const { return code_; }
    // "File not found", "File access denied", ... or "I/O error %d".
    static std::string textFor(unsigned long code);

private:
    unsigned long code_;
};

// The integer of a text as the runtime reads it (blanks before it, a sign,
// decimal or "$"/"0x" hexadecimal); throws ConvertError.
int StrToInt(const std::string& text);
// Makes a folder (its parent must exist); throws InOutError with the system's code.
void MakeDirectory(const std::string& path);

// The text of the default error report: the message with a final period
// unless it already ends in one (or in another character before '.').
std::string errorReportText(const std::string& message);
// The default error report: a message box titled with the application title,
// error icon, OK, over the active window.
void ShowErrorReport(const std::string& message);
void ShowErrorReport(const std::exception& error);
// Runs a command the user started; an exception it raises is shown by the
// default error report. False when the command failed that way.
bool RunCommand(const std::function<void()>& command);

}  // namespace kv
