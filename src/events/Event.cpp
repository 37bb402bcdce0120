#include "events/Event.h"

Event::Event(ScreenHost &owner, const std::string &name)
  : owner(owner), name(name.substr(0, MaxNameLength))
{
}
