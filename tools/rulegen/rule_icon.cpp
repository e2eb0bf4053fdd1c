#include "tools/rulegen/rule_icon.h"

#include <algorithm>
#include <cmath>

#include "tools/rulegen/rule_texture.h"
#include "scales/scales.h"

namespace {

struct Canvas {
    int size;
    std::vector<float> rgba;  // premultiplied, 0..1
};

struct Paint {
    float r, g, b, a;
};

Paint PaintOf(Rgb8 c, float alpha = 1.0f) { return Paint{c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, alpha}; }

double Overlap(double a0, double a1, double b0, double b1) { return std::max(0.0, std::min(a1, b1) - std::max(a0, b0)); }

// Paints a box (pixel units, y downward) over what is there, each pixel by
// the share of it that the box covers, so edges are antialiased.
void FillBox(Canvas* canvas, double x0, double y0, double x1, double y1, Paint paint) {
    const int left = std::max(0, static_cast<int>(std::floor(x0)));
    const int right = std::min(canvas->size - 1, static_cast<int>(std::ceil(x1)));
    const int top = std::max(0, static_cast<int>(std::floor(y0)));
    const int bottom = std::min(canvas->size - 1, static_cast<int>(std::ceil(y1)));
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const double cover = Overlap(x0, x1, x, x + 1.0) * Overlap(y0, y1, y, y + 1.0);
            if (cover <= 0.0) continue;
            const float a = static_cast<float>(cover) * paint.a;
            float* p = &canvas->rgba[(static_cast<size_t>(y) * canvas->size + x) * 4];
            p[0] = paint.r * a + p[0] * (1.0f - a);
            p[1] = paint.g * a + p[1] * (1.0f - a);
            p[2] = paint.b * a + p[2] * (1.0f - a);
            p[3] = a + p[3] * (1.0f - a);
        }
    }
}

// A box with an outline of the given width drawn inside its edge.
void OutlinedBox(Canvas* canvas, double x0, double y0, double x1, double y1, Paint fill, Paint line, double width) {
    FillBox(canvas, x0, y0, x1, y1, fill);
    FillBox(canvas, x0, y0, x1, y0 + width, line);
    FillBox(canvas, x0, y1 - width, x1, y1, line);
    FillBox(canvas, x0, y0, x0 + width, y1, line);
    FillBox(canvas, x1 - width, y0, x1, y1, line);
}

// The marks of a scale whose index starts at indexLeft and is indexLength
// long, growing from baseY by `direction` (+1 down, -1 up).
void DrawScaleMarks(Canvas* canvas, const char* name, double indexLeft, double indexLength, double baseY,
                    double direction, double longest, double width, Paint ink) {
    const ScaleDefinition* scale = FindScale(name);
    if (scale == nullptr) return;
    // Marks no closer than about two and a half of the mark's own width.
    for (const ScaleMark& mark : MakeScaleMarks(*scale, indexLength, width * 2.5)) {
        const double x = indexLeft + mark.position * indexLength;
        const double length = longest * (mark.lengthClass == 0 ? 1.0 : 0.75 - 0.08 * mark.lengthClass);
        const double y0 = direction > 0 ? baseY : baseY - length;
        FillBox(canvas, x - width / 2, y0, x + width / 2, y0 + length, ink);
    }
}

}  // namespace

std::vector<uint8_t> DrawRuleIcon(int size) {
    Canvas canvas{size, std::vector<float>(static_cast<size_t>(size) * size * 4, 0.0f)};
    const double s = size;
    const double line = std::max(1.0, s / 64.0);
    const Paint ink = PaintOf(INK_COLOUR);
    const Paint frame = PaintOf(Rgb8{70, 66, 58});

    // The body, two strips with the slide's groove between them, and the
    // slide pulled out a little to the right.
    const double bodyLeft = 0.02 * s, bodyRight = 0.84 * s;
    const double top = 0.30 * s, grooveTop = 0.43 * s, grooveBottom = 0.57 * s, bottom = 0.70 * s;
    const double slideLeft = 0.16 * s, slideRight = 0.98 * s;
    OutlinedBox(&canvas, bodyLeft, top, bodyRight, bottom, PaintOf(BODY_COLOUR), frame, line);
    OutlinedBox(&canvas, slideLeft, grooveTop, slideRight, grooveBottom, PaintOf(Rgb8{236, 231, 212}), frame, line);

    // Scales: A on the upper strip and D on the lower, against the groove;
    // C on the slide's lower edge, against D.
    const double indexLength = 0.70 * s;
    const double markWidth = std::max(0.75, s / 170.0);
    const double longest = 0.075 * s;
    DrawScaleMarks(&canvas, "A", bodyLeft + 0.05 * s, indexLength, grooveTop, -1, longest, markWidth, ink);
    DrawScaleMarks(&canvas, "D", bodyLeft + 0.05 * s, indexLength, grooveBottom, +1, longest, markWidth, ink);
    DrawScaleMarks(&canvas, "C", slideLeft + 0.05 * s, indexLength, grooveBottom, -1, longest, markWidth, ink);

    // The cursor window: clear glass in a dark frame, and the red hairline.
    const double cursorLeft = 0.50 * s, cursorRight = 0.64 * s;
    OutlinedBox(&canvas, cursorLeft, 0.22 * s, cursorRight, 0.78 * s, Paint{1, 1, 1, 0.22f}, frame, 1.5 * line);
    const double hairline = (cursorLeft + cursorRight) / 2;
    FillBox(&canvas, hairline - line / 2, 0.22 * s, hairline + line / 2, 0.78 * s, PaintOf(INVERSE_INK_COLOUR));

    // Premultiplied to straight alpha, 8 bits.
    std::vector<uint8_t> rgba(canvas.rgba.size());
    for (size_t k = 0; k < rgba.size(); k += 4) {
        const float a = canvas.rgba[k + 3];
        for (size_t c = 0; c < 3; ++c) {
            const float straight = a > 0.0f ? canvas.rgba[k + c] / a : 0.0f;
            rgba[k + c] = static_cast<uint8_t>(std::lround(std::clamp(straight, 0.0f, 1.0f) * 255.0f));
        }
        rgba[k + 3] = static_cast<uint8_t>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255.0f));
    }
    return rgba;
}
