// An advisory lock on a folder, held by one run at a time: the run that
// writes a pair of files there holds it from the first write to the last
// rename, so that the pair found there afterwards comes from one run.
#pragma once

#include <string>

namespace kesto::common {

class FolderLock {
 public:
  // Locks `folder`, waiting while another process holds it; `on_wait` (when
  // given) is called once before such a wait. A folder that cannot be opened
  // is not locked: the writing goes on unguarded, as it would without locks.
  explicit FolderLock(const std::string& folder, void (*on_wait)() = nullptr);
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

  bool locked() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace kesto::common
