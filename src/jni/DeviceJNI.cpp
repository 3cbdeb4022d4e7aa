// The native methods of com.kvor.zephrin6.hardware.jni.DeviceJNI: one per
// generic device function of device_c_style.h, with the arguments in the C
// function's order. Java arrays are copied in and out through stack buffers
// with Get/Set...ArrayRegion, so no call allocates on the Java heap (only
// signalUnits makes a String). Arrays that are null or too short skip the
// call and give InvalidParamValue; nothing here throws a Java exception.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/hardware/device_c_style.h>

#include <jni.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr jint kInvalid = kvor::zephrin::StatusCode::InvalidParamValue;
// Request fields and config values are copied through the stack up to this
// many entries; a robot loop's signal groups too.
constexpr jsize kOnStack = 64;

bool Holds(JNIEnv* env, jarray array, jsize count) {
  return array != nullptr && count >= 0 && env->GetArrayLength(array) >= count;
}

/// The first `count` ints of a Java int[], on the stack up to kOnStack.
class IntRegion {
 public:
  IntRegion(JNIEnv* env, jintArray array, jsize count) {
    if (count > kOnStack) heap_.resize(static_cast<std::size_t>(count));
    data_ = count > kOnStack ? heap_.data() : stack_.data();
    env->GetIntArrayRegion(array, 0, count, reinterpret_cast<jint*>(data_));
  }
  const int32_t* data() const { return data_; }

 private:
  std::array<int32_t, kOnStack> stack_{};
  std::vector<int32_t> heap_;
  int32_t* data_;
};

/// The first `count` doubles of a Java double[], on the stack up to kOnStack.
class DoubleRegion {
 public:
  DoubleRegion(JNIEnv* env, jdoubleArray array, jsize count) {
    if (count > kOnStack) heap_.resize(static_cast<std::size_t>(count));
    data_ = count > kOnStack ? heap_.data() : stack_.data();
    if (array != nullptr) env->GetDoubleArrayRegion(array, 0, count, data_);
  }
  double* data() { return data_; }

 private:
  std::array<double, kOnStack> stack_{};
  std::vector<double> heap_;
  double* data_;
};

}  // namespace

extern "C" {

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_create(JNIEnv* env, jclass,
                                                                                         jint model, jint deviceId,
                                                                                         jstring canbus) {
  if (canbus == nullptr) return c_kvor_zephrin6_device_create(model, deviceId, nullptr);
  const char* name = env->GetStringUTFChars(canbus, nullptr);
  if (name == nullptr) return 0;  // OutOfMemoryError pending
  const jint handle = c_kvor_zephrin6_device_create(model, deviceId, name);
  env->ReleaseStringUTFChars(canbus, name);
  return handle;
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_destroy(JNIEnv*, jclass,
                                                                                          jint handle) {
  c_kvor_zephrin6_device_destroy(handle);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_readSignal(
    JNIEnv* env, jclass, jint handle, jint signalId, jint mode, jdouble timeoutSeconds, jdoubleArray out) {
  if (!Holds(env, out, C_KVOR_ZEPHRIN6_SIGNAL_RECORD_SIZE)) return kInvalid;
  // A refused read leaves this record: no value, no timestamps, the refusal's status.
  const double none = std::numeric_limits<double>::quiet_NaN();
  std::array<double, C_KVOR_ZEPHRIN6_SIGNAL_RECORD_SIZE> record{none, none, none, none, kInvalid};
  const jint status = c_kvor_zephrin6_device_signal_read(handle, signalId, mode, timeoutSeconds, record.data());
  env->SetDoubleArrayRegion(out, 0, C_KVOR_ZEPHRIN6_SIGNAL_RECORD_SIZE, record.data());
  return status;
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_readAll(
    JNIEnv* env, jclass, jintArray handles, jintArray signalIds, jint count, jdouble timeoutSeconds, jdoubleArray out) {
  if (count > (1 << 20) || !Holds(env, handles, count) || !Holds(env, signalIds, count) ||
      !Holds(env, out, count * C_KVOR_ZEPHRIN6_SIGNAL_RECORD_SIZE)) {
    return kInvalid;
  }
  IntRegion handleList(env, handles, count);
  IntRegion idList(env, signalIds, count);
  DoubleRegion records(env, nullptr, count * C_KVOR_ZEPHRIN6_SIGNAL_RECORD_SIZE);
  // A refused call leaves every record without value or timestamps, with the refusal's status.
  for (jint i = 0; i < count * C_KVOR_ZEPHRIN6_SIGNAL_RECORD_SIZE; ++i) {
    records.data()[i] = (i + 1) % C_KVOR_ZEPHRIN6_SIGNAL_RECORD_SIZE == 0 ? kInvalid : std::numeric_limits<double>::quiet_NaN();
  }
  const jint status = c_kvor_zephrin6_device_signals_read_all(handleList.data(), idList.data(),
                                                              static_cast<std::size_t>(count), timeoutSeconds,
                                                              records.data());
  env->SetDoubleArrayRegion(out, 0, count * C_KVOR_ZEPHRIN6_SIGNAL_RECORD_SIZE, records.data());
  return status;
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_setUpdateFrequency(
    JNIEnv*, jclass, jint handle, jint signalId, jdouble hertz) {
  return c_kvor_zephrin6_device_signal_set_frequency(handle, signalId, hertz);
}

/// The signal's units text, or null for an unknown handle or signal.
ZEPHRIN6_API JNIEXPORT jstring JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_signalUnits(JNIEnv* env, jclass,
                                                                                                jint handle,
                                                                                                jint signalId) {
  std::array<char, 64> text{};
  if (c_kvor_zephrin6_device_signal_units(handle, signalId, text.data(), text.size()) == 0) {
    // No units, or no such signal: an empty text either way.
    return env->NewStringUTF("");
  }
  return env->NewStringUTF(text.data());
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_sendRequest(
    JNIEnv* env, jclass, jint handle, jint typeId, jdoubleArray fields, jint count) {
  if (!Holds(env, fields, count) || count > kOnStack) return kInvalid;
  DoubleRegion values(env, fields, count);
  return c_kvor_zephrin6_device_send_request(handle, typeId, values.data(), static_cast<std::size_t>(count));
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_simSet(JNIEnv*, jclass,
                                                                                         jint handle, jint callId,
                                                                                         jdouble value) {
  return c_kvor_zephrin6_device_sim_set(handle, callId, value);
}

/// The output's value, or NaN when the call was refused.
ZEPHRIN6_API JNIEXPORT jdouble JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_simGet(JNIEnv*, jclass,
                                                                                            jint handle,
                                                                                            jint callId) {
  double value = std::numeric_limits<double>::quiet_NaN();
  // A refused call leaves the NaN, which is the whole answer; the refusal is reported.
  static_cast<void>(c_kvor_zephrin6_device_sim_get(handle, callId, &value));
  return value;
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_configAction(
    JNIEnv*, jclass, jint handle, jint actionId, jdouble value, jdouble timeoutSeconds) {
  return c_kvor_zephrin6_device_config_action(handle, actionId, value, timeoutSeconds);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_applyConfig(
    JNIEnv* env, jclass, jint handle, jintArray configIds, jintArray kinds, jdoubleArray values, jint count,
    jdouble timeoutSeconds) {
  if (!Holds(env, configIds, count) || !Holds(env, kinds, count) || !Holds(env, values, count)) return kInvalid;
  IntRegion ids(env, configIds, count);
  IntRegion kindList(env, kinds, count);
  DoubleRegion settings(env, values, count);
  return c_kvor_zephrin6_device_apply_config(handle, ids.data(), kindList.data(), settings.data(),
                                             static_cast<std::size_t>(count), timeoutSeconds);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_hardware_jni_DeviceJNI_refreshConfig(
    JNIEnv* env, jclass, jint handle, jintArray configIds, jintArray kinds, jdoubleArray values, jint count,
    jdouble timeoutSeconds) {
  if (!Holds(env, configIds, count) || !Holds(env, kinds, count) || !Holds(env, values, count)) return kInvalid;
  IntRegion ids(env, configIds, count);
  IntRegion kindList(env, kinds, count);
  DoubleRegion settings(env, values, count);
  const jint status = c_kvor_zephrin6_device_refresh_config(handle, ids.data(), kindList.data(), settings.data(),
                                                            static_cast<std::size_t>(count), timeoutSeconds);
  env->SetDoubleArrayRegion(values, 0, count, settings.data());
  return status;
}

}  // extern "C"
