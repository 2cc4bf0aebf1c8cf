// Starting the program from a test (tests/support/program.h).
#include "tests/support/program.h"

#include "tests/tools/wintool.h"

std::string ProgramCommandLine() { return wintool::Quoted(wintool::PathBesideExecutable(ProgramPath)); }
