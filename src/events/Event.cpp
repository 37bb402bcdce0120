#include "events/Event.h"

Event::Event(PaintApp &owner, const std::string &name)
  : owner(owner), name(name.substr(0, MaxNameLength))
{
}
