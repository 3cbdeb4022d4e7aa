#include "threads/ThreadRecorder.hpp"

namespace kvor::zephrin::runtime::threads {

void ThreadRecorder::AddPriority(harness::ThreadPriorityRequest request) {
  LockGuard lock(mutex_);
  if (priorities_.size() == kKept) priorities_.pop_front();
  priorities_.push_back(request);
}

void ThreadRecorder::AddUsage(harness::UsageReport report) {
  LockGuard lock(mutex_);
  if (usage_.size() == kKept) usage_.pop_front();
  usage_.push_back(std::move(report));
}

std::vector<harness::ThreadPriorityRequest> ThreadRecorder::Priorities() const {
  LockGuard lock(mutex_);
  return {priorities_.begin(), priorities_.end()};
}

std::vector<harness::UsageReport> ThreadRecorder::Usage() const {
  LockGuard lock(mutex_);
  return {usage_.begin(), usage_.end()};
}

}  // namespace kvor::zephrin::runtime::threads
