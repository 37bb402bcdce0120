#pragma once

// What a tool button does on the creation screen.
enum class ToolKind { Pen = 0, Cube = 1, Eraser = 2, Hand = 3, Exit = 4, Printer = 5 };
