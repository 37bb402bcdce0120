#pragma once

// What a tool button does on the creation screen. Undo and Redo are the
// history's two buttons beside the palette.
enum class ToolKind { Pen = 0, Cube = 1, Eraser = 2, Hand = 3, Exit = 4, Printer = 5, Undo = 6, Redo = 7 };
