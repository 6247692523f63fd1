// Fuzz target: the binary packet and variant decoders. Any input must either decode or raise
// PacketError; a decoded value must encode and decode to an equal value.
#include "services/data/DataPacket.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const DataPacket packet = DataPacket::fromBinary(bytes);
        const DataPacket again = DataPacket::fromBinary(packet.toBinary());
        if (again.fields != packet.fields || again.rows.size() != packet.rows.size() ||
            again.changes.size() != packet.changes.size() || again.toJson() != packet.toJson())
            std::abort();
    } catch (const PacketError&) {
    }
    try {
        const Variant value = variantFromBinary(bytes);
        if (variantToJson(variantFromBinary(variantToBinary(value))) != variantToJson(value))
            std::abort();
    } catch (const PacketError&) {
    }
    return 0;
}
