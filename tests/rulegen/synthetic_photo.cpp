#include "tests/rulegen/synthetic_photo.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

#include <opencv2/imgproc.hpp>

#include "tools/rulegen/image_files.h"

namespace {

// The rule's face in scene units: x -15 .. 15, y -6 .. 1, gaps of 0.03
// between the strips as the scene has them; drawn this many pixels a unit.
constexpr double FACE_PPU = 200;
constexpr double FACE_LEFT = -16.5, FACE_RIGHT = 16.5, FACE_TOP = 1.5, FACE_BOTTOM = -6.5;

double Uniform(std::mt19937& random, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
}

// The face with its own alpha: body strips, gaps, the slide shifted, the
// cursor at one end.
void DrawFace(const RuleArtwork& rule, double shift, double cursorX, cv::Mat* face, cv::Mat* alpha) {
    const int width = static_cast<int>((FACE_RIGHT - FACE_LEFT) * FACE_PPU);
    const int height = static_cast<int>((FACE_TOP - FACE_BOTTOM) * FACE_PPU);
    const RgbPicture& picture = rule.picture;
    const cv::Mat texture(picture.height, picture.width, CV_8UC3, const_cast<uint8_t*>(picture.rgb.data()));
    cv::Mat mapX(height, width, CV_32F, cv::Scalar(-100)), mapY(height, width, CV_32F, cv::Scalar(-100));
    *alpha = cv::Mat(height, width, CV_8U, cv::Scalar(0));
    cv::Mat gap(height, width, CV_8U, cv::Scalar(0));
    for (int j = 0; j < height; ++j) {
        const double y = FACE_TOP - (j + 0.5) / FACE_PPU;
        for (int i = 0; i < width; ++i) {
            const double x = FACE_LEFT + (i + 0.5) / FACE_PPU;
            const bool body = x >= -15 && x <= 15;
            const bool slideThere = x - shift >= -15 && x - shift <= 15;
            int strip = -1;
            double sx = x;
            if (y <= 1 && y >= -1) {
                strip = body ? STRIP_UPPER_BODY : -1;
            } else if (y <= -1.03 && y >= -3.97) {
                strip = slideThere ? STRIP_SLIDE : -1;
                sx = x - shift;
            } else if (y <= -4 && y >= -6) {
                strip = body ? STRIP_LOWER_BODY : -1;
            } else if (y < 1 && y > -6 && body) {
                gap.at<uint8_t>(j, i) = 255;
                alpha->at<uint8_t>(j, i) = 255;
            }
            if (strip < 0) continue;
            const TexelPoint t = TexelOfScenePoint(rule.strips[strip], sx, y);
            mapX.at<float>(j, i) = static_cast<float>(t.x - 0.5);
            mapY.at<float>(j, i) = static_cast<float>(t.y - 0.5);
            alpha->at<uint8_t>(j, i) = 255;
        }
    }
    cv::remap(texture, *face, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    face->setTo(cv::Scalar(38, 36, 34), gap);
    // Where the slide is pulled away the groove shows, dark.
    for (int j = 0; j < height; ++j) {
        const double y = FACE_TOP - (j + 0.5) / FACE_PPU;
        if (y > -1.0 || y < -4.0) continue;
        for (int i = 0; i < width; ++i) {
            const double x = FACE_LEFT + (i + 0.5) / FACE_PPU;
            if (x >= -15 && x <= 15 && !(x - shift >= -15 && x - shift <= 15)) {
                face->at<cv::Vec3b>(j, i) = cv::Vec3b(60, 56, 52);
                alpha->at<uint8_t>(j, i) = 255;
            }
        }
    }
    // The cursor: a glass window with its hairline, its frame over the edges.
    const auto px = [](double x) { return static_cast<int>(std::lround((x - FACE_LEFT) * FACE_PPU)); };
    const auto py = [](double y) { return static_cast<int>(std::lround((FACE_TOP - y) * FACE_PPU)); };
    const cv::Rect glass(cv::Point(px(cursorX - 0.8), py(1.25)), cv::Point(px(cursorX + 0.8), py(-6.25)));
    cv::Mat window = (*face)(glass);
    cv::Mat tint(window.size(), window.type(), cv::Scalar(225, 232, 236));
    cv::addWeighted(window, 0.85, tint, 0.15, 0, window);
    (*alpha)(glass).setTo(255);
    cv::rectangle(*face, cv::Point(px(cursorX - 0.8), py(1.25)), cv::Point(px(cursorX + 0.8), py(0.95)),
                  cv::Scalar(70, 70, 78), cv::FILLED);
    cv::rectangle(*face, cv::Point(px(cursorX - 0.8), py(-5.95)), cv::Point(px(cursorX + 0.8), py(-6.25)),
                  cv::Scalar(70, 70, 78), cv::FILLED);
    cv::line(*face, cv::Point(px(cursorX), py(0.95)), cv::Point(px(cursorX), py(-5.95)), cv::Scalar(150, 20, 20), 3);
}

// A cluttered table: a wooden colour with grain, papers, a pen, coins, a
// long table edge.
cv::Mat DrawTable(std::mt19937& random, int width, int height) {
    const cv::Scalar wood(Uniform(random, 110, 170), Uniform(random, 80, 125), Uniform(random, 50, 90));
    cv::Mat table(height, width, CV_8UC3, wood);
    cv::Mat grain(height / 16 + 1, width / 16 + 1, CV_32F);
    cv::RNG noise(random());
    noise.fill(grain, cv::RNG::NORMAL, 0, 14);
    cv::resize(grain, grain, cv::Size(width, height), 0, 0, cv::INTER_CUBIC);
    cv::Mat grain3;
    cv::cvtColor(grain, grain3, cv::COLOR_GRAY2RGB);
    cv::Mat tableF;
    table.convertTo(tableF, CV_32FC3);
    tableF += grain3;
    tableF.convertTo(table, CV_8UC3);
    const double size = std::min(width, height);
    for (int k = 0; k < 14; ++k) {
        const cv::Scalar colour(Uniform(random, 0, 255), Uniform(random, 0, 255), Uniform(random, 0, 255));
        const cv::Point centre(static_cast<int>(Uniform(random, 0, width)), static_cast<int>(Uniform(random, 0, height)));
        switch (k % 4) {
        case 0: {  // a sheet of paper
            const cv::RotatedRect sheet(centre, cv::Size2f(float(Uniform(random, 0.2, 0.5) * size), float(Uniform(random, 0.2, 0.5) * size)),
                                        float(Uniform(random, 0, 180)));
            cv::Point2f corners[4];
            sheet.points(corners);
            std::vector<cv::Point> polygon(corners, corners + 4);
            cv::fillConvexPoly(table, polygon, cv::Scalar(235, 235, 228) - colour * 0.1, cv::LINE_AA);
            break;
        }
        case 1:  // a coin
            cv::circle(table, centre, static_cast<int>(Uniform(random, 0.02, 0.05) * size), colour, cv::FILLED, cv::LINE_AA);
            break;
        case 2: {  // a pen
            const double angle = Uniform(random, 0, CV_PI);
            const double length = Uniform(random, 0.2, 0.4) * size;
            const cv::Point2d d(std::cos(angle) * length / 2, std::sin(angle) * length / 2);
            cv::line(table, cv::Point2d(centre) - d, cv::Point2d(centre) + d, colour, static_cast<int>(Uniform(random, 6, 18)), cv::LINE_AA);
            break;
        }
        default:  // scribbles
            for (int s = 0; s < 6; ++s) {
                const cv::Point offset(static_cast<int>(Uniform(random, -80, 80)), static_cast<int>(Uniform(random, -30, 30)));
                cv::line(table, centre + offset, centre + offset + cv::Point(static_cast<int>(Uniform(random, 10, 60)), 0),
                         cv::Scalar(30, 30, 60), 2, cv::LINE_AA);
            }
            break;
        }
    }
    // The table's edge, long and straight, somewhere across the picture.
    const double angle = Uniform(random, -0.3, 0.3);
    const double y0 = Uniform(random, 0.05, 0.15) * height;
    cv::line(table, cv::Point2d(0, y0), cv::Point2d(width, y0 + width * std::tan(angle)), cv::Scalar(30, 25, 20), 5, cv::LINE_AA);
    return table;
}

}  // namespace

SyntheticPhoto MakeSyntheticPhoto(const RuleArtwork& rule, const SyntheticPhotoOptions& options) {
    std::mt19937 random(options.seed);
    SyntheticPhoto photo;
    const int width = options.width, height = options.height;
    cv::Mat table = DrawTable(random, width, height);

    photo.slideShift = Uniform(random, -0.8, 0.8);
    const double cursorX = Uniform(random, 0, 1) < 0.5 ? -14.1 : 14.1;
    cv::Mat face, alpha;
    DrawFace(rule, photo.slideShift, cursorX, &face, &alpha);

    // Where the body's corners land: a rectangle of the rule's proportions,
    // turned a little, each corner moved for the perspective.
    // Tried again until the rule lies wholly in the picture with room to
    // spare (unless it is to be cut off).
    double length = 0;
    cv::Point2f ideal[4], faceCorners[4];
    for (bool inside = false; !inside;) {
        length = Uniform(random, 0.7, 0.85) * width;
        const double across = length * 7.0 / 30.0;
        const double angle = Uniform(random, -0.15, 0.15) + (options.upsideDown ? CV_PI : 0.0);
        cv::Point2d centre(width * Uniform(random, 0.45, 0.55), height * Uniform(random, 0.4, 0.6));
        if (options.cutOff) centre.x = width * 0.5 + 0.35 * length;
        const cv::Point2d along(std::cos(angle), std::sin(angle)), down(-std::sin(angle), std::cos(angle));
        const cv::Point2d local[4] = {{-0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}, {-0.5, 0.5}};
        inside = true;
        for (int k = 0; k < 4; ++k) {
            const cv::Point2d jitter(Uniform(random, -0.035, 0.035) * length, Uniform(random, -0.035, 0.035) * length);
            const cv::Point2d p = centre + along * (local[k].x * length) + down * (local[k].y * across) + jitter;
            ideal[k] = cv::Point2f(p);
            const double margin = 0.04 * width;
            inside = inside && (options.cutOff || (p.x > margin && p.y > margin && p.x < width - margin && p.y < height - margin));
        }
    }
    faceCorners[0] = cv::Point2f(float((-15 - FACE_LEFT) * FACE_PPU), float((FACE_TOP - 1) * FACE_PPU));
    faceCorners[1] = cv::Point2f(float((15 - FACE_LEFT) * FACE_PPU), float((FACE_TOP - 1) * FACE_PPU));
    faceCorners[2] = cv::Point2f(float((15 - FACE_LEFT) * FACE_PPU), float((FACE_TOP + 6) * FACE_PPU));
    faceCorners[3] = cv::Point2f(float((-15 - FACE_LEFT) * FACE_PPU), float((FACE_TOP + 6) * FACE_PPU));
    // Face pixel centres are at whole numbers less a half.
    for (cv::Point2f& p : faceCorners) p -= cv::Point2f(0.5f, 0.5f);
    const cv::Matx33d idealToFace(cv::getPerspectiveTransform(ideal, faceCorners));
    PhotoLens lens;
    lens.centre = cv::Point2d((width - 1) / 2.0, (height - 1) / 2.0);
    lens.radius = std::hypot(width, height) / 2;
    lens.k = Uniform(random, -0.03, 0.03);
    photo.lensK = lens.k;
    for (int k = 0; k < 4; ++k) photo.outline.corner[k] = BowPoint(lens, cv::Point2d(ideal[k]));

    // Photograph it: each picture pixel through the lens to the face.
    cv::Mat mapX(height, width, CV_32F), mapY(height, width, CV_32F);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const cv::Point2d q = StraightenPoint(lens, cv::Point2d(x, y));
            const cv::Vec3d f = idealToFace * cv::Vec3d(q.x, q.y, 1.0);
            mapX.at<float>(y, x) = static_cast<float>(f[0] / f[2]);
            mapY.at<float>(y, x) = static_cast<float>(f[1] / f[2]);
        }
    }
    cv::Mat faceSeen, alphaSeen, shadow;
    if (!options.noRule) {
        // The face is drawn finer than the picture: softened first, as a lens
        // would, so that its marks do not alias.
        const double pixelsPerUnit = length / 30.0;
        cv::GaussianBlur(face, face, cv::Size(), std::max(0.5, 0.45 * FACE_PPU / pixelsPerUnit));
        cv::remap(face, faceSeen, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_CONSTANT);
        cv::remap(alpha, alphaSeen, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar(0));
        // A soft shadow below and to the right.
        const cv::Mat shift = (cv::Mat_<double>(2, 3) << 1, 0, 0.006 * width, 0, 1, 0.008 * width);
        cv::warpAffine(alphaSeen, shadow, shift, alphaSeen.size());
        cv::GaussianBlur(shadow, shadow, cv::Size(), 0.004 * width);
    }
    cv::Mat out;
    table.convertTo(out, CV_32FC3);
    if (!options.noRule) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                cv::Vec3f& p = out.at<cv::Vec3f>(y, x);
                p *= 1.0f - 0.45f * shadow.at<uint8_t>(y, x) / 255.0f;
                const float a = alphaSeen.at<uint8_t>(y, x) / 255.0f;
                const cv::Vec3b f = faceSeen.at<cv::Vec3b>(y, x);
                p = p * (1 - a) + cv::Vec3f(f[0], f[1], f[2]) * a;
            }
        }
    }
    // Uneven light: a gradient across the picture and a vignette.
    const double lightAngle = Uniform(random, 0, 2 * CV_PI);
    const double strength = Uniform(random, 0.15, 0.35);
    const double warmth = Uniform(random, 0.9, 1.05);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double u = ((x - width / 2.0) * std::cos(lightAngle) + (y - height / 2.0) * std::sin(lightAngle)) / width;
            const double r2 = (std::pow(x - width / 2.0, 2) + std::pow(y - height / 2.0, 2)) / std::pow(lens.radius, 2);
            const double gain = (0.92 + strength * u) * (1 - 0.2 * r2);
            cv::Vec3f& p = out.at<cv::Vec3f>(y, x);
            p[0] *= static_cast<float>(gain * warmth);
            p[1] *= static_cast<float>(gain);
            p[2] *= static_cast<float>(gain / warmth);
        }
    }
    cv::GaussianBlur(out, out, cv::Size(), Uniform(random, 0.6, 1.2));
    cv::Mat noise(out.size(), CV_32FC3);
    cv::RNG generator(random());
    generator.fill(noise, cv::RNG::NORMAL, 0, Uniform(random, 2, 5));
    out += noise;
    out.convertTo(photo.rgb, CV_8UC3);
    photo.jpegQuality = static_cast<int>(Uniform(random, 80, 93));
    return photo;
}

bool WriteJpegPhoto(const std::string& path, const cv::Mat& rgb, int quality, int orientation, std::string* error) {
    cv::Mat stored;
    switch (orientation) {
    case 3: cv::rotate(rgb, stored, cv::ROTATE_180); break;
    case 6: cv::rotate(rgb, stored, cv::ROTATE_90_COUNTERCLOCKWISE); break;
    case 8: cv::rotate(rgb, stored, cv::ROTATE_90_CLOCKWISE); break;
    default: stored = rgb; break;
    }
    stored = stored.clone();
    RgbPicture picture{stored.cols, stored.rows, std::vector<uint8_t>(stored.datastart, stored.dataend)};
    if (!WriteJpegFile(path, picture, quality, error)) return false;
    if (orientation == 1) return true;
    // An APP1 Exif segment right after the start marker: a little-endian
    // TIFF header and IFD0 with the orientation alone.
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<uint8_t> segment = {0xFF, 0xE1, 0, 34, 'E', 'x', 'i', 'f', 0, 0,
                                          'I', 'I', 42, 0, 8, 0, 0, 0,  // TIFF header, IFD0 at 8
                                          1, 0,                          // one entry
                                          0x12, 0x01, 3, 0, 1, 0, 0, 0, static_cast<uint8_t>(orientation), 0, 0, 0,
                                          0, 0, 0, 0};  // no next IFD
    bytes.insert(bytes.begin() + 2, segment.begin(), segment.end());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) *error = path + ": cannot be written";
    return static_cast<bool>(out);
}
