#pragma once

#include <string_view>

// The binary form of a remote call's answer, sent to clients that ask for it in their Accept
// header (see PROTOCOL.md): the magic, then the result and the by-reference values.
namespace binarywire {

inline constexpr std::string_view kContentType = "application/x-fyn-binary";
inline constexpr std::string_view kMagic = "FYNB\x01";

} // namespace binarywire
