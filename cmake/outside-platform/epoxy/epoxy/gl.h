#pragma once
// Only src/platform/ includes epoxy's (OpenGL) headers. Everything else has this folder
// on its include path, so that the header is not found in /usr/include instead.
#error "epoxy/gl.h: only src/platform/ may include epoxy's (OpenGL) headers"
