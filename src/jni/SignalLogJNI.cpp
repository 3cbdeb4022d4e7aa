// The native methods of com.kvor.zephrin6.SignalLogger and
// com.kvor.zephrin6.WispReplay: each converts its Java arguments (texts as
// UTF-8, arrays read without writing back) and calls one function of the
// signal log's C interface. A null Java text reaches the C side as NULL,
// which refuses it with InvalidParamValue, and so is a null array here; the
// Java classes check their arguments first and throw, so that is a second
// line only.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/core/signal_log_c_style.h>

#include <jni.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "jni/internal/DoubleElements.hpp"

namespace {

/// The UTF-8 characters of a Java string for one call; null for a null
/// string.
class Utf {
 public:
  Utf(JNIEnv* env, jstring text) : env_(env), text_(text) {
    if (text_ != nullptr) chars_ = env_->GetStringUTFChars(text_, nullptr);
  }
  ~Utf() {
    if (chars_ != nullptr) env_->ReleaseStringUTFChars(text_, chars_);
  }
  Utf(const Utf&) = delete;
  Utf& operator=(const Utf&) = delete;
  const char* get() const { return chars_; }
  /// Bytes of the text without its terminator (0 for null).
  std::size_t size() const {
    return chars_ == nullptr ? 0 : static_cast<std::size_t>(env_->GetStringUTFLength(text_));
  }

 private:
  JNIEnv* env_;
  jstring text_;
  const char* chars_ = nullptr;
};

/// Writes `values` into the Java array when it has room for them all.
void Put(JNIEnv* env, jdoubleArray array, std::initializer_list<double> values) {
  if (array == nullptr || env->GetArrayLength(array) < static_cast<jsize>(values.size())) return;
  env->SetDoubleArrayRegion(array, 0, static_cast<jsize>(values.size()), values.begin());
}

// A replayed payload holds at most 64 bytes.
constexpr std::size_t kMaxReplayedDoubles = 8;
constexpr std::size_t kMaxReplayedText = 64;

}  // namespace

extern "C" {

// ---- com.kvor.zephrin6.SignalLogger ----

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_SignalLogger_nSetPath(JNIEnv* env, jclass, jstring path) {
  const Utf chars(env, path);
  return c_kvor_zephrin6_signal_logger_set_path(chars.get());
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_SignalLogger_nStart(JNIEnv*, jclass) {
  return c_kvor_zephrin6_signal_logger_start();
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_SignalLogger_nStop(JNIEnv*, jclass) {
  return c_kvor_zephrin6_signal_logger_stop();
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_SignalLogger_nWriteDouble(JNIEnv* env, jclass, jstring name,
                                                                                    jdouble value, jstring units,
                                                                                    jdouble latencySeconds) {
  const Utf n(env, name), u(env, units);
  return c_kvor_zephrin6_signal_logger_write_double(n.get(), value, u.get(), latencySeconds);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_SignalLogger_nWriteDoubleArray(
    JNIEnv* env, jclass, jstring name, jdoubleArray values, jstring units, jdouble latencySeconds) {
  const Utf n(env, name), u(env, units);
  // Null and empty differ: an empty array is a sample, a null one is not.
  if (values == nullptr) return kvor::zephrin::StatusCode::InvalidParamValue;
  const kvor::zephrin6::jni::DoubleElements elements(env, values);
  return c_kvor_zephrin6_signal_logger_write_double_array(n.get(), elements.data(), elements.size(), u.get(),
                                                          latencySeconds);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_SignalLogger_nWriteBoolean(JNIEnv* env, jclass,
                                                                                     jstring name, jboolean value,
                                                                                     jdouble latencySeconds) {
  const Utf n(env, name);
  return c_kvor_zephrin6_signal_logger_write_boolean(n.get(), value != JNI_FALSE, latencySeconds);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_SignalLogger_nWriteInteger(JNIEnv* env, jclass,
                                                                                     jstring name, jlong value,
                                                                                     jstring units,
                                                                                     jdouble latencySeconds) {
  const Utf n(env, name), u(env, units);
  return c_kvor_zephrin6_signal_logger_write_integer(n.get(), value, u.get(), latencySeconds);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_SignalLogger_nWriteString(JNIEnv* env, jclass,
                                                                                    jstring name, jstring value,
                                                                                    jdouble latencySeconds) {
  const Utf n(env, name), v(env, value);
  return c_kvor_zephrin6_signal_logger_write_string(n.get(), v.get(), v.size(), latencySeconds);
}

// ---- com.kvor.zephrin6.WispReplay ----

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_WispReplay_nLoadFile(JNIEnv* env, jclass, jstring path) {
  const Utf chars(env, path);
  return c_kvor_zephrin6_replay_load_file(chars.get());
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_WispReplay_nCloseFile(JNIEnv*, jclass) {
  return c_kvor_zephrin6_replay_close_file();
}

ZEPHRIN6_API JNIEXPORT jboolean JNICALL Java_com_kvor_zephrin6_WispReplay_nIsFileLoaded(JNIEnv*, jclass) {
  return c_kvor_zephrin6_replay_is_file_loaded() ? JNI_TRUE : JNI_FALSE;
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_WispReplay_nPlay(JNIEnv*, jclass) {
  return c_kvor_zephrin6_replay_play();
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_WispReplay_nPause(JNIEnv*, jclass) {
  return c_kvor_zephrin6_replay_pause();
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_WispReplay_nStop(JNIEnv*, jclass) {
  return c_kvor_zephrin6_replay_stop();
}

ZEPHRIN6_API JNIEXPORT jboolean JNICALL Java_com_kvor_zephrin6_WispReplay_nIsRunning(JNIEnv*, jclass) {
  return c_kvor_zephrin6_replay_is_running() ? JNI_TRUE : JNI_FALSE;
}

/// Steps; `moved` (a double[1], may be null) receives how far the clock moved.
ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_WispReplay_nStepTiming(JNIEnv* env, jclass,
                                                                                 jdouble stepSeconds,
                                                                                 jdoubleArray moved) {
  double movedSeconds = 0.0;
  const int status = c_kvor_zephrin6_replay_step_timing(stepSeconds, &movedSeconds);
  Put(env, moved, {movedSeconds});
  return status;
}

ZEPHRIN6_API JNIEXPORT jdouble JNICALL Java_com_kvor_zephrin6_WispReplay_nTimeSeconds(JNIEnv*, jclass) {
  return c_kvor_zephrin6_replay_time_seconds();
}

/// `out` (a double[2]) receives {value, timestamp} on success.
ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_WispReplay_nGetDouble(JNIEnv* env, jclass, jstring name,
                                                                                jdoubleArray out) {
  const Utf n(env, name);
  double value = 0.0, timestamp = 0.0;
  const int status = c_kvor_zephrin6_replay_get_double(n.get(), &value, &timestamp);
  if (status == 0) Put(env, out, {value, timestamp});
  return status;
}

/// `out` (a double[1]) receives the timestamp; `value` (a boolean[1]) the value.
ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_WispReplay_nGetBoolean(JNIEnv* env, jclass, jstring name,
                                                                                 jbooleanArray value,
                                                                                 jdoubleArray out) {
  const Utf n(env, name);
  bool read = false;
  double timestamp = 0.0;
  const int status = c_kvor_zephrin6_replay_get_boolean(n.get(), &read, &timestamp);
  if (status == 0 && value != nullptr && env->GetArrayLength(value) >= 1) {
    const jboolean element = read ? JNI_TRUE : JNI_FALSE;
    env->SetBooleanArrayRegion(value, 0, 1, &element);
    Put(env, out, {timestamp});
  }
  return status;
}

/// `value` (a long[1]) receives the value, `out` (a double[1]) the timestamp.
ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_WispReplay_nGetInteger(JNIEnv* env, jclass, jstring name,
                                                                                 jlongArray value, jdoubleArray out) {
  const Utf n(env, name);
  int64_t read = 0;
  double timestamp = 0.0;
  const int status = c_kvor_zephrin6_replay_get_integer(n.get(), &read, &timestamp);
  if (status == 0 && value != nullptr && env->GetArrayLength(value) >= 1) {
    const jlong element = read;
    env->SetLongArrayRegion(value, 0, 1, &element);
    Put(env, out, {timestamp});
  }
  return status;
}

/// @return the elements as a new double[], or null; `out` (a double[2])
/// receives {status, timestamp}.
ZEPHRIN6_API JNIEXPORT jdoubleArray JNICALL Java_com_kvor_zephrin6_WispReplay_nGetDoubleArray(JNIEnv* env, jclass,
                                                                                             jstring name,
                                                                                             jdoubleArray out) {
  const Utf n(env, name);
  std::array<double, kMaxReplayedDoubles> values{};
  std::size_t count = 0;
  double timestamp = 0.0;
  const int status =
      c_kvor_zephrin6_replay_get_double_array(n.get(), values.data(), values.size(), &count, &timestamp);
  Put(env, out, {static_cast<double>(status), timestamp});
  if (status != 0) return nullptr;
  const auto length = static_cast<jsize>(count < values.size() ? count : values.size());
  jdoubleArray result = env->NewDoubleArray(length);
  if (result == nullptr) return nullptr;  // OutOfMemoryError pending
  env->SetDoubleArrayRegion(result, 0, length, values.data());
  return result;
}

/// @return the text as a new string, or null; `out` (a double[2]) receives
/// {status, timestamp}.
ZEPHRIN6_API JNIEXPORT jstring JNICALL Java_com_kvor_zephrin6_WispReplay_nGetString(JNIEnv* env, jclass, jstring name,
                                                                                   jdoubleArray out) {
  const Utf n(env, name);
  std::array<char, kMaxReplayedText + 1> text{};
  std::size_t length = 0;
  double timestamp = 0.0;
  const int status = c_kvor_zephrin6_replay_get_string(n.get(), text.data(), kMaxReplayedText, &length, &timestamp);
  Put(env, out, {static_cast<double>(status), timestamp});
  if (status != 0) return nullptr;
  // NewStringUTF wants modified UTF-8 without NULs; a logged string is
  // bytes, so only the bytes of plain text are handed over as they are.
  std::string visible(text.data(), length < kMaxReplayedText ? length : kMaxReplayedText);
  for (char& c : visible) {
    if (c == '\0' || static_cast<unsigned char>(c) >= 0x80) c = '?';
  }
  return env->NewStringUTF(visible.c_str());
}

}  // extern "C"
