// The program as the tests that start it see it: where it lies from a test executable, its main window's
// caption and class, and the settings the test scripts pass in the environment.
#pragma once
#include <cstdlib>
#include <string>

// The program from a test executable's folder (<build tree>/tests/<folder>/).
constexpr const char* ProgramPath = "../../app/coilprobe.exe";
constexpr const char* ProgramCaption = "Coilprobe";
// The main window's class: the toolkit registers its window classes as "obj_" + the class name.
constexpr const char* FormClass = "obj_Form";

// The number the environment variable holds; fallback when it is not set.
inline double EnvironmentSetting(const char* name, double fallback) {
  const char* text = std::getenv(name);
  return text ? std::strtod(text, nullptr) : fallback;
}

#ifdef _WIN32
// The command line that starts the program from a test executable.
std::string ProgramCommandLine();
#endif
