// Fuzz target: a ".cfg" template file as the user opens it, decoded, and its
// settings record taken apart the way loading it does: every list entry and
// track-bar position its fields select, the restore byte, the comparison with
// the default set-up.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include <QByteArray>

#include "FchConf.h"
#include "InterfaceOrka.h"

namespace io = orka::InterfaceOrka;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const orka::TemplateRead read = orka::DecodeTemplate(bytes);
    if (read.error != orka::TemplateError::None)
        return 0;
    const CameraStatusData& r = read.settings;

    // Each field through the value table or track bar that shows it.
    volatile int64_t sink = 0;
    for (const orka::ValueList* list : {&io::DefImg, &io::QualImg, &io::ISOImg, &io::RCouleur})
        for (int i = 0; i < orka::kStatusFieldCount; ++i)
            sink = sink + list->entry(orka::StatusField(r, i));
    for (const auto& range : {io::FCoul, io::Sat, io::Contr})
        for (const int32_t value : {r.colorFilter, r.bwFilter, r.saturation, r.contrast})
            if (range.contains(
                    int(std::clamp<int64_t>(range.position(value), INT32_MIN, INT32_MAX))))
                sink = sink + 1;
    sink = sink + orka::TemplateRestoreByte(r) + orka::SameTemplateFields(r, CameraStatusData{});

    // What loading writes back is what it read.
    const orka::TemplateRead again = orka::DecodeTemplate(orka::EncodeTemplate(r));
    if (again.error != orka::TemplateError::None || std::memcmp(&again.settings, &r, sizeof r) != 0)
        __builtin_trap();
    return 0;
}
