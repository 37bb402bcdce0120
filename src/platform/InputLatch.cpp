#include "platform/InputLatch.h"

#include <cstddef>

namespace {
  // The bits of a key reading: held now, and pressed since the last query.
  constexpr int HeldBit = 0x8000;
  constexpr int PressedBit = 0x0001;

  bool InRange(Key key)
  {
    return static_cast<int>(key) >= 0 && key < Key::Count;
  }
}

void InputLatch::Press(Key key)
{
  if(!InRange(key))
    return;
  const auto index = static_cast<std::size_t>(key);
  down[index] = true;
  pressedSinceQuery[index] = true;
}

void InputLatch::Release(Key key)
{
  if(!InRange(key))
    return;
  down[static_cast<std::size_t>(key)] = false;
}

int InputLatch::Query(Key key)
{
  if(!InRange(key))
    return 0;
  const auto index = static_cast<std::size_t>(key);
  const int result = (down[index] ? HeldBit : 0) | (pressedSinceQuery[index] ? PressedBit : 0);
  pressedSinceQuery[index] = false;
  return result;
}
