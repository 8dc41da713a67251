// The engine library's only exported symbols: IVORTN and its second name
// _IVORTN (the name the front-end looks up), one and the same function.
#include <cstdint>

#include "entry.h"

extern "C" {
__attribute__((visibility("default"))) std::int32_t IVORTN(std::int32_t code) { return RunEngine(code); }
__attribute__((visibility("default"), alias("IVORTN"))) std::int32_t _IVORTN(std::int32_t code);
}
