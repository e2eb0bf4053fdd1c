// How far the user may move the scene: limits on the reference corner,
// corner 0 of the upper rule's upper body strip. Each move is tested against
// its limit before it is made, so one pass can carry the corner a little past.
#pragma once

constexpr float ZOOM_IN_LIMIT = 6.0f;   // reference z must stay above this
constexpr float ZOOM_OUT_LIMIT = 25.0f; // and below this
constexpr float PAN_LIMIT_LEFT = -25.0f;
constexpr float PAN_LIMIT_RIGHT = -5.0f;
constexpr float PAN_LIMIT_TOP = 15.0f;
constexpr float PAN_LIMIT_BOTTOM = 0.0f;
