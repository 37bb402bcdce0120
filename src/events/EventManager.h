#pragma once

#include "base/PointerList.h"
#include "events/Event.h"

#include <functional>
#include <memory>
#include <string>

class ScreenHost;

// Makes the two screens for the event manager: the title first, then the
// creation screen.
struct EventFactory {
  std::function<std::unique_ptr<Event>(ScreenHost &)> makeTitle;
  std::function<std::unique_ptr<Event>(ScreenHost &)> makeCreate;
};

// Owns the program's screens for the whole run (index 0 the title, index 1 the
// creation screen), runs the current one once per frame and lets the screens
// find each other by name. Destroying the manager destroys both, title first.
class EventManager : public PointerList<Event> {
public:
  // The process-wide manager, made on first use and destroyed at exit.
  static EventManager &Instance();

  EventManager() = default;
  ~EventManager() override;

  // Makes, initialises and adds the title (which becomes current), then the
  // creation screen. An event whose Init fails is destroyed and Start fails.
  bool Start(ScreenHost &host, const EventFactory &factory);
  // Runs the current event once; what it returns is current from the next frame.
  void Frame();
  // The first event with exactly this name, or null.
  Event *FindEvent(const std::string &name) const;

  Event *Current() const { return current; }
  ScreenHost *Owner() const { return owner; }

  // Destroys the element, then removes it.
  void RemoveAt(int index) override;

private:
  ScreenHost *owner = nullptr;
  Event *current = nullptr;
};
