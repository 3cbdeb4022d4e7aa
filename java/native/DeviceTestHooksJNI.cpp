// Test-only native side of com.kvor.zephrin6.hardware.DeviceTestHooks: what
// the Java device tests ask the runtime's harness (recorded control calls,
// stored config values) and the failures they inject (an absent device).
// Built with the tests only, never installed.

#include <kvor/zephrin/runtime/harness/Configs.hpp>
#include <kvor/zephrin/runtime/harness/Controls.hpp>
#include <kvor/zephrin/runtime/harness/Signals.hpp>

#include <jni.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace harness = kvor::zephrin::runtime::harness;

namespace {

std::string Text(JNIEnv* env, jstring text) {
  const char* chars = env->GetStringUTFChars(text, nullptr);
  std::string copy = chars == nullptr ? std::string() : std::string(chars);
  if (chars != nullptr) env->ReleaseStringUTFChars(text, chars);
  return copy;
}

uint32_t Hash(JNIEnv* env, jint deviceId, jstring model, jstring bus) {
  return harness::DeviceHash(deviceId, Text(env, model), Text(env, bus));
}

}  // namespace

extern "C" {

JNIEXPORT jstring JNICALL Java_com_kvor_zephrin6_hardware_DeviceTestHooks_lastControlCall(JNIEnv* env, jclass,
                                                                                           jint deviceId,
                                                                                           jstring model,
                                                                                           jstring bus) {
  auto call = harness::LastControlCall(Hash(env, deviceId, model, bus));
  return env->NewStringUTF(call ? harness::ToString(*call).c_str() : "");
}

JNIEXPORT jdouble JNICALL Java_com_kvor_zephrin6_hardware_DeviceTestHooks_storedConfigValue(
    JNIEnv* env, jclass, jint deviceId, jstring model, jstring bus, jint configId) {
  auto value = harness::StoredConfigValue(Hash(env, deviceId, model, bus), configId);
  return value ? *value : std::nan("");
}

JNIEXPORT jboolean JNICALL Java_com_kvor_zephrin6_hardware_DeviceTestHooks_setPresent(JNIEnv* env, jclass,
                                                                                       jint deviceId, jstring model,
                                                                                       jstring bus,
                                                                                       jboolean present) {
  return harness::SetDevicePresent(Hash(env, deviceId, model, bus), present == JNI_TRUE) ? JNI_TRUE : JNI_FALSE;
}

}  // extern "C"
