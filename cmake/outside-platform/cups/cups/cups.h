#pragma once
// Only src/platform/ includes the CUPS client library's headers. Everything
// else has this folder on its include path, so that the header is not found
// in /usr/include instead.
#error "cups/cups.h: only src/platform/ may include the CUPS client library's headers"
