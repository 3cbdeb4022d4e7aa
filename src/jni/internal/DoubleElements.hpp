#pragma once

// DoubleElements holds the elements of a Java double[] for the length of a C
// call: acquired with GetDoubleArrayElements and released in abort mode, so
// the Java array is never written back. Declare several in acquisition
// order; they are released in reverse. A null array (or one the JVM could
// not hand out) gives no data and size 0. Lives on one thread's stack.

#include <jni.h>

#include <cstddef>

namespace kvor::zephrin6::jni {

class DoubleElements {
 public:
  DoubleElements(JNIEnv* env, jdoubleArray array)
      : env_(env), array_(array), data_(array == nullptr ? nullptr : env->GetDoubleArrayElements(array, nullptr)) {}
  ~DoubleElements() {
    if (data_ != nullptr) env_->ReleaseDoubleArrayElements(array_, data_, JNI_ABORT);
  }
  DoubleElements(const DoubleElements&) = delete;
  DoubleElements& operator=(const DoubleElements&) = delete;

  /// The elements, or null.
  const double* data() const { return data_; }
  /// How many elements data() holds.
  std::size_t size() const { return data_ == nullptr ? 0 : static_cast<std::size_t>(env_->GetArrayLength(array_)); }

 private:
  JNIEnv* env_;
  jdoubleArray array_;
  jdouble* data_;
};

}  // namespace kvor::zephrin6::jni
