// The native methods of com.kvor.zephrin6.hardware.jni.DeviceJNI for the
// differential mechanisms and the orchestra: one per function of
// mechanism_c_style.h and orchestra_c_style.h, arguments in the same order.
// Unknown handles get the C functions' neutral results; nothing throws.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/core/orchestra_c_style.h>
#include <kvor/zephrin6/mechanisms/mechanism_c_style.h>

#include <jni.h>

#include <array>
#include <cstddef>

namespace {

constexpr jint kInvalid = kvor::zephrin::StatusCode::InvalidParamValue;
// Request fields cross through the stack; no request has more.
constexpr jsize kMaxFields = 64;

}  // namespace

extern "C" {

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_mechanismCreate(
    JNIEnv*, jclass, jint simple, jint leader, jint follower, jboolean opposes, jint sensor, jint imuAxis) {
  return c_kvor_zephrin6_mechanism_create(simple, leader, follower, opposes == JNI_TRUE ? 1 : 0, sensor, imuAxis);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_mechanismDestroy(JNIEnv*, jclass,
                                                                                                   jint handle) {
  c_kvor_zephrin6_mechanism_destroy(handle);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_mechanismPeriodic(JNIEnv*, jclass,
                                                                                                    jint handle) {
  c_kvor_zephrin6_mechanism_periodic(handle);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_mechanismSetControl(
    JNIEnv* env, jclass, jint handle, jint typeId, jdoubleArray fields, jint count) {
  if (fields == nullptr || count < 0 || count > kMaxFields || env->GetArrayLength(fields) < count) return kInvalid;
  std::array<double, kMaxFields> values{};
  env->GetDoubleArrayRegion(fields, 0, count, values.data());
  return c_kvor_zephrin6_mechanism_set_control(handle, typeId, values.data(), static_cast<std::size_t>(count));
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_mechanismSetNeutral(JNIEnv*, jclass,
                                                                                                      jint handle,
                                                                                                      jint how) {
  return c_kvor_zephrin6_mechanism_set_neutral(handle, how);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_mechanismApplyConfigs(
    JNIEnv*, jclass, jint handle, jint retries) {
  return c_kvor_zephrin6_mechanism_apply_configs(handle, retries);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_mechanismClearUserRequirement(
    JNIEnv*, jclass, jint handle) {
  c_kvor_zephrin6_mechanism_clear_user_requirement(handle);
}

/// Fills state[0..4]; false (state untouched) for an unknown handle or a short array.
ZEPHRIN6_API JNIEXPORT jboolean JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_mechanismState(
    JNIEnv* env, jclass, jint handle, jintArray state) {
  constexpr jsize kStateSize = 5;
  if (state == nullptr || env->GetArrayLength(state) < kStateSize) return JNI_FALSE;
  std::array<int32_t, kStateSize> values{};
  if (c_kvor_zephrin6_mechanism_state(handle, values.data()) == 0) return JNI_FALSE;
  env->SetIntArrayRegion(state, 0, kStateSize, reinterpret_cast<const jint*>(values.data()));
  return JNI_TRUE;
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_orchestraCreate(JNIEnv*, jclass) {
  return c_kvor_zephrin6_orchestra_create();
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_orchestraDestroy(JNIEnv*, jclass,
                                                                                                   jint handle) {
  c_kvor_zephrin6_orchestra_destroy(handle);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_orchestraAddInstrument(
    JNIEnv*, jclass, jint handle, jint device, jint track) {
  return c_kvor_zephrin6_orchestra_add_instrument(handle, device, track);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_orchestraClearInstruments(
    JNIEnv*, jclass, jint handle) {
  return c_kvor_zephrin6_orchestra_clear_instruments(handle);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_orchestraLoadMusic(JNIEnv* env,
                                                                                                     jclass,
                                                                                                     jint handle,
                                                                                                     jstring path) {
  if (path == nullptr) return kInvalid;
  const char* chars = env->GetStringUTFChars(path, nullptr);
  if (chars == nullptr) return kInvalid;  // OutOfMemoryError pending
  const jint status = c_kvor_zephrin6_orchestra_load_music(handle, chars);
  env->ReleaseStringUTFChars(path, chars);
  return status;
}

/// What `action` does to the music: 0 play, 1 pause, 2 stop.
ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_orchestraControl(JNIEnv*, jclass,
                                                                                                   jint handle,
                                                                                                   jint action) {
  switch (action) {
    case 0: return c_kvor_zephrin6_orchestra_play(handle);
    case 1: return c_kvor_zephrin6_orchestra_pause(handle);
    case 2: return c_kvor_zephrin6_orchestra_stop(handle);
    default: return kInvalid;
  }
}

ZEPHRIN6_API JNIEXPORT jboolean JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_orchestraIsPlaying(JNIEnv*,
                                                                                                        jclass,
                                                                                                        jint handle) {
  return c_kvor_zephrin6_orchestra_is_playing(handle) != 0 ? JNI_TRUE : JNI_FALSE;
}

ZEPHRIN6_API JNIEXPORT jdouble JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_orchestraCurrentTime(
    JNIEnv*, jclass, jint handle) {
  return c_kvor_zephrin6_orchestra_current_time(handle);
}

}  // extern "C"
