#include "jni/internal/CallbackContext.hpp"

#include <algorithm>
#include <atomic>

#include "jni/internal/JVMThreadAttacher.hpp"
#include "jni/internal/JavaState.hpp"

namespace kvor::zephrin6::jni {

namespace {

std::atomic<long> liveGlobalReferences{0};
std::atomic<long> liveContexts{0};

jobject NewGlobal(JNIEnv* env, jobject object) {
  jobject global = object == nullptr ? nullptr : env->NewGlobalRef(object);
  if (global != nullptr) liveGlobalReferences.fetch_add(1, std::memory_order_relaxed);
  return global;
}

void DeleteGlobal(JNIEnv* env, jobject global) {
  if (global == nullptr) return;
  env->DeleteGlobalRef(global);
  liveGlobalReferences.fetch_sub(1, std::memory_order_relaxed);
}

// One attacher per thread and callback kind.
thread_local JVMThreadAttacher controlAttacher;
thread_local JVMThreadAttacher telemetryAttacher;

/// An exception thrown by a Java callback cannot travel through the
/// drivetrain's C++ thread, and with one pending the thread could make no
/// further JNI call; it is dropped here. The Java wrapper hands its
/// callbacks' exceptions to the thread's uncaught-exception handler before
/// they get this far.
void DropPendingException(JNIEnv* env) {
  if (env->ExceptionCheck()) env->ExceptionClear();
}

}  // namespace

CallbackContext* NewCallbackContext(JNIEnv* env, jobject target, jobject callback, const char* methodName,
                                    const char* signature, std::size_t moduleCount) {
  if (target == nullptr || callback == nullptr) return nullptr;
  auto* context = new CallbackContext{};
  liveContexts.fetch_add(1, std::memory_order_relaxed);
  context->moduleCount = moduleCount;
  if (env->GetJavaVM(&context->vm) != JNI_OK) {
    Release(env, context);
    return nullptr;
  }
  context->target = NewGlobal(env, target);
  context->callback = NewGlobal(env, callback);
  jclass callbackClass = env->GetObjectClass(callback);
  context->callbackClass = static_cast<jclass>(NewGlobal(env, callbackClass));
  env->DeleteLocalRef(callbackClass);
  if (context->target == nullptr || context->callback == nullptr || context->callbackClass == nullptr) {
    Release(env, context);
    return nullptr;
  }
  context->method = env->GetMethodID(context->callbackClass, methodName, signature);
  if (context->method == nullptr) {
    Release(env, context);
    return nullptr;
  }
  return context;
}

void Release(JNIEnv* env, CallbackContext* context) {
  if (context == nullptr) return;
  DeleteGlobal(env, context->callbackClass);
  DeleteGlobal(env, context->callback);
  DeleteGlobal(env, context->target);
  delete context;
  liveContexts.fetch_sub(1, std::memory_order_relaxed);
}

int ControlCallback(void* opaque, const _swerve_control_params_t* params) {
  auto* context = static_cast<CallbackContext*>(opaque);
  JNIEnv* env = controlAttacher.Attach(context->vm);
  if (env == nullptr) return 0;
  CopyToJava(env, context->target, *params);
  const jint status = env->CallIntMethod(context->callback, context->method);
  DropPendingException(env);
  return status;
}

void TelemetryCallback(void* opaque, const _swerve_drive_state_t* state) {
  auto* context = static_cast<CallbackContext*>(opaque);
  JNIEnv* env = telemetryAttacher.Attach(context->vm);
  if (env == nullptr) return;
  JavaModuleArrays arrays(env, context->target);
  WriteDriveState(env, context->target, *state, arrays, std::min(arrays.count, context->moduleCount));
  arrays.Release(env);
  env->CallVoidMethod(context->callback, context->method);
  DropPendingException(env);
}

long LiveGlobalReferences() noexcept { return liveGlobalReferences.load(std::memory_order_relaxed); }

long LiveCallbackContexts() noexcept { return liveContexts.load(std::memory_order_relaxed); }

}  // namespace kvor::zephrin6::jni
