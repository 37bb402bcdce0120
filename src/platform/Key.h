#pragma once

// The keys and buttons the program reads. Undo stands for Ctrl+Z, Redo for
// Ctrl+Y and Ctrl+Shift+Z: each is down from the letter's press (with Ctrl
// held) to its release.
enum class Key { LeftButton, Escape, F7, F8, F11, Undo, Redo, Count };
