# Finds what the JVM bindings need: the JNI headers (the library calls the JVM
# only through the JNIEnv it is handed, so it never links the JVM) and a JDK
# to build the Java side. Sets ZEPHRIN_JNI_ENABLED and ZEPHRIN_JNI_INCLUDE_DIRS;
# without a JDK the bindings are left out and everything else builds.
set(ZEPHRIN_JNI_ENABLED OFF)
set(ZEPHRIN_JNI_INCLUDE_DIRS "")
if(ZEPHRIN_BUILD_JNI)
  find_package(Java 17 COMPONENTS Runtime Development)
  if(Java_FOUND AND NOT JAVA_HOME AND NOT DEFINED ENV{JAVA_HOME})
    # FindJNI searches a fixed list of JDK folders that misses newer Debian
    # JDKs; the JDK whose javac was found is the one to use.
    get_filename_component(javac_path "${Java_JAVAC_EXECUTABLE}" REALPATH)
    get_filename_component(JAVA_HOME "${javac_path}/../.." ABSOLUTE)
  endif()
  # Only the JVM component: the headless JDK has no AWT, which we do not use.
  find_package(JNI COMPONENTS JVM)
  if(Java_FOUND AND JNI_FOUND)
    set(ZEPHRIN_JNI_ENABLED ON)
    set(ZEPHRIN_JNI_INCLUDE_DIRS ${JNI_INCLUDE_DIRS})
  else()
    message(STATUS "No JDK with JNI headers found: the JVM bindings are not built")
  endif()
endif()
