#pragma once

// The comms log and the error texts of the serial port component.
//
// The comms log is an optional text file of diagnostic lines, one per call, written by the
// window's thread and by both worker threads of the component. It is written only while a
// comms log file name is set; the name is one per process. The file is opened for appending at
// the first line after a name is set (an existing file is added to, never emptied) and stays
// open until CloseCommsLog; a line written after that opens it again. Writes are serialised,
// so every line comes out whole.

#include <optional>
#include <string>

namespace zak {

// Any thread. Sets the process-wide comms log file name; an empty name silences the log.
// A file that is open under another name is closed first.
void SetCommsLogName(const std::string& name);

// Any thread. The process-wide comms log file name.
std::string CommsLogName();

// Any thread. Writes `text` and a line end as one line when a comms log file name is set;
// otherwise does nothing and touches no file. Throws std::system_error when the file cannot
// be opened or the line cannot be written.
void WriteCommsLog(const std::string& text);

// Any thread. Closes the comms log file if it is open. Throws std::system_error when the
// close fails (lines still buffered are then lost).
void CloseCommsLog();

// Any thread. The operating system's text for an errno value (strerror). For a value that has
// no text: "FormatMessage failed on error <value> for the following reason: <EINVAL>".
// nullopt only when no memory could be had for the text; "Out of memory trying to
// FormatLastError" then goes to the debug output.
std::optional<std::string> FormatLastError(int errorCode);

// Any thread. The comms log line about an errno value:
//   <prefix>GetLastError returned: "<text of FormatLastError>"
// or <prefix>Out of memory when FormatLastError has none. The prefix is joined without a
// separator; a null prefix counts as empty. The line is cut at 1023 characters and is written
// as it stands (it is never used as a format). Throws as WriteCommsLog does.
void LogLastError(int errorCode, const char* prefix = nullptr);

// Any thread. The component's debug channel, for the one text that cannot go to the comms log
// ("Out of memory trying to FormatLastError"): syslog at LOG_DEBUG. Never throws.
void OutputDebugText(const char* text);

}  // namespace zak
