#include "tools/rulegen/photo_model.h"

#include <cmath>
#include <vector>

#include <opencv2/imgproc.hpp>

cv::Point2d StraightenPoint(const PhotoLens& lens, cv::Point2d p) {
    const cv::Point2d d = p - lens.centre;
    const double r2 = (d.x * d.x + d.y * d.y) / (lens.radius * lens.radius);
    return lens.centre + d * (1.0 + lens.k * r2);
}

cv::Point2d BowPoint(const PhotoLens& lens, cv::Point2d q) {
    const cv::Point2d target = q - lens.centre;
    cv::Point2d d = target;
    for (int step = 0; step < 6; ++step) {
        const double r2 = (d.x * d.x + d.y * d.y) / (lens.radius * lens.radius);
        d = target * (1.0 / (1.0 + lens.k * r2));
    }
    return lens.centre + d;
}

RuleFrame MakeRuleFrame(const Outline& outline, const PhotoLens& lens) {
    RuleFrame frame;
    frame.lens = lens;
    cv::Point2d q[4];
    for (int k = 0; k < 4; ++k) q[k] = StraightenPoint(lens, outline.corner[k]);
    const double length = (cv::norm(q[1] - q[0]) + cv::norm(q[2] - q[3])) / 2;
    const double across = (cv::norm(q[3] - q[0]) + cv::norm(q[2] - q[1])) / 2;
    frame.width = FRAME_WIDTH;
    frame.marginX = 0.02 * FRAME_WIDTH;
    const double inner = FRAME_WIDTH - 1 - 2 * frame.marginX;
    const double innerHeight = std::max(64.0, std::min(inner, inner * across / std::max(length, 1.0)));
    frame.marginY = 0.06 * innerHeight;
    frame.height = static_cast<int>(std::ceil(innerHeight + 2 * frame.marginY)) + 1;
    const double x0 = frame.marginX, x1 = frame.marginX + inner;
    const double y0 = frame.marginY, y1 = frame.marginY + innerHeight;
    const cv::Point2f plane[4] = {{float(x0), float(y0)}, {float(x1), float(y0)}, {float(x1), float(y1)},
                                  {float(x0), float(y1)}};
    const cv::Point2f ideal[4] = {q[0], q[1], q[2], q[3]};
    frame.planeToIdeal = cv::Matx33d(cv::getPerspectiveTransform(plane, ideal));
    return frame;
}

cv::Point2d PhotoPointOf(const RuleFrame& frame, cv::Point2d ab) {
    const cv::Matx33d& h = frame.planeToIdeal;
    const double w = h(2, 0) * ab.x + h(2, 1) * ab.y + h(2, 2);
    const cv::Point2d q((h(0, 0) * ab.x + h(0, 1) * ab.y + h(0, 2)) / w,
                        (h(1, 0) * ab.x + h(1, 1) * ab.y + h(1, 2)) / w);
    return BowPoint(frame.lens, q);
}

cv::Mat RectifyPhoto(const RuleFrame& frame, const cv::Mat& grey) {
    cv::Mat mapX(frame.height, frame.width, CV_32F), mapY(frame.height, frame.width, CV_32F);
    cv::parallel_for_(cv::Range(0, frame.height), [&](const cv::Range& rows) {
        for (int b = rows.start; b < rows.end; ++b) {
            float* mx = mapX.ptr<float>(b);
            float* my = mapY.ptr<float>(b);
            for (int a = 0; a < frame.width; ++a) {
                const cv::Point2d p = PhotoPointOf(frame, cv::Point2d(a, b));
                mx[a] = static_cast<float>(p.x);
                my[a] = static_cast<float>(p.y);
            }
        }
    });
    cv::Mat rectified;
    cv::remap(grey, rectified, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    return rectified;
}

double CurveAt(const Curve& curve, double a) {
    const double t = (a - curve.centre) / curve.scale;
    return curve.c[0] + t * (curve.c[1] + t * (curve.c[2] + t * curve.c[3]));
}

bool FitCurve(const std::vector<cv::Point2d>& points, double centre, double scale, double tolerance, Curve* curve,
              double* rms) {
    std::vector<bool> used(points.size(), true);
    Curve fitted;
    fitted.centre = centre;
    fitted.scale = scale;
    for (int round = 0; round < 4; ++round) {
        cv::Mat a(0, 4, CV_64F), y(0, 1, CV_64F);
        for (size_t k = 0; k < points.size(); ++k) {
            if (!used[k]) continue;
            const double t = (points[k].x - centre) / scale;
            const double row[4] = {1, t, t * t, t * t * t};
            a.push_back(cv::Mat(1, 4, CV_64F, const_cast<double*>(row)));
            y.push_back(points[k].y);
        }
        if (a.rows < 6) return false;
        cv::Mat c;
        cv::solve(a, y, c, cv::DECOMP_SVD);
        for (int k = 0; k < 4; ++k) fitted.c[k] = c.at<double>(k);
        double sum = 0;
        int count = 0;
        for (size_t k = 0; k < points.size(); ++k) {
            const double r = points[k].y - CurveAt(fitted, points[k].x);
            used[k] = std::fabs(r) <= tolerance;
            if (used[k]) {
                sum += r * r;
                ++count;
            }
        }
        if (count < 6) return false;
        *rms = std::sqrt(sum / count);
        tolerance = std::max(3.5 * *rms, tolerance * 0.5);
    }
    *curve = fitted;
    return true;
}

void StripEdgesAt(const RuleLines& lines, int strip, double a, double* top, double* bottom) {
    *top = CurveAt(lines.boundary[strip], a) + lines.halfGap[strip];
    *bottom = CurveAt(lines.boundary[strip + 1], a) - lines.halfGap[strip + 1];
}

double LeanAt(const Lean& lean, const RuleFrame& frame, double a, double b) {
    const double x = a / frame.width - 0.5, y = b / frame.height - 0.5;
    return lean.l[0] + lean.l[1] * x + lean.l[2] * y + lean.l[3] * x * y;
}

double FitPositionAt(const RuleModel& model, double u) {
    return model.p[0] + u * (model.p[1] + u * (model.p[2] + u * model.p[3]));
}

double FitFractionAt(const RuleModel& model, double a) {
    double u = (a - model.p[0]) / model.p[1];
    for (int step = 0; step < 8; ++step) {
        const double slope = model.p[1] + u * (2 * model.p[2] + 3 * u * model.p[3]);
        u -= (FitPositionAt(model, u) - a) / slope;
    }
    return u;
}

cv::Point2d FramePointOf(const RuleModel& model, int strip, double u, double f) {
    const double along = strip == 1 ? u + model.slideShift : u;
    const double a0 = FitPositionAt(model, along);
    double top = 0, bottom = 0;
    StripEdgesAt(model.lines, strip, a0, &top, &bottom);
    const double b = bottom + f * (top - bottom);
    // Along the marks' lean from the lower gap, where the fit holds.
    const double b0 = CurveAt(model.lines.boundary[2], a0);
    const double a = a0 + LeanAt(model.lean, model.frame, a0, (b + b0) / 2) * (b - b0);
    return cv::Point2d(a, b);
}
