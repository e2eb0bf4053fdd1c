// How a photographed rule lies in its photograph: the lens's bow, the
// outline's perspective, the strips' edges, the lean of the marks and where
// the C and D scales put their values. Built step by step from the picture
// (photo_rule.h); used to resample the strips into a texture.
//
// Three kinds of coordinates appear: photo pixels (p, as the picture is
// seen, pixel centres at whole numbers); ideal pixels (q, the photo with the
// lens's bow taken out); and the rectified frame (a along the rule, b
// across, downward), a rectangle of whole pixels in which the outline lies
// straight, at a fixed working resolution.
#pragma once

#include <opencv2/core.hpp>

// The bow of the lens, one radial term about the picture's centre:
// q = c + (p - c) (1 + k |p - c|^2 / R^2).
struct PhotoLens {
    cv::Point2d centre{0, 0};
    double radius = 1.0;
    double k = 0.0;
};
cv::Point2d StraightenPoint(const PhotoLens& lens, cv::Point2d p);  // p to q
cv::Point2d BowPoint(const PhotoLens& lens, cv::Point2d q);         // q to p

// The rule's body as the photograph shows it: top-left, top-right,
// bottom-right, bottom-left, in photo pixels.
struct Outline {
    cv::Point2d corner[4];
};

// The rectified frame: the outline's corners go to (marginX, marginY),
// (width - 1 - marginX, marginY) and so on.
struct RuleFrame {
    PhotoLens lens;
    cv::Matx33d planeToIdeal = cv::Matx33d::eye();
    int width = 0;
    int height = 0;
    double marginX = 0;
    double marginY = 0;
};
constexpr int FRAME_WIDTH = 4096;
RuleFrame MakeRuleFrame(const Outline& outline, const PhotoLens& lens);
cv::Point2d PhotoPointOf(const RuleFrame& frame, cv::Point2d ab);
// The photo's grey levels (CV_32F) in the rectified frame.
cv::Mat RectifyPhoto(const RuleFrame& frame, const cv::Mat& grey);

// A smooth curve b(a) across the frame: a cubic in the normalised a.
struct Curve {
    double c[4] = {0, 0, 0, 0};
    double centre = 0;
    double scale = 1;
};
double CurveAt(const Curve& curve, double a);
// A least-squares cubic through the points, refitted without the points
// further than `tolerance` from it; false with fewer than six points left.
bool FitCurve(const std::vector<cv::Point2d>& points, double centre, double scale, double tolerance, Curve* curve,
              double* rms);

// The boundaries of the strips, top to bottom: the body's top edge, the
// middles of the two gaps (upper body and slide, slide and lower body) and
// the body's bottom edge; and half of each gap's width.
struct RuleLines {
    Curve boundary[4];
    double halfGap[4] = {0, 0, 0, 0};
    std::vector<cv::Point2d> points[4];  // what the curves were fitted to
};
// A strip's top and bottom in the frame at a (0 upper body, 1 slide, 2 lower body).
void StripEdgesAt(const RuleLines& lines, int strip, double a, double* top, double* bottom);

// The lean of the marks, da/db, over the frame: l0 + l1 a' + l2 b' + l3 a' b'
// with a' and b' the frame's coordinates scaled to -0.5 .. 0.5.
struct Lean {
    double l[4] = {0, 0, 0, 0};
};
double LeanAt(const Lean& lean, const RuleFrame& frame, double a, double b);

// Where the scales' values lie: a D value v lies at a = P(lg v) on the
// lower gap's middle, a C value at P(lg v + slideShift); P is a cubic in
// lg v. Marks elsewhere in the strips follow the lean from there.
struct RuleModel {
    RuleFrame frame;
    RuleLines lines;
    Lean lean;
    double p[4] = {0, 0, 0, 0};
    double slideShift = 0;
    double endLow = -0.1;  // the body's ends, in the index's fractions
    double endHigh = 1.1;
};
double FitPositionAt(const RuleModel& model, double u);
// The index fraction u whose fitted position is a (Newton steps from the
// straight estimate).
double FitFractionAt(const RuleModel& model, double a);
// The frame point of index fraction u (as C and D count it) at fraction f
// of a strip's height (0 at its bottom, 1 at its top); the slide's u is
// taken as closed, C's index over D's.
cv::Point2d FramePointOf(const RuleModel& model, int strip, double u, double f);
