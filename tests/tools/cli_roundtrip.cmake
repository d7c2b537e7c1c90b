# Runs the built edamiru-book (under Wine in the cross build) on a synthetic viewer: Japanese texts
# and raw settings go through the real command line and come back from list --json; extract gives
# the picture back; a program with nothing appended and an emoji title are refused; --version
# prints the project's version.
# Variables: EMULATOR (may be empty), TOOL, VIEWER_MAKER, WORK, VERSION.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(run expected_status)
  execute_process(COMMAND ${EMULATOR} ${ARGN} WORKING_DIRECTORY "${WORK}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL expected_status)
    message(FATAL_ERROR "${ARGN}\nexit ${status}, expected ${expected_status}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect_in haystack needle)
  string(FIND "${haystack}" "${needle}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "expected \"${needle}\" in:\n${haystack}")
  endif()
endfunction()

run(0 "${VIEWER_MAKER}" viewer.exe)
file(WRITE "${WORK}/page.bmp" "BM picture bytes")
run(0 "${TOOL}" make --viewer viewer.exe --out book.exe --title "春の本" --comment "表示ソフト"
    --comment-box 0xFFFFFFFF --interval -5 --mouse 2 page.bmp)
run(0 "${TOOL}" list book.exe --json)
expect_in("${out}" "{\"title\":\"春の本\",\"comment\":\"表示ソフト\",\"link\":\"\"")
expect_in("${out}" "\"settings\":{\"caption\":1,\"commentBox\":4294967295,\"menuBar\":1,\"interval\":-5,\"mouse\":2}")
expect_in("${out}" "\"entries\":[{\"page\":1,\"size\":16,\"tag\":\"BMP\"}]")
run(0 "${TOOL}" extract book.exe --to pages)
file(READ "${WORK}/pages/春の本1.BMP" page)
if(NOT page STREQUAL "BM picture bytes")
  message(FATAL_ERROR "extracted page differs: ${page}")
endif()
run(1 "${TOOL}" list viewer.exe)
expect_in("${err}" "not a picture book: nothing appended to the program")
run(1 "${TOOL}" make --viewer viewer.exe --out emoji.exe --title "本😀" page.bmp)
expect_in("${err}" "cannot be written in Shift-JIS")
run(0 "${TOOL}" --version)
string(STRIP "${out}" out)
if(NOT out STREQUAL "edamiru-book ${VERSION}")
  message(FATAL_ERROR "--version printed \"${out}\", expected \"edamiru-book ${VERSION}\"")
endif()
