#pragma once

#include <string_view>

// Writes one diagnostic line, prefixed with the program's name, to standard error.
void LogLine(std::string_view message);
