# Hardening of the programs, as Debian builds its own: the stack protector, and a read-only
# relocation table with every symbol bound at start-up, in every build; the checked variants of
# libc's string and memory calls where the optimiser runs, which they need (not in a Debug build,
# nor beside the sanitizers, which check the same calls their own way).
add_compile_options(-fstack-protector-strong)
add_link_options(LINKER:-z,relro,-z,now)
if(NOT KAPRED_SANITIZE)
    add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
