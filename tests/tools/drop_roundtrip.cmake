# Runs the built edamiru-book (under Wine in the cross build) as Explorer does when pictures or a
# folder are dropped onto it: only their paths, in Windows form there, quoted for the space in
# them. The book goes beside the first of them, titled after its folder, from the edamiru.exe
# beside the tool, and never over a file that is already there.
# Variables: EMULATOR (may be empty), TOOL, VIEWER_MAKER, SAMPLES, WORK.
file(REMOVE_RECURSE "${WORK}")
set(tool_folder "${WORK}/tool")
set(spring "${WORK}/drop here/春の本")
file(MAKE_DIRECTORY "${tool_folder}" "${spring}")
file(COPY "${TOOL}" DESTINATION "${tool_folder}")
get_filename_component(tool_name "${TOOL}" NAME)
set(tool "${tool_folder}/${tool_name}")
file(COPY "${SAMPLES}/page1-sky.jpg" "${SAMPLES}/page3-palette.bmp" DESTINATION "${spring}")

function(run expected_status)
  execute_process(COMMAND ${EMULATOR} ${ARGN} WORKING_DIRECTORY "${WORK}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL expected_status)
    message(FATAL_ERROR "${ARGN}\nexit ${status}, expected ${expected_status}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

# A path as Explorer gives it: under Wine the Unix root is drive Z:.
function(dropped_path var path)
  if(EMULATOR)
    string(REPLACE "/" "\\" path "Z:${path}")
  endif()
  set(${var} "${path}" PARENT_SCOPE)
endfunction()

# The book at `book` is titled 春の本 and holds the two sample pictures.
function(expect_spring_book book)
  if(NOT EXISTS "${book}")
    message(FATAL_ERROR "no book at ${book}")
  endif()
  run(0 "${tool}" list "${book}" --json)
  foreach(wanted "\"title\":\"春の本\"" "\"page\":1,\"size\":" "\"page\":2,\"size\":")
    string(FIND "${out}" "${wanted}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "expected ${wanted} in the list of ${book}:\n${out}")
    endif()
  endforeach()
  string(FIND "${out}" "\"page\":3," at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "more than two pages in ${book}:\n${out}")
  endif()
endfunction()

run(0 "${VIEWER_MAKER}" "${tool_folder}/edamiru.exe")
dropped_path(sky "${spring}/page1-sky.jpg")
dropped_path(palette "${spring}/page3-palette.bmp")

# Pictures dropped: the book goes into their folder; a second drop takes the next free name.
run(0 "${tool}" "${sky}" "${palette}")
expect_spring_book("${spring}/春の本.exe")
file(SHA256 "${spring}/春の本.exe" first_book)
run(0 "${tool}" "${sky}" "${palette}")
expect_spring_book("${spring}/春の本 (2).exe")
file(SHA256 "${spring}/春の本.exe" first_book_after)
if(NOT first_book STREQUAL first_book_after)
  message(FATAL_ERROR "the second drop changed the first book")
endif()

# A folder dropped: the book goes beside it, its pictures in their order (the books are no pictures).
dropped_path(folder "${spring}")
run(0 "${tool}" "${folder}")
expect_spring_book("${WORK}/drop here/春の本.exe")

# A picture the viewer cannot show and no library reads is refused, and nothing is written.
file(WRITE "${WORK}/drop here/broken.jpg" "no picture")
dropped_path(broken "${WORK}/drop here/broken.jpg")
run(1 "${tool}" "${broken}")
if(EXISTS "${WORK}/drop here/drop here.exe")
  message(FATAL_ERROR "a book was written from a refused picture")
endif()
