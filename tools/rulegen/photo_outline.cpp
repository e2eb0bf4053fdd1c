#include "tools/rulegen/photo_outline.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <opencv2/imgproc.hpp>

namespace {

constexpr double WORK_SIZE = 2000;  // the longer side of the picture searched

struct Segment {
    cv::Point2d a, b;
    double angle;   // of the line, 0 .. pi
    double length;
};

// A line in normal form: points p with dot(p, normal) = offset.
struct Line {
    cv::Point2d direction;  // unit, along the rule
    cv::Point2d normal;
    double offset;
    double from, to;  // the stretch along `direction` that it covers
};

cv::Point2d PointOn(const Line& line, double along) { return line.direction * along + line.normal * line.offset; }

// How marked the picture is along a line on one side: the mean change of
// darkness across short steps along it, in a band beside it.
double Marks(const cv::Mat& grey, const Line& line, double side, double width) {
    double sum = 0;
    int count = 0;
    for (double s = line.from + 0.2 * (line.to - line.from); s < line.to - 0.2 * (line.to - line.from); s += 1.0) {
        for (double d = 2; d < width; d += 2) {
            const cv::Point2d p = PointOn(line, s) + line.normal * (side * d);
            const cv::Point2d q = p + line.direction;
            if (p.x < 0 || p.y < 0 || q.x < 0 || q.y < 0 || p.x >= grey.cols - 1 || p.y >= grey.rows - 1 ||
                q.x >= grey.cols - 1 || q.y >= grey.rows - 1) {
                continue;
            }
            sum += std::fabs(grey.at<float>(cv::Point(p)) - grey.at<float>(cv::Point(q)));
            ++count;
        }
    }
    return count > 0 ? sum / count : 0.0;
}

// The mean grey level across a line at distance d on one side, over its
// middle stretch.
double LevelAt(const cv::Mat& grey, const Line& line, double d, double from, double to) {
    double sum = 0;
    int count = 0;
    for (double s = from; s < to; s += 3.0) {
        const cv::Point p(PointOn(line, s) + line.normal * d);
        if (p.x < 0 || p.y < 0 || p.x >= grey.cols || p.y >= grey.rows) continue;
        sum += grey.at<float>(p);
        ++count;
    }
    return count > 0 ? sum / count : -1.0;
}

// The body's outer edge beside a gap: where the grey level changes most,
// between 0.4 and 1.6 slide heights out, measured on short stretches and
// fitted as a line. False when no clear edge is there.
bool FindEdge(const cv::Mat& grey, const Line& gap, double side, double slide, Line* edge) {
    std::vector<cv::Point2f> points;
    const int pieces = 12;
    for (int k = 1; k < pieces - 1; ++k) {
        const double from = gap.from + (gap.to - gap.from) * k / pieces;
        const double to = gap.from + (gap.to - gap.from) * (k + 1) / pieces;
        std::vector<double> levels;
        const double first = 0.35 * slide;
        for (double d = first; d < 1.7 * slide; d += 1.0) levels.push_back(LevelAt(grey, gap, side * d, from, to));
        double best = 0;
        int bestK = -1;
        for (int j = 2; j + 2 < static_cast<int>(levels.size()); ++j) {
            if (levels[j - 2] < 0 || levels[j + 2] < 0) break;
            const double step = std::fabs(levels[j + 2] - levels[j - 2]);
            if (step > best) {
                best = step;
                bestK = j;
            }
        }
        if (bestK < 0 || best < 25) continue;
        points.push_back(cv::Point2f(PointOn(gap, (from + to) / 2) + gap.normal * (side * (first + bestK))));
    }
    if (points.size() < 5) return false;
    cv::Vec4f fitted;
    cv::fitLine(points, fitted, cv::DIST_HUBER, 0, 0.01, 0.01);
    cv::Point2d direction(fitted[0], fitted[1]);
    if (direction.dot(gap.direction) < 0) direction = -direction;
    *edge = gap;
    edge->direction = direction;
    edge->normal = cv::Point2d(-direction.y, direction.x);
    edge->offset = cv::Point2d(fitted[2], fitted[3]).dot(edge->normal);
    return true;
}

// The line q described in p's sense of direction.
Line AlignedTo(Line q, const Line& p) {
    if (p.direction.dot(q.direction) >= 0) return q;
    q.direction = -q.direction;
    q.normal = -q.normal;
    q.offset = -q.offset;
    const double from = -q.to, to = -q.from;
    q.from = from;
    q.to = to;
    return q;
}

cv::Point2d Meet(const Line& line, const cv::Point2d& point, const cv::Point2d& direction) {
    // point + t * direction on the line: dot(point + t dir, n) = offset.
    const double t = (line.offset - point.dot(line.normal)) / direction.dot(line.normal);
    return point + direction * t;
}

}  // namespace

bool FindRuleOutline(const cv::Mat& grey, Outline* outline, bool* cutOff, std::string* error) {
    *cutOff = false;
    const double scale = std::min(1.0, WORK_SIZE / std::max(grey.cols, grey.rows));
    cv::Mat small;
    cv::resize(grey, small, cv::Size(), scale, scale, cv::INTER_AREA);
    // Thin dark lines: black-hat, then the clearly dark ones.
    cv::Mat hat;
    cv::morphologyEx(small, hat, cv::MORPH_BLACKHAT, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(5, 5)));
    cv::Mat binary = hat > 30;
    std::vector<cv::Vec4i> houghLines;
    const double longSide = std::max(small.cols, small.rows);
    cv::HoughLinesP(binary, houghLines, 1, CV_PI / 720, 150, 0.2 * longSide, 4);
    std::vector<Segment> segments;
    for (const cv::Vec4i& s : houghLines) {
        Segment segment{cv::Point2d(s[0], s[1]), cv::Point2d(s[2], s[3]), 0, 0};
        const cv::Point2d d = segment.b - segment.a;
        segment.length = cv::norm(d);
        segment.angle = std::fmod(std::atan2(d.y, d.x) + 2 * CV_PI, CV_PI);
        segments.push_back(segment);
    }
    if (segments.size() < 2) {
        *error = "no rule was found in the photograph: the long dark lines between its slide and body are not there";
        return false;
    }
    // Gather the segments into lines: same direction, same offset.
    std::vector<Line> lines;
    for (const Segment& s : segments) {
        const cv::Point2d direction(std::cos(s.angle), std::sin(s.angle));
        const cv::Point2d normal(-direction.y, direction.x);
        const double a = s.a.dot(direction), b = s.b.dot(direction);
        const Line own{direction, normal, s.a.dot(normal), std::min(a, b), std::max(a, b)};
        bool merged = false;
        for (Line& line : lines) {
            const Line same = AlignedTo(own, line);
            if (same.direction.dot(line.direction) > std::cos(CV_PI / 180) && std::fabs(same.offset - line.offset) < 3) {
                line.from = std::min(line.from, same.from);
                line.to = std::max(line.to, same.to);
                merged = true;
                break;
            }
        }
        if (!merged) lines.push_back(own);
    }
    // The gaps: the pair of near-parallel lines overlapping most, a slide's
    // height apart, each with marks on both sides.
    double bestScore = 0;
    Line gaps[2];
    for (size_t i = 0; i < lines.size(); ++i) {
        for (size_t j = 0; j < lines.size(); ++j) {
            if (i == j) continue;
            const Line& p = lines[i];
            const Line q = AlignedTo(lines[j], p);
            if (std::fabs(p.direction.dot(q.normal)) > std::sin(3 * CV_PI / 180)) continue;
            const double distance = q.offset - p.offset;
            if (distance <= 0) continue;
            const double from = std::max(p.from, q.from), to = std::min(p.to, q.to);
            const double overlap = to - from;
            if (overlap < 0.25 * longSide || distance < 0.04 * overlap || distance > 0.3 * overlap) continue;
            Line pp = p, qq = q;
            pp.from = qq.from = from;
            pp.to = qq.to = to;
            const double width = 0.15 * distance;
            const double marks = std::min({Marks(small, pp, -1, width), Marks(small, pp, 1, width),
                                           Marks(small, qq, -1, width), Marks(small, qq, 1, width)});
            const double score = overlap * marks;
            if (score > bestScore) {
                bestScore = score;
                gaps[0] = pp;
                gaps[1] = qq;
            }
        }
    }
    if (bestScore <= 0) {
        *error = "no rule was found in the photograph: no two long dark lines with marks on both sides";
        return false;
    }
    const double slide = gaps[1].offset - gaps[0].offset;
    Line top, bottom;
    if (!FindEdge(small, gaps[0], -1, slide, &top) || !FindEdge(small, gaps[1], 1, slide, &bottom)) {
        *error = "the rule's edges were not found";
        return false;
    }
    // The ends: where the gaps stop, squared across the rule.
    const double from = std::min(gaps[0].from, gaps[1].from), to = std::max(gaps[0].to, gaps[1].to);
    const cv::Point2d across = gaps[0].normal;
    const cv::Point2d left = PointOn(gaps[0], from), right = PointOn(gaps[0], to);
    Outline found;
    found.corner[0] = Meet(top, left, across);
    found.corner[1] = Meet(top, right, across);
    found.corner[2] = Meet(bottom, right, across);
    found.corner[3] = Meet(bottom, left, across);
    const double margin = 3;
    for (const cv::Point2d& p : found.corner) {
        if (p.x < margin || p.y < margin || p.x > small.cols - 1 - margin || p.y > small.rows - 1 - margin) *cutOff = true;
    }
    for (const Line& gap : gaps) {
        for (const cv::Point2d& p : {PointOn(gap, gap.from), PointOn(gap, gap.to)}) {
            if (p.x < margin || p.y < margin || p.x > small.cols - 1 - margin || p.y > small.rows - 1 - margin) *cutOff = true;
        }
    }
    if (*cutOff) {
        *error = "the rule is cut off by the picture's edge";
        return false;
    }
    // Clockwise on the picture (y down): the cross product of the first two
    // sides is positive.
    const cv::Point2d e1 = found.corner[1] - found.corner[0], e2 = found.corner[2] - found.corner[1];
    if (e1.x * e2.y - e1.y * e2.x < 0) {
        const Outline mirrored{{found.corner[3], found.corner[2], found.corner[1], found.corner[0]}};
        found = mirrored;
    }
    for (cv::Point2d& p : found.corner) p = (p + cv::Point2d(0.5, 0.5)) * (1.0 / scale) - cv::Point2d(0.5, 0.5);
    *outline = found;
    return true;
}
