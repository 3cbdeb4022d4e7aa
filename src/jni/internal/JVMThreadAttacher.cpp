#include "jni/internal/JVMThreadAttacher.hpp"

namespace kvor::zephrin6::jni {

JVMThreadAttacher::~JVMThreadAttacher() {
  if (attachedHere_) vm_->DetachCurrentThread();
}

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
  } else if (status != JNI_OK) {
    return nullptr;
  }
  env_ = static_cast<JNIEnv*>(env);
  return env_;
}

}  // namespace kvor::zephrin6::jni
