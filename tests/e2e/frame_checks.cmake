# The process frame's build checks and its scenarios (scenarios_frame.py),
# which run the hooks variant of Launcher.exe: a fixture builds that variant's
# preset tree, so that ctest alone runs them. Included by CMakeLists.txt here,
# after the scenarios are registered.
if(ZTK_TEST_HOOKS)
  return()  # this tree's launcher is not the shipped one
endif()
set(ZTK_FRAME_CHECKS ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/frame_checks.py)
set(ZTK_HOOKS_LAUNCHER ${PROJECT_SOURCE_DIR}/build/windows-hooks/Launcher.exe)
cmake_host_system_information(RESULT ZTK_FRAME_JOBS QUERY NUMBER_OF_LOGICAL_CORES)

add_test(NAME frame.hooks_build
  COMMAND ${ZTK_FRAME_CHECKS} build-hooks ${CMAKE_COMMAND} ${PROJECT_SOURCE_DIR} ${ZTK_FRAME_JOBS})
set_tests_properties(frame.hooks_build PROPERTIES FIXTURES_SETUP ztk_hooks_launcher TIMEOUT 1200)

add_test(NAME frame.static_init
  COMMAND ${ZTK_FRAME_CHECKS} static-init ${CMAKE_NM} $<TARGET_OBJECTS:ztk>
    $<TARGET_OBJECTS:Launcher>
  COMMAND_EXPAND_LISTS)

add_test(NAME frame.shipped_has_no_hooks
  COMMAND ${ZTK_FRAME_CHECKS} shipped ${CMAKE_OBJDUMP} $<TARGET_FILE:Launcher> ${ZTK_HOOKS_LAUNCHER})
set_tests_properties(frame.shipped_has_no_hooks PROPERTIES FIXTURES_REQUIRED ztk_hooks_launcher)

foreach(name ${ZTK_E2E_SCENARIOS})
  if(name MATCHES "^frame_")
    set_property(TEST e2e.${name} APPEND PROPERTY FIXTURES_REQUIRED ztk_hooks_launcher)
    set_property(TEST e2e.${name} APPEND PROPERTY ENVIRONMENT ZTK_HOOKS_LAUNCHER=${ZTK_HOOKS_LAUNCHER})
  endif()
endforeach()
