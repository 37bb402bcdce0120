cmake_minimum_required(VERSION 3.20)
# Runs the generator into WORK_DIR and compares its output with the committed
# folders: the pictures and sounds with DATA_DIR, the icons with ICON_DIR.
# Every generated file must exist in its committed folder with the same
# bytes, and the committed folder must hold no picture or sound the generator
# did not make (files the program itself writes there at run time are ignored).
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${ARTGEN}" "${WORK_DIR}/data" --icons "${WORK_DIR}/icons" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "artgen failed with ${result}")
endif()

set(failures "")
# compare(MADE KEPT LABEL PATTERN...): appends to `failures` what differs
# between the generated folder MADE and the committed folder KEPT, whose
# files are those matching the patterns.
function(compare made kept label)
  file(GLOB generated LIST_DIRECTORIES false RELATIVE "${made}" "${made}/*")
  list(TRANSFORM ARGN PREPEND "${kept}/" OUTPUT_VARIABLE patterns)
  file(GLOB committed LIST_DIRECTORIES false RELATIVE "${kept}" ${patterns})
  list(REMOVE_ITEM committed pict.bmp)
  list(LENGTH generated count)
  if(count EQUAL 0)
    message(FATAL_ERROR "artgen wrote nothing into ${made}")
  endif()
  foreach(name IN LISTS generated)
    if(NOT EXISTS "${kept}/${name}")
      string(APPEND failures "missing in ${label}: ${name}\n")
      continue()
    endif()
    file(SHA256 "${made}/${name}" made_sum)
    file(SHA256 "${kept}/${name}" kept_sum)
    if(NOT made_sum STREQUAL kept_sum)
      string(APPEND failures "differs from the generator's output: ${label}${name}\n")
    endif()
  endforeach()
  foreach(name IN LISTS committed)
    if(NOT name IN_LIST generated)
      string(APPEND failures "not made by the generator: ${label}${name}\n")
    endif()
  endforeach()
  set(failures "${failures}" PARENT_SCOPE)
  message(STATUS "${count} files of ${label} compared with the generator")
endfunction()

compare("${WORK_DIR}/data" "${DATA_DIR}" "data/" "*.png" "*.bmp" "*.wav")
compare("${WORK_DIR}/icons" "${ICON_DIR}" "desktop/icons/" "*")

if(failures)
  message(FATAL_ERROR "data/ or desktop/icons/ does not match the generator "
    "(regenerate with: artgen data docs/art --icons desktop/icons):\n${failures}")
endif()
