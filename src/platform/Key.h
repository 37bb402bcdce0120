#pragma once

// The keys and buttons the program reads.
enum class Key { LeftButton, Escape, F7, F8, F11, Count };
