#pragma once
// Only src/platform/ includes cairo's headers. Everything else has this folder
// on its include path, so that the header is not found in /usr/include instead.
#error "cairo/cairo.h: only src/platform/ may include cairo's headers"
