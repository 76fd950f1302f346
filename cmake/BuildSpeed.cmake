# A first build in minutes on a small machine: every library and program compiles its sources in
# a few large units (a unity build), so that the headers of Qt, the C++ library and the others
# are parsed once per unit rather than once per file.
option(KAPRED_UNITY_BUILD "Compile each target's sources in batches (unity build)" ON)
if(KAPRED_UNITY_BUILD)
    set(CMAKE_UNITY_BUILD ON)
    set(CMAKE_UNITY_BUILD_BATCH_SIZE 8)
endif()

# Line tables are all the debug information an optimised build carries: enough for backtraces and
# profiles, and a third of the compile time less than full debug information (a Debug build keeps
# it whole).
add_compile_options($<$<CONFIG:RelWithDebInfo>:-g1>)
