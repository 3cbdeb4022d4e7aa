#pragma once

// Copies a C drive state into the bindings' Java SwerveJNI$DriveState,
// module arrays included; the field-by-field copies of every record are
// JavaRecords'. Java arrays carry their own lengths and may hold nulls, so
// every write is bounded by the array it goes into and skips missing
// elements; every local reference taken is deleted before return, since
// these also run on attached native threads, where nothing else would free
// them. Call on a thread attached to the JVM, with no exception pending.

#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <jni.h>

#include <cstddef>

#include "jni/internal/JavaRecords.hpp"

namespace kvor::zephrin6::jni {

/// The three module arrays of a Java DriveState, as local references (null
/// when a field is null), and how many modules they describe.
struct JavaModuleArrays {
  jobjectArray states = nullptr;
  jobjectArray targets = nullptr;
  jobjectArray positions = nullptr;
  /// Length of the states array (0 without one).
  std::size_t count = 0;

  /// Reads the arrays of `driveState`.
  JavaModuleArrays(JNIEnv* env, jobject driveState);
  /// Deletes the three local references.
  void Release(JNIEnv* env);
};

/// Writes the numbers of `state` into `driveState` and its first `count`
/// module entries into the elements of `arrays` (each array bounded by its
/// own length).
void WriteDriveState(JNIEnv* env, jobject driveState, const _swerve_drive_state_t& state,
                     const JavaModuleArrays& arrays, std::size_t count);

}  // namespace kvor::zephrin6::jni
