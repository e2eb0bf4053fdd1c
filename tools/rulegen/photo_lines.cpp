#include "tools/rulegen/photo_lines.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <opencv2/imgproc.hpp>

namespace {

constexpr int BLOCKS = 64;

// The mean of each row of a region, as a vector.
std::vector<double> RowMeans(const cv::Mat& image, int a0, int a1, int b0, int b1) {
    a0 = std::clamp(a0, 0, image.cols - 1);
    a1 = std::clamp(a1, a0 + 1, image.cols);
    b0 = std::clamp(b0, 0, image.rows - 1);
    b1 = std::clamp(b1, b0 + 1, image.rows);
    cv::Mat means;
    cv::reduce(image(cv::Range(b0, b1), cv::Range(a0, a1)), means, 1, cv::REDUCE_AVG, CV_64F);
    return std::vector<double>(means.begin<double>(), means.end<double>());
}

double MeanOf(const std::vector<double>& v, int from, int to) {
    from = std::max(from, 0);
    to = std::min(to, static_cast<int>(v.size()) - 1);
    double sum = 0;
    for (int k = from; k <= to; ++k) sum += v[k];
    return to >= from ? sum / (to - from + 1) : 0.0;
}

// How much darker row k is than both of its sides: a narrow dark line
// scores, a step from light to dark does not.
std::vector<double> LineStrength(const std::vector<double>& profile, int near, int far) {
    std::vector<double> strength(profile.size(), 0.0);
    for (int k = 0; k < static_cast<int>(profile.size()); ++k) {
        const double above = MeanOf(profile, k - far, k - near);
        const double below = MeanOf(profile, k + near, k + far);
        strength[k] = profile[k] - std::max(above, below);
    }
    return strength;
}

// The strength-weighted middle of the peak at k, over +-half rows.
double PeakMiddle(const std::vector<double>& strength, int k, int half) {
    double sum = 0, weight = 0;
    for (int j = std::max(0, k - half); j <= std::min(static_cast<int>(strength.size()) - 1, k + half); ++j) {
        const double w = std::max(0.0, strength[j] - 0.3 * strength[k]);
        sum += w * j;
        weight += w;
    }
    return weight > 0 ? sum / weight : k;
}

struct Candidate {
    int row;
    double strength;
    double ticks;  // the marks on its poorer side
};

// Follows a line block by block near its first row (or its curve),
// returning the points found.
std::vector<cv::Point2d> FollowLine(const cv::Mat& darkness, const RuleFrame& frame, const Curve* curve, double row,
                                    double window, int near, int far) {
    std::vector<cv::Point2d> points;
    const double first = frame.marginX + 0.01 * frame.width;
    const double last = frame.width - frame.marginX - 0.01 * frame.width;
    const double blockWidth = (last - first) / BLOCKS;
    for (int block = 0; block < BLOCKS; ++block) {
        const int a0 = static_cast<int>(first + block * blockWidth);
        const int a1 = static_cast<int>(first + (block + 1) * blockWidth);
        const double centre = (a0 + a1) / 2.0;
        const double expected = curve != nullptr ? CurveAt(*curve, centre) : row;
        const int b0 = static_cast<int>(expected - window - far);
        const std::vector<double> profile = RowMeans(darkness, a0, a1, b0, static_cast<int>(expected + window + far));
        const std::vector<double> strength = LineStrength(profile, near, far);
        int best = -1;
        for (int k = far; k < static_cast<int>(strength.size()) - far; ++k) {
            if (best < 0 || strength[k] > strength[best]) best = k;
        }
        if (best < 0 || strength[best] < 0.05) continue;
        points.emplace_back(centre, std::max(b0, 0) + PeakMiddle(strength, best, near));
    }
    return points;
}

// The half-width of a gap: half the rows over which it is darker than half
// its peak, measured on the mean across the rule along its curve.
double HalfGapWidth(const cv::Mat& darkness, const RuleFrame& frame, const Curve& curve, int far) {
    std::vector<double> profile;
    const double step = 0.25;
    for (double d = -far; d <= far; d += step) {
        double sum = 0;
        int count = 0;
        for (int a = static_cast<int>(0.2 * frame.width); a < static_cast<int>(0.8 * frame.width); a += 3) {
            sum += DarknessAt(darkness, a, CurveAt(curve, a) + d);
            ++count;
        }
        profile.push_back(sum / count);
    }
    const int middle = static_cast<int>(profile.size() / 2);
    const double base = std::min(profile.front(), profile.back());
    const double half = base + (profile[middle] - base) / 2;
    int left = middle, right = middle;
    while (left > 0 && profile[left] > half) --left;
    while (right + 1 < static_cast<int>(profile.size()) && profile[right] > half) ++right;
    return (right - left) * step / 2;
}

// The body's outer edge near a row: per block the steepest change of the
// grey level across the rule.
std::vector<cv::Point2d> FollowEdge(const cv::Mat& grey, const RuleFrame& frame, double row, double window) {
    std::vector<cv::Point2d> points;
    const double first = frame.marginX + 0.01 * frame.width;
    const double last = frame.width - frame.marginX - 0.01 * frame.width;
    const double blockWidth = (last - first) / BLOCKS;
    for (int block = 0; block < BLOCKS; ++block) {
        const int a0 = static_cast<int>(first + block * blockWidth);
        const int a1 = static_cast<int>(first + (block + 1) * blockWidth);
        const int b0 = std::max(1, static_cast<int>(row - window));
        const std::vector<double> profile = RowMeans(grey, a0, a1, b0, static_cast<int>(row + window));
        int best = -1;
        double steepest = 0;
        for (int k = 2; k + 2 < static_cast<int>(profile.size()); ++k) {
            const double slope = std::fabs(profile[k + 1] + profile[k + 2] - profile[k - 1] - profile[k - 2]);
            if (slope > steepest) {
                steepest = slope;
                best = k;
            }
        }
        if (best < 0 || steepest < 20) continue;
        const auto slopeAt = [&](int k) {
            return std::fabs(profile[k + 1] + profile[k + 2] - profile[k - 1] - profile[k - 2]);
        };
        double offset = 0;
        if (best > 2 && best + 3 < static_cast<int>(profile.size())) {
            const double l = slopeAt(best - 1), m = slopeAt(best), r = slopeAt(best + 1);
            const double denominator = l - 2 * m + r;
            if (denominator < 0) offset = std::clamp(0.5 * (l - r) / denominator, -0.5, 0.5);
        }
        points.emplace_back((a0 + a1) / 2.0, b0 + best + 0.5 + offset);
    }
    return points;
}

}  // namespace

cv::Mat DarknessOf(const cv::Mat& rectifiedGrey) {
    cv::Mat level;
    cv::dilate(rectifiedGrey, level, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(31, 31)));
    cv::blur(level, level, cv::Size(61, 61));
    cv::max(level, 8.0, level);
    cv::Mat darkness;
    cv::divide(rectifiedGrey, level, darkness);
    darkness = 1.0 - darkness;
    cv::max(darkness, 0.0, darkness);
    return darkness;
}

double DarknessAt(const cv::Mat& darkness, double a, double b) {
    const int a0 = static_cast<int>(std::floor(a)), b0 = static_cast<int>(std::floor(b));
    if (a0 < 0 || b0 < 0 || a0 + 1 >= darkness.cols || b0 + 1 >= darkness.rows) return 0.0;
    const double fa = a - a0, fb = b - b0;
    const float* r0 = darkness.ptr<float>(b0);
    const float* r1 = darkness.ptr<float>(b0 + 1);
    return (1 - fb) * ((1 - fa) * r0[a0] + fa * r0[a0 + 1]) + fb * ((1 - fa) * r1[a0] + fa * r1[a0 + 1]);
}

bool FindRuleLines(const cv::Mat& darkness, const cv::Mat& rectifiedGrey, const RuleFrame& frame, RuleLines* lines,
                   std::string* error) {
    const double inner = frame.height - 1 - 2 * frame.marginY;
    const int near = std::max(3, static_cast<int>(std::lround(0.006 * inner)));
    const int far = std::max(near + 4, static_cast<int>(std::lround(0.016 * inner)));

    // Candidates: narrow dark lines across the middle of the rule.
    const int a0 = static_cast<int>(0.3 * frame.width), a1 = static_cast<int>(0.7 * frame.width);
    const std::vector<double> profile = RowMeans(darkness, a0, a1, 0, frame.height);
    const std::vector<double> strength = LineStrength(profile, near, far);
    // The marks beside a line: how much the darkness changes along the rule.
    cv::Mat along;
    cv::blur(darkness, along, cv::Size(9, 1));
    cv::Mat detail = cv::abs(darkness - along);
    const std::vector<double> ticks = RowMeans(detail, a0, a1, 0, frame.height);
    const int band = std::max(4, static_cast<int>(0.03 * inner));
    std::vector<Candidate> candidates;
    for (int k = static_cast<int>(frame.marginY + 0.1 * inner); k < static_cast<int>(frame.marginY + 0.9 * inner); ++k) {
        if (strength[k] < 0.06 || strength[k] < strength[k - 1] || strength[k] < strength[k + 1]) continue;
        const double above = MeanOf(ticks, k - near - band, k - near);
        const double below = MeanOf(ticks, k + near, k + near + band);
        candidates.push_back(Candidate{k, strength[k], std::min(above, below)});
    }
    // The pair that makes three strips of sensible heights with the most
    // marked, darkest lines.
    double bestScore = 0;
    int best[2] = {-1, -1};
    for (size_t i = 0; i < candidates.size(); ++i) {
        for (size_t j = i + 1; j < candidates.size(); ++j) {
            const double top = candidates[i].row - frame.marginY;
            const double middle = candidates[j].row - candidates[i].row;
            const double bottom = frame.marginY + inner - candidates[j].row;
            if (top < 0.12 * inner || middle < 0.2 * inner || bottom < 0.12 * inner) continue;
            const double score = std::min(candidates[i].strength * candidates[i].ticks,
                                          candidates[j].strength * candidates[j].ticks);
            if (score > bestScore) {
                bestScore = score;
                best[0] = static_cast<int>(i);
                best[1] = static_cast<int>(j);
            }
        }
    }
    if (best[0] < 0 || candidates[best[0]].ticks < 0.01 || candidates[best[1]].ticks < 0.01) {
        *error = "the gaps between the slide and the body were not found";
        return false;
    }

    RuleLines found;
    const double centre = frame.width / 2.0, scale = frame.width / 2.0;
    for (int g = 0; g < 2; ++g) {
        const int boundary = g + 1;
        const double row = candidates[best[g]].row;
        std::vector<cv::Point2d> points = FollowLine(darkness, frame, nullptr, row, 0.04 * inner, near, far);
        double rms = 0;
        Curve curve;
        if (!FitCurve(points, centre, scale, 0.01 * inner, &curve, &rms)) {
            *error = "the gaps between the slide and the body could not be followed along the rule";
            return false;
        }
        points = FollowLine(darkness, frame, &curve, row, 2.0 + 3 * rms, near, far);
        if (!FitCurve(points, centre, scale, std::max(1.5, 4 * rms), &curve, &rms) || points.size() < BLOCKS * 2 / 3) {
            *error = "the gaps between the slide and the body could not be followed along the rule";
            return false;
        }
        found.boundary[boundary] = curve;
        found.points[boundary] = points;
        found.halfGap[boundary] = std::min(HalfGapWidth(darkness, frame, curve, far), 0.5 * far);
    }
    // The outer edges, near the outline's, each side of the gaps.
    const double edgeRows[2] = {frame.marginY, frame.marginY + inner};
    for (int e = 0; e < 2; ++e) {
        const int boundary = e == 0 ? 0 : 3;
        const double window = std::min(0.06 * inner, 0.5 * std::fabs(edgeRows[e] - CurveAt(found.boundary[e == 0 ? 1 : 2], centre)));
        std::vector<cv::Point2d> points = FollowEdge(rectifiedGrey, frame, edgeRows[e], window);
        double rms = 0;
        Curve curve;
        if (!FitCurve(points, centre, scale, 0.02 * inner, &curve, &rms) || points.size() < BLOCKS / 2) {
            *error = e == 0 ? "the body's top edge was not found" : "the body's bottom edge was not found";
            return false;
        }
        found.boundary[boundary] = curve;
        found.points[boundary] = points;
    }
    // Three strips, each a fair share of the rule, the same all along.
    for (double a : {0.1 * frame.width, 0.5 * frame.width, 0.9 * frame.width}) {
        for (int strip = 0; strip < 3; ++strip) {
            double top = 0, bottom = 0;
            StripEdgesAt(found, strip, a, &top, &bottom);
            if (bottom - top < 0.08 * inner) {
                *error = "the strips found disagree: one of them is too narrow";
                return false;
            }
        }
    }
    *lines = found;
    return true;
}
