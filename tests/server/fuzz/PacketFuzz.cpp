// Fuzz target: the data packet decoder. Any input must either decode or raise one of the
// codec's errors; a decoded packet must encode and decode to an equal packet.
#include "services/data/DataPacket.h"
#include "services/data/JsonReader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        DataPacket packet = DataPacket::fromJson(text);
        DataPacket again = DataPacket::fromJson(packet.toJson());
        if (again.fields != packet.fields || again.rows.size() != packet.rows.size() ||
            again.changes.size() != packet.changes.size())
            std::abort();
    } catch (const JsonError&) {
    } catch (const PacketError&) {
    } catch (const VariantError&) {
    }
    try {
        variantFromJson(text);
    } catch (const JsonError&) {
    } catch (const PacketError&) {
    } catch (const VariantError&) {
    }
    return 0;
}
