// The C++ standard streams std::cout and std::cerr bound to the error box, for the runtime probe, which
// writes with them. The instrument writes its standard output (the run-time error report) to StandardOutput() and
// does not bind them: the stream library brings its locale machinery, most of a megabyte of the
// executable.
#pragma once

// Binds std::cout and std::cerr to StandardOutput(); call after StartRuntime.
void BindStandardStreams();
