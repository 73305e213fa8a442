// The hourglass: shown over the application while a long piece of work
// (a replay, an export) runs, restored when it ends.
#pragma once

namespace kesto::shell {

class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  bool shown_ = false;
};

}  // namespace kesto::shell
