#pragma once
#include <optional>

namespace esc {

struct LockKeys {
  bool num = false, scroll = false, caps = false, insert = false;
};

// The toggle state of Num, Scroll and Caps Lock as the window system reports it (X11's
// keyboard indicators). nullopt where the platform cannot tell (Wayland, offscreen). The
// Insert key has no toggle state on this platform, so `insert` is always false.
std::optional<LockKeys> readLockKeys();

} // namespace esc
