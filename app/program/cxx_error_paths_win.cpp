// The C++ library's error paths in the program: its strings and containers call these helpers when
// asked for the impossible (a string beyond the largest size, a position out of range, a null character
// pointer). Nothing in the program catches those errors, so each ended the program as an uncaught
// exception does, with run-time error 217 and its report; these definitions end it the same way at once.
// They replace the library's own helpers, which build message strings and so bring a second string
// implementation into the executable. A memory request too large for the system still throws
// std::bad_alloc (or the std::bad_array_new_length derived from it), which the audio library catches. Should the program come to need a helper not defined
// here, the library's set comes along with it and the link fails on the ones defined twice.
#include <bits/functexcept.h>

#include <exception>
#include <new>

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }

void __throw_bad_array_new_length() { throw bad_array_new_length(); }

void __throw_length_error(const char*) { terminate(); }

void __throw_logic_error(const char*) { terminate(); }

void __throw_out_of_range_fmt(const char*, ...) { terminate(); }

}  // namespace std
