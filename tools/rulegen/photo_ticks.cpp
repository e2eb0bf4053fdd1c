#include "tools/rulegen/photo_ticks.h"

#include <algorithm>
#include <cmath>

#include "scales/scales.h"
#include "tools/rulegen/photo_lines.h"

namespace {

constexpr int C_SCALE = 0;
constexpr int D_SCALE = 1;

// The strip's edge beside a gap at a: below it (side +1) or above (side -1).
double EdgeRow(const RuleLines& lines, int boundary, int side, double a) {
    return CurveAt(lines.boundary[boundary], a) + side * lines.halfGap[boundary];
}

double StripHeight(const RuleLines& lines, int boundary, int side, double a) {
    double top = 0, bottom = 0;
    StripEdgesAt(lines, side > 0 ? boundary : boundary - 1, a, &top, &bottom);
    return bottom - top;
}

// The darkness along the rule in a band of rows beside a gap.
std::vector<double> ProbeProfile(const cv::Mat& darkness, const RuleLines& lines, int boundary, int side, double from,
                                 double to) {
    std::vector<double> profile(darkness.cols, 0.0);
    for (int a = 0; a < darkness.cols; ++a) {
        const double edge = EdgeRow(lines, boundary, side, a);
        const double height = StripHeight(lines, boundary, side, a);
        double sum = 0;
        int count = 0;
        for (double d = from * height; d <= to * height; d += 1.0, ++count) sum += DarknessAt(darkness, a, edge + side * d);
        profile[a] = count > 0 ? sum / count : 0.0;
    }
    return profile;
}

// The darkness-weighted middle of a peak, over the darkness above the
// lower of its two surrounding valleys.
double PeakCentre(const std::vector<double>& profile, int peak, int half) {
    double floor = profile[peak];
    for (int k = peak - 2 * half; k <= peak + 2 * half; ++k) {
        if (k >= 0 && k < static_cast<int>(profile.size())) floor = std::min(floor, profile[k]);
    }
    double sum = 0, weight = 0;
    for (int k = std::max(0, peak - half); k <= std::min(static_cast<int>(profile.size()) - 1, peak + half); ++k) {
        const double w = std::max(0.0, profile[k] - floor);
        sum += w * k;
        weight += w;
    }
    return weight > 0 ? sum / weight : peak;
}

// The marks crossing a probe band: peaks of its darkness profile.
std::vector<FoundMark> FindMarks(const cv::Mat& darkness, const RuleModel& model, int boundary, int side) {
    const RuleLines& lines = model.lines;
    constexpr double FROM = 0.012, TO = 0.035;
    const std::vector<double> raw = ProbeProfile(darkness, lines, boundary, side, FROM, TO);
    std::vector<double> profile(raw.size(), 0.0);
    for (size_t k = 1; k + 1 < raw.size(); ++k) profile[k] = (raw[k - 1] + 2 * raw[k] + raw[k + 1]) / 4;
    std::vector<FoundMark> marks;
    const int first = static_cast<int>(model.frame.marginX * 0.5), last = static_cast<int>(darkness.cols - model.frame.marginX * 0.5);
    for (int a = std::max(first, 6); a < std::min(last, darkness.cols - 6); ++a) {
        const double v = profile[a];
        if (v < profile[a - 1] || v <= profile[a + 1] || v < profile[a - 2] || v < profile[a + 2]) continue;
        const double valley = std::min(*std::min_element(&profile[a - 5], &profile[a]),
                                       *std::min_element(&profile[a + 1], &profile[a + 6]));
        if (v - valley < 0.08) continue;
        FoundMark mark;
        mark.a = PeakCentre(profile, a, 2);
        const double height = StripHeight(lines, boundary, side, mark.a);
        const double depth = (FROM + TO) / 2 * height;
        mark.b = EdgeRow(lines, boundary, side, mark.a) + side * depth;
        // Its length: along the mark, following its lean, until it fades
        // for two rows running.
        const double level = v;
        double d = depth;
        double along = mark.a;
        int faint = 0;
        for (; d < 0.6 * height && faint < 2; d += 1.0) {
            const double b = EdgeRow(lines, boundary, side, mark.a) + side * d;
            const double left = DarknessAt(darkness, along - 1, b), middle = DarknessAt(darkness, along, b),
                         right = DarknessAt(darkness, along + 1, b);
            const double here = std::max({left, middle, right});
            if (here == left) along -= 0.5;
            if (here == right) along += 0.5;
            faint = here < 0.45 * level ? faint + 1 : 0;
        }
        mark.length = d / height;
        marks.push_back(mark);
    }
    return marks;
}

// The lean of a long mark: where its middle lies at half its length
// against where it crosses the probe row; false for a short one.
bool MeasureLean(const cv::Mat& darkness, const RuleModel& model, int boundary, int side, const FoundMark& mark,
                 cv::Point3d* sample) {
    const double height = StripHeight(model.lines, boundary, side, mark.a);
    if (mark.length < 0.12) return false;
    const double depth = 0.5 * mark.length * height;
    const double b = EdgeRow(model.lines, boundary, side, mark.a) + side * depth;
    std::vector<double> profile;
    for (int k = -4; k <= 4; ++k) {
        double sum = 0;
        for (int r = -2; r <= 2; ++r) sum += DarknessAt(darkness, mark.a + k, b + r);
        profile.push_back(sum / 5);
    }
    const int peak = static_cast<int>(std::max_element(profile.begin() + 2, profile.end() - 2) - profile.begin());
    const double far = mark.a + PeakCentre(profile, peak, 2) - 4;
    if (std::fabs(b - mark.b) < 8) return false;
    *sample = cv::Point3d(mark.a, (b + mark.b) / 2, (far - mark.a) / (b - mark.b));
    return true;
}

bool FitLean(const std::vector<cv::Point3d>& samples, const RuleFrame& frame, bool bothGaps, Lean* lean) {
    const int terms = bothGaps ? 4 : 2;
    std::vector<bool> used(samples.size(), true);
    Lean fitted;
    double tolerance = 0.05;
    for (int round = 0; round < 4; ++round) {
        cv::Mat a(0, terms, CV_64F), y(0, 1, CV_64F);
        for (size_t k = 0; k < samples.size(); ++k) {
            if (!used[k]) continue;
            const double x = samples[k].x / frame.width - 0.5, v = samples[k].y / frame.height - 0.5;
            const double row[4] = {1, x, v, x * v};
            a.push_back(cv::Mat(1, terms, CV_64F, const_cast<double*>(row)));
            y.push_back(samples[k].z);
        }
        if (a.rows < 3 * terms) return false;
        cv::Mat l;
        cv::solve(a, y, l, cv::DECOMP_SVD);
        fitted = Lean{};
        for (int k = 0; k < terms; ++k) fitted.l[k] = l.at<double>(k);
        double sum = 0;
        int count = 0;
        for (size_t k = 0; k < samples.size(); ++k) {
            const double r = samples[k].z - LeanAt(fitted, frame, samples[k].x, samples[k].y);
            used[k] = std::fabs(r) < tolerance;
            if (used[k]) {
                sum += r * r;
                ++count;
            }
        }
        tolerance = std::max(0.01, 3 * std::sqrt(sum / std::max(count, 1)));
    }
    *lean = fitted;
    return true;
}

// The numbered marks 1 to 10: among the longest marks, the pair for 1 and
// 10 whose logarithmic divisions find the most of 2 to 9. The longest
// marks include the majors' halves and whatever else runs long (the
// cursor's hairline, a numeral touching its mark): the spacing sorts them.
int FindMajors(std::vector<FoundMark>* marks, double minimumSpan) {
    constexpr size_t CANDIDATES = 30;
    if (marks->size() < 10) return 0;
    std::vector<int> candidates(marks->size());
    for (size_t k = 0; k < candidates.size(); ++k) candidates[k] = static_cast<int>(k);
    std::sort(candidates.begin(), candidates.end(),
              [&](int x, int y) { return (*marks)[x].length > (*marks)[y].length; });
    candidates.resize(std::min(candidates.size(), CANDIDATES));
    std::sort(candidates.begin(), candidates.end(), [&](int x, int y) { return (*marks)[x].a < (*marks)[y].a; });
    // The most of 2 to 9 found; between sets as many, the longest marks,
    // each counted at most as long as the tenth longest, so that one
    // overlong line (a slide's end, the hairline) does not decide.
    std::vector<double> lengths;
    for (int c : candidates) lengths.push_back((*marks)[c].length);
    std::sort(lengths.rbegin(), lengths.rend());
    const double cap = lengths[std::min<size_t>(9, lengths.size() - 1)];
    int bestCount = 0;
    double bestLength = 0;
    std::vector<int> bestSet;
    for (size_t i = 0; i < candidates.size(); ++i) {
        for (size_t j = i + 1; j < candidates.size(); ++j) {
            const double a1 = (*marks)[candidates[i]].a, a10 = (*marks)[candidates[j]].a;
            const double span = a10 - a1;
            if (span < minimumSpan) continue;
            std::vector<int> set = {candidates[i]};
            for (int v = 2; v <= 9; ++v) {
                const double expected = a1 + span * std::log10(v);
                int longest = -1;
                for (int c : candidates) {
                    if (std::fabs((*marks)[c].a - expected) < 0.006 * span &&
                        (longest < 0 || (*marks)[c].length > (*marks)[longest].length)) {
                        longest = c;
                    }
                }
                set.push_back(longest);
            }
            set.push_back(candidates[j]);
            int count = 0;
            double length = 0;
            for (int k : set) {
                if (k < 0) continue;
                ++count;
                length += std::min((*marks)[k].length, cap);
            }
            if (count > bestCount || (count == bestCount && length > bestLength)) {
                bestCount = count;
                bestLength = length;
                bestSet = set;
            }
        }
    }
    for (size_t v = 0; v < bestSet.size(); ++v) {
        if (bestSet[v] < 0) continue;
        (*marks)[bestSet[v]].value = static_cast<double>(v + 1);
        (*marks)[bestSet[v]].major = true;
    }
    return bestCount;
}

// The mark's a carried along the lean to the lower gap's middle.
double AtGap(const RuleModel& model, const FoundMark& mark) {
    const double b0 = CurveAt(model.lines.boundary[2], mark.a);
    return mark.a - LeanAt(model.lean, model.frame, mark.a, (mark.b + b0) / 2) * (mark.b - b0);
}

struct FitPoint {
    double u;  // lg of the value
    double a;  // at the gap
    int scale;
    FoundMark* mark;
};

// A cubic P through the points, C's taken at u + shift; the shift itself
// by Gauss-Newton steps. Returns the residuals' root mean square.
double FitCubic(std::vector<FitPoint>& points, double p[4], double* shift, bool fitShift) {
    for (int round = 0; round < 6; ++round) {
        cv::Mat a(0, 4, CV_64F), y(0, 1, CV_64F);
        for (const FitPoint& q : points) {
            const double w = q.scale == C_SCALE ? q.u + *shift : q.u;
            const double row[4] = {1, w, w * w, w * w * w};
            a.push_back(cv::Mat(1, 4, CV_64F, const_cast<double*>(row)));
            y.push_back(q.a);
        }
        cv::Mat c;
        cv::solve(a, y, c, cv::DECOMP_SVD);
        for (int k = 0; k < 4; ++k) p[k] = c.at<double>(k);
        if (!fitShift) break;
        double top = 0, bottom = 0;
        for (const FitPoint& q : points) {
            if (q.scale != C_SCALE) continue;
            const double w = q.u + *shift;
            const double slope = p[1] + w * (2 * p[2] + 3 * w * p[3]);
            const double r = q.a - (p[0] + w * (p[1] + w * (p[2] + w * p[3])));
            top += r * slope;
            bottom += slope * slope;
        }
        if (bottom > 0) *shift += top / bottom;
    }
    double sum = 0;
    for (FitPoint& q : points) {
        const double w = q.scale == C_SCALE ? q.u + *shift : q.u;
        q.mark->residual = q.a - (p[0] + w * (p[1] + w * (p[2] + w * p[3])));
        sum += q.mark->residual * q.mark->residual;
    }
    return std::sqrt(sum / std::max<size_t>(points.size(), 1));
}

// Each found mark against the catalogue's marks of its scale, near where
// the fit so far puts them.
std::vector<FitPoint> Associate(std::vector<FoundMark>* marks, int scale, const RuleModel& model,
                                const std::vector<ScaleMark>& catalogue) {
    std::vector<FitPoint> points;
    const double shift = scale == C_SCALE ? model.slideShift : 0.0;
    std::vector<double> expected;
    for (const ScaleMark& m : catalogue) expected.push_back(FitPositionAt(model, m.position + shift));
    for (FoundMark& mark : *marks) {
        mark.scale = -1;
        const double a = AtGap(model, mark);
        const auto at = std::lower_bound(expected.begin(), expected.end(), a);
        int nearest = -1;
        for (auto it : {at - 1, at}) {
            if (it < expected.begin() || it >= expected.end()) continue;
            const int k = static_cast<int>(it - expected.begin());
            if (nearest < 0 || std::fabs(expected[k] - a) < std::fabs(expected[nearest] - a)) nearest = k;
        }
        if (nearest < 0) continue;
        const double left = nearest > 0 ? expected[nearest] - expected[nearest - 1] : 1e9;
        const double right = nearest + 1 < static_cast<int>(expected.size()) ? expected[nearest + 1] - expected[nearest] : 1e9;
        const double tolerance = std::min(0.3 * std::min(left, right), 3.0);
        if (std::fabs(expected[nearest] - a) > tolerance) continue;
        mark.scale = scale;
        mark.value = catalogue[nearest].value;
        mark.major = catalogue[nearest].lengthClass == 0;
        points.push_back(FitPoint{catalogue[nearest].position, a, scale, &mark});
    }
    return points;
}

}  // namespace

bool FitScales(const cv::Mat& darkness, double texelsPerIndex, RuleModel* model, ScaleFitReport* report,
               std::string* error) {
    *report = ScaleFitReport{};
    std::vector<FoundMark> marks[2] = {FindMarks(darkness, *model, 2, -1), FindMarks(darkness, *model, 2, +1)};
    const double inner = model->frame.width - 2 * model->frame.marginX;
    for (int s : {D_SCALE, C_SCALE}) {
        report->majors[s] = FindMajors(&marks[s], 0.65 * inner);
        if (report->majors[s] < 8) {
            *error = s == C_SCALE ? "no C on the slide: " + std::to_string(report->majors[s]) +
                                        " of C's 10 numbered marks were found beside the lower gap"
                                  : "too few numbered marks: " + std::to_string(report->majors[s]) +
                                        " of D's 10 were found beside the lower gap";
            return false;
        }
    }
    // The lean, from the long marks by both gaps.
    std::vector<cv::Point3d> samples;
    int upperSamples = 0;
    for (int s : {C_SCALE, D_SCALE}) {
        for (const FoundMark& mark : marks[s]) {
            cv::Point3d sample;
            if (MeasureLean(darkness, *model, 2, s == C_SCALE ? -1 : 1, mark, &sample)) samples.push_back(sample);
        }
    }
    for (int side : {-1, 1}) {
        for (const FoundMark& mark : FindMarks(darkness, *model, 1, side)) {
            cv::Point3d sample;
            if (MeasureLean(darkness, *model, 1, side, mark, &sample)) {
                samples.push_back(sample);
                ++upperSamples;
            }
        }
    }
    if (!FitLean(samples, model->frame, upperSamples >= 20, &model->lean)) model->lean = Lean{};

    // First the numbered marks on a straight line each, then every mark.
    std::vector<FitPoint> points;
    for (int s : {C_SCALE, D_SCALE}) {
        for (FoundMark& mark : marks[s]) {
            if (mark.major) points.push_back(FitPoint{std::log10(mark.value), AtGap(*model, mark), s, &mark});
        }
    }
    double shift = 0;
    {
        double sums[2][2] = {{0, 0}, {0, 0}};  // per scale: a at u = 0 by a line through its majors
        double slope = 0;
        for (int s : {C_SCALE, D_SCALE}) {
            double su = 0, sa = 0, suu = 0, sua = 0, n = 0;
            for (const FitPoint& q : points) {
                if (q.scale != s) continue;
                su += q.u, sa += q.a, suu += q.u * q.u, sua += q.u * q.a, n += 1;
            }
            const double b = (n * sua - su * sa) / (n * suu - su * su);
            sums[s][0] = (sa - b * su) / n;
            sums[s][1] = b;
            if (s == D_SCALE) slope = b;
        }
        shift = (sums[C_SCALE][0] - sums[D_SCALE][0]) / slope;
        model->p[0] = sums[D_SCALE][0];
        model->p[1] = slope;
        model->p[2] = model->p[3] = 0;
        model->slideShift = shift;
        // Then a cubic through the majors alone, to start the matching
        // of every mark from.
        FitCubic(points, model->p, &model->slideShift, true);
    }
    const ScaleDefinition* definitions[2] = {FindScale("C"), FindScale("D")};
    std::vector<ScaleMark> catalogue[2];
    for (int s : {C_SCALE, D_SCALE}) catalogue[s] = MakeScaleMarks(*definitions[s], INDEX_LENGTH, MIN_MARK_SPACING);
    double rms = 0;
    for (int round = 0; round < 3; ++round) {
        points = Associate(&marks[C_SCALE], C_SCALE, *model, catalogue[C_SCALE]);
        const std::vector<FitPoint> d = Associate(&marks[D_SCALE], D_SCALE, *model, catalogue[D_SCALE]);
        points.insert(points.end(), d.begin(), d.end());
        if (points.size() < 40) break;
        rms = FitCubic(points, model->p, &model->slideShift, true);
        // Leave out the marks that stray far from the fit and fit again.
        std::vector<FitPoint> kept;
        for (const FitPoint& q : points) {
            if (std::fabs(q.mark->residual) <= std::max(4 * rms, 0.3)) kept.push_back(q);
        }
        points = kept;
        rms = FitCubic(points, model->p, &model->slideShift, true);
    }
    const double indexPixels = FitPositionAt(*model, 1.0) - FitPositionAt(*model, 0.0);
    const double toTexels = texelsPerIndex / indexPixels;
    report->rmsTexels = rms * toTexels;
    for (const FitPoint& q : points) {
        report->marks[q.scale] += 1;
        report->worstTexels = std::max(report->worstTexels, std::fabs(q.mark->residual) * toTexels);
        report->used.push_back(*q.mark);
    }
    for (const FitPoint& q : points) {
        if (q.mark->major) report->majors[q.scale] = 0;
    }
    for (const FitPoint& q : points) {
        if (q.mark->major) ++report->majors[q.scale];
    }
    if (report->marks[C_SCALE] < 30 || report->marks[D_SCALE] < 30) {
        *error = "too few marks of C and D could be matched to their values (" + std::to_string(report->marks[C_SCALE]) +
                 " and " + std::to_string(report->marks[D_SCALE]) + ")";
        return false;
    }
    // C and D fitted each on its own must agree on the index length.
    double spans[2] = {0, 0};
    for (int s : {C_SCALE, D_SCALE}) {
        std::vector<FitPoint> own;
        for (const FitPoint& q : points) {
            if (q.scale == s) own.push_back(FitPoint{q.u, q.a, D_SCALE, q.mark});
        }
        double p[4] = {0, 0, 0, 0}, none = 0;
        FitCubic(own, p, &none, false);
        spans[s] = p[1] + p[2] + p[3];
    }
    // FitCubic wrote the residuals of the lone fits; the joint fit's again.
    FitCubic(points, model->p, &model->slideShift, true);
    report->lengthDisagreement = std::fabs(spans[C_SCALE] - spans[D_SCALE]) / spans[D_SCALE];
    return true;
}
