// The native side of com.kvor.zephrin6.sim.SimClock: the device runtime's
// harness clock. It is a library of its own, beside the device library,
// because the device library reaches the runtime only through its platform
// calls and never through the harness; a robot program on the real clock
// never loads this one.

#include <kvor/zephrin/runtime/harness/Clock.hpp>

#include <jni.h>

namespace harness = kvor::zephrin::runtime::harness;

extern "C" {

JNIEXPORT void JNICALL Java_com_kvor_zephrin6_sim_SimClock_00024Native_useManual(JNIEnv*, jclass, jdouble start) {
  harness::UseManualClock(start);
}

JNIEXPORT void JNICALL Java_com_kvor_zephrin6_sim_SimClock_00024Native_useReal(JNIEnv*, jclass) {
  harness::UseRealClock();
}

JNIEXPORT void JNICALL Java_com_kvor_zephrin6_sim_SimClock_00024Native_advance(JNIEnv*, jclass, jdouble seconds) {
  harness::AdvanceTime(seconds);
}

JNIEXPORT jdouble JNICALL Java_com_kvor_zephrin6_sim_SimClock_00024Native_now(JNIEnv*, jclass) {
  return harness::Now();
}

JNIEXPORT void JNICALL Java_com_kvor_zephrin6_sim_SimClock_00024Native_reset(JNIEnv*, jclass) { harness::Reset(); }

}  // extern "C"
