// Small numeric pieces shared by the scene, the camera and picking.
#pragma once

// The value of pi used in every conversion between degrees and radians. It is
// deliberately this short decimal: the picture and the picking depend on the
// exact results it gives (a quarter turn leaves cos = 2.68e-8, not 0).
constexpr double PI_APPROX = 3.1415926;
constexpr double ONE_OVER_180 = 0.005555555555555556;

inline double DegreesToRadians(double degrees) { return degrees * PI_APPROX * ONE_OVER_180; }
inline double RadiansToDegrees(double radians) { return radians * 180.0 / PI_APPROX; }

struct Vec3f {
    float x;
    float y;
    float z;
};
