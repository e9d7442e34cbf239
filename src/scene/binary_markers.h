#pragma once
// The texts that announce a path in a binary scene: a token that holds one
// of them is followed by the token of a path.

#include <cstddef>

inline constexpr char kReferenceMarker[] = "FREFFREF";
inline constexpr std::size_t kReferenceMarkerLength = sizeof(kReferenceMarker) - 1;
inline constexpr char kTextureMarker[] = "ftn";
inline constexpr std::size_t kTextureMarkerLength = sizeof(kTextureMarker) - 1;
