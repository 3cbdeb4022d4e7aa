#pragma once

// JVMThreadAttacher gives a native thread (a drivetrain's odometry thread)
// its JNIEnv for calling into the JVM, attaching the thread on first use and
// detaching it when the thread ends, but only if this attacher attached it:
// a thread that was already attached (a Java thread, or one attached by
// someone else) is left as it was. Each callback kind keeps one attacher per
// thread (a thread_local), so the first callback on a thread pays for the
// attachment and later ones reuse the stored JNIEnv.
//
// Threads are attached as daemons, named "zephrin6 odometry": a program that
// ends without closing its drivetrains must not keep the JVM waiting for a
// thread that only ends when the drivetrain is destroyed.
//
// Not copyable; used only by the thread that owns it.

#include <jni.h>

namespace kvor::zephrin6::jni {

class JVMThreadAttacher {
 public:
  JVMThreadAttacher() = default;
  /// Detaches the thread when this attacher attached it.
  ~JVMThreadAttacher();
  JVMThreadAttacher(const JVMThreadAttacher&) = delete;
  JVMThreadAttacher& operator=(const JVMThreadAttacher&) = delete;

  /// The calling thread's JNIEnv for `vm`, attaching the thread if needed.
  /// @return null when the JVM refuses (the thread is then left alone and
  ///         the next call tries again).
  JNIEnv* Attach(JavaVM* vm) noexcept;

  /// Threads attached by an attacher and not detached yet (for tests that
  /// check that ended threads leave the JVM).
  static long LiveAttachments() noexcept;

 private:
  JavaVM* vm_ = nullptr;
  JNIEnv* env_ = nullptr;
  bool attachedHere_ = false;
};

}  // namespace kvor::zephrin6::jni
