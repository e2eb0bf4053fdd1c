#include "tools/rulegen/photo_rule.h"

#include <chrono>
#include <cstdio>
#include <cmath>

#include <opencv2/imgproc.hpp>

#include "tools/rulegen/photo_files.h"
#include "tools/rulegen/photo_lines.h"
#include "tools/rulegen/photo_outline.h"
#include "tools/rulegen/photo_texture.h"

namespace {

constexpr double MAX_RMS_TEXELS = 0.3;
constexpr double MAX_LENGTH_DISAGREEMENT = 0.004;
const char* const STRAIGHT_ON = "photograph the rule straight on, sharp and in even light";

struct Pass {
    cv::Mat rectified;
    bool ok = false;
    std::string error;
    bool linesKnown = false;
    RuleModel model;
    ScaleFitReport fit;
};

// One look at the rule through an outline: straightened, its lines found,
// C and D fitted.
Pass Measure(const cv::Mat& grey, const Outline& outline, const PhotoLens& lens, double texelsPerIndex) {
    Pass pass;
    pass.model.frame = MakeRuleFrame(outline, lens);
    pass.rectified = RectifyPhoto(pass.model.frame, grey);
    const cv::Mat& rectified = pass.rectified;
    const cv::Mat darkness = DarknessOf(rectified);
    if (!FindRuleLines(darkness, rectified, pass.model.frame, &pass.model.lines, &pass.error)) return pass;
    pass.linesKnown = true;
    if (!FitScales(darkness, texelsPerIndex, &pass.model, &pass.fit, &pass.error)) return pass;
    if (pass.fit.rmsTexels > MAX_RMS_TEXELS) {
        char text[160];
        std::snprintf(text, sizeof text, "the marks of C and D lie too far from their scales' places (%.2f texels on average)",
                      pass.fit.rmsTexels);
        pass.error = text;
        return pass;
    }
    pass.ok = true;
    return pass;
}

// How far the gaps' points, straightened with the lens's k, lie from a
// straight line each.
double Crookedness(const std::vector<cv::Point2d> gaps[2], PhotoLens lens, double k) {
    lens.k = k;
    double sum = 0;
    for (int g = 0; g < 2; ++g) {
        std::vector<cv::Point2f> points;
        for (const cv::Point2d& p : gaps[g]) points.push_back(cv::Point2f(StraightenPoint(lens, p)));
        if (points.size() < 3) continue;
        cv::Vec4f line;
        cv::fitLine(points, line, cv::DIST_L2, 0, 0.01, 0.01);
        for (const cv::Point2f& p : points) {
            const double d = (p.x - line[2]) * line[1] - (p.y - line[3]) * line[0];
            sum += d * d;
        }
    }
    return sum;
}

// The lens's bow that makes the gaps straight (golden-section search).
double EstimateBow(const Pass& pass, const PhotoLens& lens) {
    std::vector<cv::Point2d> gaps[2];
    for (int g = 0; g < 2; ++g) {
        for (const cv::Point2d& ab : pass.model.lines.points[g + 1]) {
            gaps[g].push_back(PhotoPointOf(pass.model.frame, cv::Point2d(ab.x, CurveAt(pass.model.lines.boundary[g + 1], ab.x))));
        }
    }
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double low = -0.2, high = 0.2;
    double x1 = high - ratio * (high - low), x2 = low + ratio * (high - low);
    double f1 = Crookedness(gaps, lens, x1), f2 = Crookedness(gaps, lens, x2);
    for (int step = 0; step < 40; ++step) {
        if (f1 < f2) {
            high = x2, x2 = x1, f2 = f1;
            x1 = high - ratio * (high - low);
            f1 = Crookedness(gaps, lens, x1);
        } else {
            low = x1, x1 = x2, f1 = f2;
            x2 = low + ratio * (high - low);
            f2 = Crookedness(gaps, lens, x2);
        }
    }
    return (low + high) / 2;
}

// The outline the fit implies, from the rule's top edge to its bottom edge
// between two index fractions, in photo pixels.
Outline FittedOutline(const RuleModel& model, double low, double high) {
    Outline outline;
    outline.corner[0] = PhotoPointOf(model.frame, FramePointOf(model, 0, low, 1.0));
    outline.corner[1] = PhotoPointOf(model.frame, FramePointOf(model, 0, high, 1.0));
    outline.corner[2] = PhotoPointOf(model.frame, FramePointOf(model, 2, high, 0.0));
    outline.corner[3] = PhotoPointOf(model.frame, FramePointOf(model, 2, low, 0.0));
    return outline;
}

// The median grey of a body strip's rows at index fraction u: the body's
// own colour where marks and letters cross only some of them.
double StripGrey(const cv::Mat& grey, const RuleModel& model, int strip, double u) {
    std::vector<float> values;
    for (double f = 0.05; f <= 0.96; f += 0.06) {
        const cv::Point2d ab = FramePointOf(model, strip, u, f);
        const cv::Point at(static_cast<int>(std::lround(ab.x)), static_cast<int>(std::lround(ab.y)));
        if (at.x < 0 || at.y < 0 || at.x >= grey.cols || at.y >= grey.rows) return -1;
        values.push_back(grey.at<float>(at));
    }
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The body's ends (index fractions) where its strips' colour stops, looking
// outward from the indices; a found outline's ends are rough.
void FindEnds(const cv::Mat& grey, RuleModel* model) {
    const int strips[2] = {STRIP_UPPER_BODY, STRIP_LOWER_BODY};
    double level[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        std::vector<double> middle;
        for (double u = 0.3; u <= 0.7; u += 0.01) middle.push_back(StripGrey(grey, *model, strips[k], u));
        std::nth_element(middle.begin(), middle.begin() + middle.size() / 2, middle.end());
        level[k] = middle[middle.size() / 2];
    }
    const double step = 1.0 / model->p[1];
    for (int side : {-1, 1}) {
        const double limit = side < 0 ? -0.16 : 1.16;
        double end = limit;
        int misses = 0;
        for (double u = side < 0 ? 0.0 : 1.0; side * (u - limit) < 0; u += side * step) {
            bool body = false;
            for (int k = 0; k < 2; ++k) {
                const double g = StripGrey(grey, *model, strips[k], u);
                body = body || (g >= 0 && std::fabs(g - level[k]) < 0.2 * level[k]);
            }
            misses = body ? 0 : misses + 1;
            if (misses >= 10) {
                end = u - side * 10 * step;
                break;
            }
        }
        (side < 0 ? model->endLow : model->endHigh) = end;
    }
}

Outline Turned(const Outline& outline) {
    Outline turned;
    for (int k = 0; k < 4; ++k) turned.corner[k] = outline.corner[(k + 2) % 4];
    return turned;
}

bool InsidePhoto(const Outline& outline, const cv::Mat& photo, double margin) {
    for (const cv::Point2d& p : outline.corner) {
        if (p.x < margin || p.y < margin || p.x > photo.cols - 1 - margin || p.y > photo.rows - 1 - margin) return false;
    }
    return true;
}

PhotoResult Fail(PhotoResult result, const std::string& step, const std::string& advice) {
    result.ok = false;
    result.failure = step + "; " + advice;
    return result;
}

}  // namespace

PhotoResult ReadRulePhoto(const PhotoRequest& request, const RuleArtwork& strips) {
    const auto start = std::chrono::steady_clock::now();
    PhotoResult result;
    result.artwork = strips;
    std::string error;
    if (!ReadPhotoFile(request.path, &result.photo, &error)) {
        return Fail(result, "the photograph cannot be read: " + error, "give a JPEG, PNG or BMP photograph");
    }
    cv::Mat grey;
    cv::cvtColor(result.photo, grey, cv::COLOR_RGB2GRAY);
    grey.convertTo(grey, CV_32F);
    const StripMap& lower = strips.strips[STRIP_LOWER_BODY];
    const double texelsPerIndex = INDEX_LENGTH * (lower.texelX[2] - lower.texelX[0]) / (lower.right - lower.left);

    std::vector<Outline> tries;
    if (request.hasCorners) {
        result.outline = request.corners;
        if (!InsidePhoto(request.corners, result.photo, 0.0)) {
            return Fail(result, "the corners given lie outside the photograph (" + std::to_string(result.photo.cols) +
                                    " x " + std::to_string(result.photo.rows) + ")",
                        "give them in the photograph's pixels, as it is seen");
        }
        tries.push_back(request.corners);
    } else {
        bool cutOff = false;
        if (!FindRuleOutline(grey, &result.outline, &cutOff, &error)) {
            if (cutOff) return Fail(result, "the rule is cut off by the picture's edge", "photograph all of it, with room around it");
            return Fail(result, error, "give its corners with --corners");
        }
        result.automatic = true;
        if (!InsidePhoto(result.outline, result.photo, 0.002 * std::max(result.photo.cols, result.photo.rows))) {
            return Fail(result, "the rule is cut off by the picture's edge", "photograph all of it, with room around it");
        }
        tries.push_back(result.outline);
        tries.push_back(Turned(result.outline));
    }
    result.outlineKnown = true;

    PhotoLens lens;
    lens.centre = cv::Point2d((result.photo.cols - 1) / 2.0, (result.photo.rows - 1) / 2.0);
    lens.radius = std::hypot(result.photo.cols, result.photo.rows) / 2;
    Pass first;
    for (const Outline& outline : tries) {
        first = Measure(grey, outline, lens, texelsPerIndex);
        if (first.ok) {
            result.outline = outline;
            break;
        }
    }
    result.model = first.model;
    result.linesKnown = first.linesKnown;
    if (!first.ok) {
        return Fail(result, first.error,
                    request.hasCorners ? std::string(STRAIGHT_ON) + ", and check the corners' order"
                                       : std::string(STRAIGHT_ON) + ", or give its corners with --corners");
    }
    // The ends of a given outline only crop; as index fractions.
    RuleModel& m = first.model;
    m.endLow = FitFractionAt(m, m.frame.marginX);
    m.endHigh = FitFractionAt(m, m.frame.width - 1 - m.frame.marginX);
    // Look again, straightened by the fit itself and the lens's bow taken
    // out; a found outline reaching past the texture's ends, whose own ends
    // are then looked for.
    PhotoLens bowed = lens;
    bowed.k = EstimateBow(first, lens);
    const Outline fitted = request.hasCorners ? FittedOutline(m, std::max(m.endLow, -0.16), std::min(m.endHigh, 1.16))
                                              : FittedOutline(m, -0.1, 1.1);
    Pass second = Measure(grey, fitted, bowed, texelsPerIndex);
    // Again through each look's own outline: what the marks' lean leaves
    // of a rough outline's skew shrinks with every look.
    for (int look = 0; look < 2 && second.ok; ++look) {
        Pass again = Measure(grey, FittedOutline(second.model, -0.1, 1.1), bowed, texelsPerIndex);
        if (!again.ok) break;
        second = again;
    }
    Pass& chosen = second.ok ? second : first;
    if (request.hasCorners) {
        chosen.model.endLow = m.endLow;
        chosen.model.endHigh = m.endHigh;
    } else {
        FindEnds(chosen.rectified, &chosen.model);
    }
    result.model = chosen.model;
    result.fit = chosen.fit;
    result.fitted = true;
    if (chosen.fit.rmsTexels > MAX_RMS_TEXELS) {
        char text[160];
        std::snprintf(text, sizeof text, "the marks of C and D lie too far from their scales' places (%.2f texels on average)",
                      chosen.fit.rmsTexels);
        return Fail(result, text, STRAIGHT_ON);
    }
    if (chosen.fit.lengthDisagreement > MAX_LENGTH_DISAGREEMENT) {
        char text[160];
        std::snprintf(text, sizeof text, "the strips disagree: C's index length and D's differ by %.2f %%",
                      100 * chosen.fit.lengthDisagreement);
        return Fail(result, text, "photograph the rule flat and straight on, not tilted");
    }

    ResamplePhotoTexture(result.photo, result.model, &result.artwork);
    // The scale map: the named scales that the texture shows, or C and D.
    if (request.hasScales) {
        for (int strip = 0; strip < STRIP_COUNT; ++strip) {
            for (const ScaleDefinition* scale : request.strips[strip]) {
                if (ScaleMarksFound(result.artwork, strip, *scale) >= SCALE_FITS) {
                    result.mapped[strip].push_back(scale);
                } else {
                    result.unfit.push_back(scale->name);
                }
            }
        }
    } else {
        result.mapped[STRIP_SLIDE].push_back(FindScale("C"));
        result.mapped[STRIP_LOWER_BODY].push_back(FindScale("D"));
    }
    result.ok = true;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}
