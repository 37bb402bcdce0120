#pragma once
// Only src/platform/ includes libpng's headers. Everything else has this folder
// on its include path, so that the header is not found in /usr/include instead.
#error "png.h: only src/platform/ may include libpng's headers"
