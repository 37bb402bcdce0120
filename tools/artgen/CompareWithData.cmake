# Runs the generator into WORK_DIR and compares its output with DATA_DIR:
# every generated file must exist in DATA_DIR with the same bytes, and
# DATA_DIR must hold no picture or sound the generator did not make (files
# the program itself writes there at run time are ignored).
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${ARTGEN}" "${WORK_DIR}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "artgen failed with ${result}")
endif()

file(GLOB generated RELATIVE "${WORK_DIR}" "${WORK_DIR}/*")
file(GLOB committed RELATIVE "${DATA_DIR}" "${DATA_DIR}/*.png" "${DATA_DIR}/*.bmp" "${DATA_DIR}/*.wav")
list(REMOVE_ITEM committed pict.bmp)
list(LENGTH generated count)
if(count EQUAL 0)
  message(FATAL_ERROR "artgen wrote nothing")
endif()

set(failures "")
foreach(name IN LISTS generated)
  if(NOT EXISTS "${DATA_DIR}/${name}")
    string(APPEND failures "missing in data/: ${name}\n")
    continue()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK_DIR}/${name}" "${DATA_DIR}/${name}"
                  RESULT_VARIABLE different)
  if(NOT different EQUAL 0)
    string(APPEND failures "differs from the generator's output: ${name}\n")
  endif()
endforeach()
foreach(name IN LISTS committed)
  if(NOT name IN_LIST generated)
    string(APPEND failures "not made by the generator: data/${name}\n")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "data/ does not match the generator (regenerate with: artgen data docs/art):\n${failures}")
endif()
message(STATUS "${count} files of data/ match the generator")
