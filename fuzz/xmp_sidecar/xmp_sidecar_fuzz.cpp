// Fuzz target: the text of a sidecar beside a picture, as the review reads it
// back (the rating and the exposure figures).
#include <cstddef>
#include <cstdint>

#include "XmpSidecar.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orka::SidecarFacts facts;
    QString error;
    orka::ParseSidecar(reinterpret_cast<const char*>(data), size, facts, &error);
    return 0;
}
