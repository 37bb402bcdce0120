#pragma once

#include <string>

class EventManager;
class ScreenHost;

// A screen of the program. The event manager owns the events, runs the
// current one once per frame, and switches when RunFrame returns another.
class Event {
public:
  // Names are at most this many characters; longer ones are cut.
  static constexpr size_t MaxNameLength = 63;

  Event(ScreenHost &owner, const std::string &name);
  Event(const Event &) = delete;
  Event &operator=(const Event &) = delete;
  virtual ~Event() = default;

  // Called once right after construction; an event that fails is destroyed.
  virtual bool Init() = 0;
  // Runs one frame; returns the event to run next frame (this one to stay).
  virtual Event *RunFrame(EventManager &manager) = 0;

  const std::string &Name() const { return name; }

protected:
  ScreenHost &owner;

private:
  std::string name;
};
