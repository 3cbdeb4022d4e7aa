// Native side of com.kvor.zephrin6.swerve.jni.SwerveJNITestHooks, the hooks
// the JVM test programs use: what the bindings and the C interface hold
// (global references, callback contexts, attached threads, drivetrains) and
// the bytes the C heap has handed out, so that a test can see that a stream
// of drivetrains opened and closed leaves nothing behind; and a timed run of
// a telemetry callback from a native thread, as the odometry thread would
// call it, without waiting for real samples.

#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <jni.h>
#include <malloc.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "jni/internal/CallbackContext.hpp"
#include "jni/internal/JVMThreadAttacher.hpp"
#include "cinterface/internal/CStyleExtras.hpp"

namespace jni = kvor::zephrin6::jni;

extern "C" {

ZEPHRIN6_API JNIEXPORT jlong JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNITestHooks_liveGlobalReferences(JNIEnv*,
                                                                                                               jclass) {
  return jni::LiveGlobalReferences();
}

ZEPHRIN6_API JNIEXPORT jlong JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNITestHooks_liveCallbackContexts(JNIEnv*,
                                                                                                               jclass) {
  return jni::LiveCallbackContexts();
}

ZEPHRIN6_API JNIEXPORT jlong JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNITestHooks_liveAttachedThreads(JNIEnv*,
                                                                                                              jclass) {
  return jni::JVMThreadAttacher::LiveAttachments();
}

ZEPHRIN6_API JNIEXPORT jlong JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNITestHooks_liveDrivetrains(JNIEnv*,
                                                                                                          jclass) {
  return static_cast<jlong>(kvor::zephrin6::cinterface::LiveDrivetrains());
}

ZEPHRIN6_API JNIEXPORT jlong JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNITestHooks_cHeapBytesInUse(JNIEnv*,
                                                                                                          jclass) {
  // Allocated chunks of every arena, plus the blocks malloc mapped on its own.
  const struct mallinfo2 info = mallinfo2();
  return static_cast<jlong>(info.uordblks + info.hblkhd);
}

ZEPHRIN6_API JNIEXPORT jlong JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNITestHooks_timeTelemetryCallbacks(
    JNIEnv*, jclass, jlong telemetryHandle, jint modules, jint calls) {
  if (telemetryHandle == 0 || modules < 0 || calls < 0) return -1;
  void* context = reinterpret_cast<void*>(static_cast<std::uintptr_t>(telemetryHandle));
  const auto count = static_cast<std::size_t>(modules);
  std::vector<_swerve_module_state_t> states(count, {1.5, 0.25});
  std::vector<_swerve_module_state_t> targets(count, {1.6, 0.3});
  std::vector<_swerve_module_position_t> positions(count, {2.0, 0.25});
  _swerve_drive_state_t state{1.0,  2.0,  0.5,   1.5,  0.0, 0.1, states.data(), targets.data(), positions.data(),
                              0.45, 12.0, 0.004, 3000, 2};
  std::int64_t elapsed = 0;
  std::thread thread([&] {
    const auto start = std::chrono::steady_clock::now();
    for (jint i = 0; i < calls; ++i) jni::TelemetryCallback(context, &state);
    elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count();
  });
  thread.join();
  return elapsed;
}

}  // extern "C"
