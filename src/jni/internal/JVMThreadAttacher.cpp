#include "jni/internal/JVMThreadAttacher.hpp"

#include <atomic>

namespace kvor::zephrin6::jni {

namespace {
std::atomic<long> liveAttachments{0};
}  // namespace

JVMThreadAttacher::~JVMThreadAttacher() {
  if (!attachedHere_) return;
  vm_->DetachCurrentThread();
  liveAttachments.fetch_sub(1, std::memory_order_relaxed);
}

long JVMThreadAttacher::LiveAttachments() noexcept { return liveAttachments.load(std::memory_order_relaxed); }

JNIEnv* JVMThreadAttacher::Attach(JavaVM* vm) noexcept {
  if (env_ != nullptr) return env_;
  vm_ = vm;
  void* env = nullptr;
  const jint status = vm->GetEnv(&env, JNI_VERSION_1_6);
  if (status == JNI_EDETACHED) {
    char name[] = "zephrin6 odometry";
    JavaVMAttachArgs args{JNI_VERSION_1_6, name, nullptr};
    if (vm->AttachCurrentThreadAsDaemon(&env, &args) != JNI_OK) return nullptr;
    attachedHere_ = true;
    liveAttachments.fetch_add(1, std::memory_order_relaxed);
  } else if (status != JNI_OK) {
    return nullptr;
  }
  env_ = static_cast<JNIEnv*>(env);
  return env_;
}

}  // namespace kvor::zephrin6::jni
