#pragma once

// CallbackContext is what the bindings register with the C interface for
// one Java callback: the JVM, global references that keep the Java callback
// object, its class and the target object (the SwerveJNI instance's
// ControlParams or DriveState, which the callback reads) alive across
// threads, and the method to call. Java holds it through its address (a
// jlong handle) and releases it, after the drivetrain no longer holds it,
// with Release. ControlCallback and TelemetryCallback are the C callbacks:
// they run on the odometry thread, attach it to the JVM, copy the C record
// into the target and call the Java method.
//
// The global references and the contexts the bindings hold are counted, so
// that a test can see that registering and releasing leaves none behind.

#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <jni.h>

#include <cstddef>

namespace kvor::zephrin6::jni {

struct CallbackContext {
  JavaVM* vm = nullptr;
  /// SwerveJNI.controlParams or SwerveJNI.driveState.
  jobject target = nullptr;
  jobject callback = nullptr;
  jclass callbackClass = nullptr;
  /// getAsInt()I or run()V.
  jmethodID method = nullptr;
  /// Modules of the drivetrain the callback was registered on; telemetry
  /// records have this many entries.
  std::size_t moduleCount = 0;
};

/// A context for `callback` (an object with `methodName` of `signature`)
/// that writes into `target`. @return null, with nothing held and the JVM's
///         error pending when the method is missing, if it cannot be built.
CallbackContext* NewCallbackContext(JNIEnv* env, jobject target, jobject callback, const char* methodName,
                                    const char* signature, std::size_t moduleCount);
/// Deletes the context's global references (class, callback, target) and
/// the context. Nothing for null.
void Release(JNIEnv* env, CallbackContext* context);

/// The C control callback: writes the parameters into the target and
/// returns what the Java callback's getAsInt returns.
int ControlCallback(void* context, const _swerve_control_params_t* params);
/// The C telemetry callback: writes the state into the target and calls the
/// Java callback's run.
void TelemetryCallback(void* context, const _swerve_drive_state_t* state);

/// Global references the bindings hold right now.
long LiveGlobalReferences() noexcept;
/// Callback contexts not yet released.
long LiveCallbackContexts() noexcept;

}  // namespace kvor::zephrin6::jni
