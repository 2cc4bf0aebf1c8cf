# Which source files of a folder belong to the library, decided by their names alone:
# - main.cpp is a program's entry and never belongs to a library;
# - a file named *_win.cpp needs the Windows API: the native build leaves it out, the Windows build takes it;
# - every other .cpp builds in both.
# The main build and the fuzz tree both take their sources this way, so a new file needs no list.

# The product's folders, each a set of library sources: the main build and the fuzz tree both read them
# from here.
set(COILPROBE_PRODUCT_FOLDERS runtime toolkit audio audio/library audio/analysis elements process app)

# coilprobe_folder_sources(out folder): the library's .cpp files of folder, for this build.
function(coilprobe_folder_sources out folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(NOT WIN32)
    list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
  endif()
  set(${out} ${sources} PARENT_SCOPE)
endfunction()
