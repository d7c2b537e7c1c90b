# Runs the built edamiru-book (under Wine in the cross build) on a synthetic viewer: Japanese texts
# and raw settings go through the real command line and come back from list --json; extract gives
# the picture back; a program with nothing appended and an emoji title are refused; --version
# prints the project's version. Output through a pipe or into a file is exact UTF-8.
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
run(0 "${TOOL}" make --viewer viewer.exe --out book.exe --as-is --title "春の本" --comment "表示ソフト"
    --comment-box 0xFFFFFFFF --interval -5 --mouse 2 page.bmp)
# Output to a pipe or a file is these UTF-8 bytes exactly. Lines of a Windows program end in
# CR LF; CMake turns CR LF into LF in what it captures from a pipe, so only the files show the CR.
if(TOOL MATCHES "\\.exe$")
  set(eol "\r\n")
else()
  set(eol "\n")
endif()
set(json "{\"title\":\"春の本\",\"comment\":\"表示ソフト\",\"link\":\"\",\"settings\":{\"caption\":1,\"commentBox\":4294967295,\"menuBar\":1,\"interval\":-5,\"mouse\":2},\"entries\":[{\"page\":1,\"size\":16,\"tag\":\"BMP\"}]}")
set(missing "edamiru-book list: 無い本.exe: cannot open 無い本.exe")
# Compares bytes given in hexadecimal (CMake reads a file's CR as such only in HEX mode).
function(expect_bytes what actual_hex expected)
  string(HEX "${expected}" expected_hex)
  if(NOT actual_hex STREQUAL expected_hex)
    message(FATAL_ERROR "${what}: got\n${actual_hex}\nexpected\n${expected_hex}")
  endif()
endfunction()
run(0 "${TOOL}" list book.exe --json)
string(HEX "${out}" out_hex)
expect_bytes("list through a pipe" "${out_hex}" "${json}\n")
run(1 "${TOOL}" list 無い本.exe)
string(HEX "${err}" err_hex)
expect_bytes("error through a pipe" "${err_hex}" "${missing}\n")
execute_process(COMMAND ${EMULATOR} "${TOOL}" list book.exe --json WORKING_DIRECTORY "${WORK}"
                OUTPUT_FILE "${WORK}/list.txt")
execute_process(COMMAND ${EMULATOR} "${TOOL}" list 無い本.exe WORKING_DIRECTORY "${WORK}"
                ERROR_FILE "${WORK}/error.txt")
file(READ "${WORK}/list.txt" listed_hex HEX)
file(READ "${WORK}/error.txt" error_hex HEX)
expect_bytes("list into a file" "${listed_hex}" "${json}${eol}")
expect_bytes("error into a file" "${error_hex}" "${missing}${eol}")
# The tool leaves the console's code pages alone: it does not even import the calls that set them.
file(STRINGS "${TOOL}" code_page_calls REGEX "SetConsole(Output)?CP")
if(code_page_calls)
  message(FATAL_ERROR "the tool imports ${code_page_calls}")
endif()
run(0 "${TOOL}" extract book.exe --to pages)
file(READ "${WORK}/pages/春の本1.BMP" page)
if(NOT page STREQUAL "BM picture bytes")
  message(FATAL_ERROR "extracted page differs: ${page}")
endif()
run(1 "${TOOL}" list viewer.exe)
expect_in("${err}" "not a picture book: nothing appended to the program")
run(1 "${TOOL}" make --viewer viewer.exe --out emoji.exe --as-is --title "本😀" page.bmp)
expect_in("${err}" "cannot be written in Shift-JIS")
run(0 "${TOOL}" --version)
string(STRIP "${out}" out)
if(NOT out STREQUAL "edamiru-book ${VERSION}")
  message(FATAL_ERROR "--version printed \"${out}\", expected \"edamiru-book ${VERSION}\"")
endif()
