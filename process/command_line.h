// Command-line parameters. CommandLineParam splits a command-line text byte by byte; ParamStr applies it
// to the process's own command line (Windows build only).
#pragma once
#include <string_view>

#include "runtime/rcstring.h"

// Parameter n of commandLine (0 is the program as it was started), or an empty view when there is none.
// Parameters are separated by runs of bytes 1..32; an empty quoted pair ("") between parameters counts as
// separation. A double quote opens a stretch, running to the next double quote or the end of the text, in
// which blanks belong to the parameter. One pair of quotes around the whole parameter is removed; quotes
// elsewhere stay, and there are no escapes. A zero byte ends the text.
std::string_view CommandLineParam(std::string_view commandLine, int n);

// Parameter n (n >= 1) of the process's command line; for n = 0 the full path of the program file.
RcString ParamStr(int n);
