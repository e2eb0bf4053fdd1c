#include "tools/rulegen/photo_preview.h"

#include <algorithm>
#include <cmath>

#include <opencv2/imgproc.hpp>

#include "tools/png_file.h"

namespace {

constexpr int PREVIEW_WIDTH = 1600;
const cv::Scalar OUTLINE(255, 210, 0), GAP(0, 200, 255), EDGE(0, 220, 90), C_MARK(40, 90, 255), D_MARK(255, 40, 40),
    INDEX(230, 0, 230), TEXT(255, 255, 255), BAND(40, 40, 40);

cv::Point Scaled(cv::Point2d p, double scale) {
    return cv::Point(static_cast<int>(std::lround((p.x + 0.5) * scale - 0.5)),
                     static_cast<int>(std::lround((p.y + 0.5) * scale - 0.5)));
}

cv::Mat TextBand(const std::string& text, int width) {
    cv::Mat band(40, width, CV_8UC3, BAND);
    cv::putText(band, text, cv::Point(10, 27), cv::FONT_HERSHEY_SIMPLEX, 0.6, TEXT, 1, cv::LINE_AA);
    return band;
}

cv::Mat DrawOne(const PhotoResult& result) {
    std::vector<cv::Mat> parts;
    parts.push_back(TextBand(result.ok ? "read: the texture below was written" : "refused: " + result.failure, PREVIEW_WIDTH));
    if (result.photo.empty()) return parts[0];
    const double scale = static_cast<double>(PREVIEW_WIDTH) / result.photo.cols;
    cv::Mat picture;
    cv::resize(result.photo, picture, cv::Size(PREVIEW_WIDTH, std::max(1, static_cast<int>(result.photo.rows * scale))), 0, 0,
               cv::INTER_AREA);
    const RuleModel& model = result.model;
    if (result.outlineKnown) {
        std::vector<cv::Point> corners;
        for (const cv::Point2d& p : result.outline.corner) corners.push_back(Scaled(p, scale));
        cv::polylines(picture, corners, true, OUTLINE, 2, cv::LINE_AA);
        cv::circle(picture, corners[0], 6, OUTLINE, 2, cv::LINE_AA);  // the top-left corner
    }
    if (result.linesKnown) {
        for (int k = 0; k < 4; ++k) {
            std::vector<cv::Point> curve;
            for (double a = model.frame.marginX; a <= model.frame.width - model.frame.marginX; a += 32) {
                curve.push_back(Scaled(PhotoPointOf(model.frame, cv::Point2d(a, CurveAt(model.lines.boundary[k], a))), scale));
            }
            cv::polylines(picture, curve, false, k == 1 || k == 2 ? GAP : EDGE, 1, cv::LINE_AA);
        }
    }
    if (result.fitted) {
        for (const FoundMark& mark : result.fit.used) {
            const cv::Point at = Scaled(PhotoPointOf(model.frame, cv::Point2d(mark.a, mark.b)), scale);
            cv::circle(picture, at, mark.major ? 4 : 1, mark.scale == 0 ? C_MARK : D_MARK, mark.major ? 2 : 1, cv::LINE_AA);
        }
        for (double u : {0.0, 1.0}) {
            for (int strip : {1, 2}) {
                cv::line(picture, Scaled(PhotoPointOf(model.frame, FramePointOf(model, strip, u, 0.0)), scale),
                         Scaled(PhotoPointOf(model.frame, FramePointOf(model, strip, u, 1.0)), scale), INDEX, 2, cv::LINE_AA);
            }
        }
    }
    parts.push_back(picture);
    if (result.ok) {
        const RgbPicture& texture = result.artwork.picture;
        const cv::Mat stored(texture.height, texture.width, CV_8UC3, const_cast<uint8_t*>(texture.rgb.data()));
        cv::Mat upright, shown;
        cv::flip(stored, upright, 0);  // row 0 is the strips' bottom
        cv::resize(upright, shown, cv::Size(PREVIEW_WIDTH, texture.height * PREVIEW_WIDTH / texture.width), 0, 0, cv::INTER_AREA);
        parts.push_back(TextBand("the texture written", PREVIEW_WIDTH));
        parts.push_back(shown);
    }
    cv::Mat all;
    cv::vconcat(parts, all);
    return all;
}

}  // namespace

bool WritePhotoPreview(const std::string& path, const std::vector<const PhotoResult*>& results, std::string* error) {
    std::vector<cv::Mat> parts;
    for (const PhotoResult* result : results) parts.push_back(DrawOne(*result));
    cv::Mat all;
    cv::vconcat(parts, all);
    if (!WritePngFile(path, all.cols, all.rows, 3, all.ptr<uint8_t>(0))) {
        *error = path + ": cannot be written";
        return false;
    }
    return true;
}
