# Adds a ctest case for every scenario of tests/e2e/scenarios.js that runs on
# BACKEND, named PREFIX<case>, played by tests/e2e/run.js with the arguments
# after the backend. Cases that need a display get an Xvfb of their own.
find_program(NODE_EXECUTABLE NAMES node nodejs REQUIRED)
set(HAYASA_E2E_DIR ${CMAKE_CURRENT_LIST_DIR})

function(add_e2e_tests backend prefix timeout)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${HAYASA_E2E_DIR}/scenarios.js ${HAYASA_E2E_DIR}/scenarios_editions.js ${HAYASA_E2E_DIR}/steps.js
    ${HAYASA_E2E_DIR}/run.js)
  execute_process(COMMAND ${NODE_EXECUTABLE} ${HAYASA_E2E_DIR}/run.js --list ${backend}
    OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\n" ";" lines "${listing}")
  foreach(line IN LISTS lines)
    if(line STREQUAL "")
      continue()
    endif()
    string(REPLACE " " ";" fields "${line}")
    list(GET fields 0 case)
    list(GET fields 1 screen)
    set(command ${NODE_EXECUTABLE} ${HAYASA_E2E_DIR}/run.js ${backend} ${case} ${ARGN})
    if(NOT screen STREQUAL "-")
      list(PREPEND command ${CMAKE_SOURCE_DIR}/tests/with_xvfb.sh ${screen})
    endif()
    add_test(NAME ${prefix}${case} COMMAND ${command})
    # Real-time races: never beside another test that could starve them.
    set_tests_properties(${prefix}${case} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT ${timeout}
      RUN_SERIAL TRUE)
    if(backend STREQUAL x11)
      # The real window, whatever platform the other tests give Qt.
      set_tests_properties(${prefix}${case} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb")
    endif()
  endforeach()
endfunction()
