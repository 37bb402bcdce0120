#pragma once
// Only src/platform/ includes SDL2's headers. Everything else has this folder
// on its include path, so that the header is not found in /usr/include instead.
#error "SDL2/SDL.h: only src/platform/ may include SDL2's headers"
