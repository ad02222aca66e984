#pragma once

namespace quarbell
{

// Scanner positions V1 C1 V2 C2 V3 C3: sweep depth in seconds and wet share.
inline constexpr int vibratoPositionCount = 6;
inline constexpr float vibratoDepthTable[vibratoPositionCount] { 0.0001f, 0.0001f, 0.0002f, 0.0002f, 0.0004f, 0.0004f };
inline constexpr float vibratoMixTable[vibratoPositionCount] { 1.0f, 0.5f, 1.0f, 0.5f, 1.0f, 0.5f };

} // namespace quarbell
