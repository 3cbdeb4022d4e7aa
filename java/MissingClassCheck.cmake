# Unpacks the bindings' jar without the SwerveJNI$ModulePosition class and
# loads the library from there: the load must fail, with the library naming
# the missing class on standard error.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/classes)
execute_process(COMMAND ${JAR} xf ${MAIN_JAR} WORKING_DIRECTORY ${WORK_DIR}/classes RESULT_VARIABLE unpacked)
if(NOT unpacked EQUAL 0)
  message(FATAL_ERROR "could not unpack ${MAIN_JAR}")
endif()
set(missing "${WORK_DIR}/classes/com/kvor/zephrin6/swerve/jni/SwerveJNI$ModulePosition.class")
if(NOT EXISTS "${missing}")
  message(FATAL_ERROR "the jar has no ${missing}")
endif()
file(REMOVE "${missing}")
execute_process(
  COMMAND ${JAVA} -Djava.library.path=${LIBRARY_DIR} -cp ${WORK_DIR}/classes:${TEST_JAR}
          com.kvor.zephrin6.swerve.jni.LoadFailureCheck
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}${errors}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the library loaded without all of its classes, or the check crashed")
endif()
if(NOT errors MATCHES "could not load class com/kvor/zephrin6/swerve/jni/SwerveJNI\\$ModulePosition\n")
  message(FATAL_ERROR "the missing class was not named on standard error")
endif()
