// A damaged stand-in for both agency libraries: it loads and has both entries, and each ends the
// process that calls it, one with an illegal instruction, the other with a write to nowhere.
#include <cstdint>

extern "C" std::int16_t pivel_numero_verificacion(const char*, const char*, const char*, const char*) {
    __builtin_trap();
}

extern "C" std::int16_t sarquel(const char*, char*, std::int32_t, char*, std::int32_t) {
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
