# Install rules and an exported package so that a robot program can write
#   find_package(zephrin6 REQUIRED)
#   target_link_libraries(robot PRIVATE zephrin6::zephrin6)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS KVOR_Zephrin6_Replay KVOR_ZephrinTools_Replay
  EXPORT zephrin6Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ ${PROJECT_SOURCE_DIR}/runtime/include/
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

install(EXPORT zephrin6Targets
  NAMESPACE zephrin6::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zephrin6)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/zephrin6Config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/zephrin6Config.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zephrin6)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/zephrin6ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/zephrin6Config.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/zephrin6ConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zephrin6)
