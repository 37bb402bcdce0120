#include "events/EventManager.h"

EventManager &EventManager::Instance()
{
  static EventManager manager;
  return manager;
}

EventManager::~EventManager()
{
  Clear();
}

bool EventManager::Start(ScreenHost &host, const EventFactory &factory)
{
  owner = &host;

  std::unique_ptr<Event> title = factory.makeTitle ? factory.makeTitle(host) : nullptr;
  if(!title || !title->Init())
    return false;
  current = title.get();
  Add(title.release());

  std::unique_ptr<Event> create = factory.makeCreate ? factory.makeCreate(host) : nullptr;
  if(!create || !create->Init())
    return false;
  Add(create.release());
  return true;
}

void EventManager::Frame()
{
  if(current)
    current = current->RunFrame(*this);
}

Event *EventManager::FindEvent(const std::string &name) const
{
  for(int i = 0; i < Count(); ++i)
    if(At(i)->Name() == name)
      return At(i);
  return nullptr;
}

void EventManager::RemoveAt(int index)
{
  Event *event = At(index);
  if(event == current)
    current = nullptr;
  delete event;
  PointerList<Event>::RemoveAt(index);
}
