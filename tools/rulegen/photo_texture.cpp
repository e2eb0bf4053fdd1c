#include "tools/rulegen/photo_texture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "tools/screenshot/rule_reading.h"

namespace {

constexpr int SUBSAMPLES = 3;  // per texel, each way

// The texel rows of a strip at a column whose middles lie within the strip.
void StripRows(const StripMap& strip, double x, int* first, int* last) {
    const double low = TexelOfScenePoint(strip, x, strip.bottom).y;
    const double high = TexelOfScenePoint(strip, x, strip.top).y;
    *first = std::max(0, static_cast<int>(std::ceil(low - 0.5)));
    *last = std::min(strip.size.height - 1, static_cast<int>(std::floor(high - 0.5)));
}

// Evens out the light: per block of columns, the body's colour is taken as
// the mean of the strip's lightest texels, and every texel scaled so that
// it becomes the rules' body colour.
void EvenOut(const StripMap& strip, const cv::Mat& inStrip, cv::Mat* texture) {
    constexpr int BLOCK = 48;
    const int c0 = static_cast<int>(strip.texelX[0]), c1 = static_cast<int>(strip.texelX[2]);
    const int blocks = std::max(1, (c1 - c0) / BLOCK);
    std::vector<cv::Vec3d> body(blocks, cv::Vec3d(BODY_COLOUR.r, BODY_COLOUR.g, BODY_COLOUR.b));
    for (int k = 0; k < blocks; ++k) {
        std::vector<std::pair<double, cv::Vec3d>> texels;
        for (int c = c0 + k * BLOCK; c < std::min(c1, c0 + (k + 1) * BLOCK); ++c) {
            for (int r = 0; r < texture->rows; ++r) {
                if (!inStrip.at<uint8_t>(r, c)) continue;
                const cv::Vec3f v = texture->at<cv::Vec3f>(r, c);
                texels.emplace_back(0.299 * v[0] + 0.587 * v[1] + 0.114 * v[2], cv::Vec3d(v[0], v[1], v[2]));
            }
        }
        if (texels.size() < 20) continue;
        std::sort(texels.begin(), texels.end(), [](const auto& x, const auto& y) { return x.first > y.first; });
        cv::Vec3d sum(0, 0, 0);
        const size_t count = std::max<size_t>(1, texels.size() / 5);
        for (size_t j = 0; j < count; ++j) sum += texels[j].second;
        body[k] = sum * (1.0 / count);
    }
    const cv::Vec3d target(BODY_COLOUR.r, BODY_COLOUR.g, BODY_COLOUR.b);
    for (int c = std::max(0, c0 - 4); c < std::min(texture->cols, c1 + 4); ++c) {
        const double at = (c - c0 + 0.5) / BLOCK - 0.5;
        const int k0 = std::clamp(static_cast<int>(std::floor(at)), 0, blocks - 1);
        const int k1 = std::min(k0 + 1, blocks - 1);
        const double f = std::clamp(at - k0, 0.0, 1.0);
        const cv::Vec3d level = body[k0] * (1 - f) + body[k1] * f;
        for (int r = 0; r < texture->rows; ++r) {
            if (!inStrip.at<uint8_t>(r, c)) continue;
            cv::Vec3f& v = texture->at<cv::Vec3f>(r, c);
            for (int ch = 0; ch < 3; ++ch) v[ch] = static_cast<float>(v[ch] * target[ch] / std::max(level[ch], 1.0));
        }
    }
}

}  // namespace

void ResamplePhotoTexture(const cv::Mat& photo, const RuleModel& model, RuleArtwork* artwork) {
    const TextureSize size = artwork->size;
    cv::Mat sum(size.height, size.width, CV_32FC3, cv::Scalar(0, 0, 0));
    cv::Mat mapX(size.height, size.width, CV_32F), mapY(size.height, size.width, CV_32F);
    cv::Mat valid(size.height, size.width, CV_8U, cv::Scalar(0));
    cv::Mat stripOf(size.height, size.width, CV_8U, cv::Scalar(255));
    // How many photo pixels a texel spans, to soften the photo first where
    // the texture is coarser than it.
    double spread = 0;
    {
        const StripMap& strip = artwork->strips[2];
        const double x = SceneXOfTexelX(strip, size.width / 2.0);
        const double u = (x - INDEX_LEFT_X) / INDEX_LENGTH;
        const double du = (SceneXOfTexelX(strip, size.width / 2.0 + 1) - x) / INDEX_LENGTH;
        const cv::Point2d p0 = PhotoPointOf(model.frame, FramePointOf(model, 2, u, 0.5));
        const cv::Point2d p1 = PhotoPointOf(model.frame, FramePointOf(model, 2, u + du, 0.5));
        spread = cv::norm(p1 - p0);
    }
    cv::Mat source;
    photo.convertTo(source, CV_32FC3);
    if (spread > 2.0) cv::GaussianBlur(source, source, cv::Size(), 0.4 * spread / SUBSAMPLES);
    for (int sy = 0; sy < SUBSAMPLES; ++sy) {
        for (int sx = 0; sx < SUBSAMPLES; ++sx) {
            mapX.setTo(-1000.0f);
            mapY.setTo(-1000.0f);
            const double ox = (sx + 0.5) / SUBSAMPLES, oy = (sy + 0.5) / SUBSAMPLES;
            for (int k = 0; k < STRIP_COUNT; ++k) {
                const StripMap& strip = artwork->strips[k];
                for (int c = static_cast<int>(strip.texelX[0]); c < static_cast<int>(strip.texelX[2]); ++c) {
                    const double x = SceneXOfTexelX(strip, c + ox);
                    const double u = (x - INDEX_LEFT_X) / INDEX_LENGTH;
                    int first = 0, last = 0;
                    StripRows(strip, SceneXOfTexelX(strip, c + 0.5), &first, &last);
                    for (int r = first; r <= last; ++r) {
                        const double y = SceneYOfTexelY(strip, x, r + oy);
                        const double f = (y - strip.bottom) / (strip.top - strip.bottom);
                        const cv::Point2d p = PhotoPointOf(model.frame, FramePointOf(model, k, u, f));
                        stripOf.at<uint8_t>(r, c) = static_cast<uint8_t>(k);
                        const bool inside = u >= model.endLow && u <= model.endHigh && p.x >= 0 && p.y >= 0 &&
                                            p.x <= photo.cols - 1 && p.y <= photo.rows - 1;
                        if (!inside) continue;
                        valid.at<uint8_t>(r, c) += 1;
                        mapX.at<float>(r, c) = static_cast<float>(p.x);
                        mapY.at<float>(r, c) = static_cast<float>(p.y);
                    }
                }
            }
            cv::Mat sampled;
            cv::remap(source, sampled, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar(0, 0, 0));
            sum += sampled;
        }
    }
    const int full = SUBSAMPLES * SUBSAMPLES;
    cv::Mat texture(size.height, size.width, CV_32FC3, cv::Scalar(BODY_COLOUR.r, BODY_COLOUR.g, BODY_COLOUR.b));
    for (int r = 0; r < size.height; ++r) {
        for (int c = 0; c < size.width; ++c) {
            if (valid.at<uint8_t>(r, c) == full) texture.at<cv::Vec3f>(r, c) = sum.at<cv::Vec3f>(r, c) * (1.0f / full);
        }
    }
    for (int k = 0; k < STRIP_COUNT; ++k) {
        cv::Mat inStrip = (stripOf == k) & (valid == full);
        EvenOut(artwork->strips[k], inStrip, &texture);
    }
    RgbPicture& picture = artwork->picture;
    picture.width = size.width;
    picture.height = size.height;
    picture.rgb.resize(static_cast<size_t>(size.width) * size.height * 3);
    for (int r = 0; r < size.height; ++r) {
        for (int c = 0; c < size.width; ++c) {
            const cv::Vec3f v = texture.at<cv::Vec3f>(r, c);
            uint8_t* out = &picture.rgb[(static_cast<size_t>(r) * size.width + c) * 3];
            for (int ch = 0; ch < 3; ++ch) out[ch] = static_cast<uint8_t>(std::clamp(std::lround(v[ch]), 0L, 255L));
        }
    }
}

double ScaleMarksFound(const RuleArtwork& artwork, int strip, const ScaleDefinition& scale) {
    const StripMap& map = artwork.strips[strip];
    const RgbPicture& picture = artwork.picture;
    std::vector<double> xs;
    for (const ScaleMark& m : MakeScaleMarks(scale, INDEX_LENGTH, MIN_MARK_SPACING)) xs.push_back(SceneXOfPosition(m.position));
    std::sort(xs.begin(), xs.end());
    const double texelWidth = (map.right - map.left) / (map.texelX[2] - map.texelX[0]);
    // Bilinear darkness at a scene point of the strip, through its map.
    const auto darknessAt = [&](double x, double y) {
        const TexelPoint t = TexelOfScenePoint(map, x, y);
        const int c = std::clamp(static_cast<int>(std::floor(t.x - 0.5)), 0, picture.width - 2);
        const int r = std::clamp(static_cast<int>(std::floor(t.y - 0.5)), 0, picture.height - 2);
        const double fx = std::clamp(t.x - 0.5 - c, 0.0, 1.0), fy = std::clamp(t.y - 0.5 - r, 0.0, 1.0);
        const auto at = [&](int rr, int cc) { return Darkness(&picture.rgb[(static_cast<size_t>(rr) * picture.width + cc) * 3]); };
        return (1 - fy) * ((1 - fx) * at(r, c) + fx * at(r, c + 1)) + fy * ((1 - fx) * at(r + 1, c) + fx * at(r + 1, c + 1));
    };
    const int rows = static_cast<int>(std::ceil(map.texelY[1] - map.texelY[0]));
    double best = 0;
    for (int row = 0; row <= rows; ++row) {
        const double y = map.bottom + (map.top - map.bottom) * row / rows;
        int counted = 0, found = 0;
        for (size_t k = 0; k < xs.size(); ++k) {
            const double left = k > 0 ? xs[k] - xs[k - 1] : 1e9;
            const double right = k + 1 < xs.size() ? xs[k + 1] - xs[k] : 1e9;
            const double half = std::min({left, right, 4.0 * texelWidth}) / 2;
            if (half < 1.25 * texelWidth) continue;
            ++counted;
            const double here = darknessAt(xs[k], y);
            if (here > darknessAt(xs[k] - half, y) + 12 && here > darknessAt(xs[k] + half, y) + 12) ++found;
        }
        if (counted > 0) best = std::max(best, static_cast<double>(found) / counted);
    }
    return best;
}
