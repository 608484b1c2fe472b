// The library's device positions: 0 "No sound", 1 "Default", then the
// system's output devices by name.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace bass {

class DeviceList {
 public:
  // Looks the system's output devices up afresh. Throws std::bad_alloc when
  // memory runs out, and then keeps the list it had.
  void Refresh();
  // Refreshes once if never done, so positions mean something.
  void EnsureListed();
  std::size_t Count() const { return names_.size(); }
  const char* Name(std::size_t position) const { return names_[position].c_str(); }

 private:
  std::vector<std::string> names_;
};

}  // namespace bass
