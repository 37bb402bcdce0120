#pragma once

// The program's sound effects, in the order the studio loads them.
enum class SoundId { Start, End, Select, Selected, Door, Draw, Put, Del, Print, Undo, Redo, Count };
