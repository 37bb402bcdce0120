#pragma once

#include <string>
#include <string_view>

// Writes one diagnostic line, prefixed with the program's name, to standard
// error. Control characters in the message (a newline in a file name or an
// argument) are written as escapes, so that the line stays one line.
void LogLine(std::string_view message);

// The message with its control characters escaped: a newline as "\n", a tab
// as "\t", a carriage return as "\r", any other as "\xNN".
std::string OneLine(std::string_view message);
