#pragma once

// SIGHUP, sent when the session that started the toy ends (a logout), would
// end the program at once and lose the model. Once Install has run, the
// signal only raises a flag, which the application's loop reads and turns
// into a normal close (with its autosave). The flag is the one piece of
// process-wide state a signal handler can safely share.
class HangupSignal {
public:
  // Routes SIGHUP to the flag. False when the handler cannot be set.
  static bool Install();
  // Whether SIGHUP has arrived since Install (or the last Clear).
  static bool Raised();
  // Lowers the flag.
  static void Clear();
};
