// The subcommands of edamiru-book. Each takes the arguments that follow the program's name:
// argv[0] is the subcommand's own name ("make", "list", "extract", "render"), argv[1..argc-1]
// its arguments, all UTF-8 (on Windows the wide command line is converted first).
// Each returns the process's exit status: 0 success, 1 failure (message on stderr),
// 2 a command line that cannot be understood or a command this build lacks.
#pragma once

// edamiru-book make --viewer VIEWER.exe --out BOOK.exe [--from OLD.exe] [--title T] [--comment C]
//   [--link L] [--caption N] [--comment-box N] [--menu-bar N] [--interval N] [--mouse N]
//   [--as-is] [--lossless] [--fit WxH] PICTURE-OR-FOLDER...
int makeCommand(int argc, char** argv);

// edamiru-book check BOOK.exe
int checkCommand(int argc, char** argv);

// edamiru-book list BOOK.exe [--json]
int listCommand(int argc, char** argv);

// edamiru-book extract BOOK.exe --to DIR [--page N]
int extractCommand(int argc, char** argv);

// edamiru-book render INPUT OUT.bmp [--page N] [--screen-depth 24|8]
// (render_*.cpp when the picture libraries are present, otherwise a stub that exits with 2)
int renderCommand(int argc, char** argv);

// Dispatches argv[1] to its subcommand. When it is no command but names an existing file or
// folder, all the arguments are taken as dropped paths (dropped_book.h). Anything else gets the
// usage.
int runTool(int argc, char** argv);
