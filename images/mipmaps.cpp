// The mipmap levels, made row by row. The scaling repeats GLU's float
// arithmetic operation for operation (this file is built without
// floating-point contraction), so every compiler and platform gives GLU's
// bytes; the speed comes from doing each operation once: the filter's walk
// over the input is worked out once per row and column instead of per pixel,
// input rows are turned into floats once, and the channels of a pixel are
// computed together in one vector.
#include "images/mipmaps.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The four channels of a pixel. Each lane sees exactly the operations that
// GLU's loop over the channels makes, in the same order.
typedef float Lanes __attribute__((vector_size(16)));
typedef int32_t IntLanes __attribute__((vector_size(16)));

// Rows a level holds before it hands them on. Even, so that the pairs of rows
// that make the next level never straddle two hand-overs.
constexpr int BAND_ROWS = 16;

// --- Scaling to level 0 ----------------------------------------------------

// Where GLU's box filter puts output pixel n along one axis: it covers the
// input from low + lowFraction to high + highFraction.
struct BoxStep {
    int low;
    int high;
    float lowFraction;
    float highFraction;
};

// GLU's walk along an axis, with its float steps and its wrap of the
// fraction (only above 1, never at 1). Along y the end is kept inside the
// picture; along x it is not, and the pixel just past a row is read (with
// a weight that is zero or nearly so).
std::vector<BoxStep> WalkAxis(int in, int out, bool clampHigh) {
    const float conv = static_cast<float>(in) / static_cast<float>(out);
    const int convInt = static_cast<int>(std::floor(conv));
    const float convFraction = conv - static_cast<float>(convInt);
    std::vector<BoxStep> steps(static_cast<size_t>(out));
    int low = 0;
    float lowFraction = 0.0f;
    int high = convInt;
    float highFraction = convFraction;
    for (BoxStep& step : steps) {
        if (clampHigh && high >= in) high = in - 1;
        step = BoxStep{low, high, lowFraction, highFraction};
        low = high;
        lowFraction = highFraction;
        high += convInt;
        highFraction += convFraction;
        if (highFraction > 1) {
            highFraction = static_cast<float>(highFraction - 1.0);
            ++high;
        }
    }
    return steps;
}

// The picture's bytes as GLU reads them: one run of memory with rows
// rowStride apart. Reads past the picture's last byte give 0, as the
// program's pictures carry zeroed bytes there.
struct FlatPicture {
    const uint8_t* pixels;
    int width;
    int components;
    size_t rowStride;
    size_t size;  // up to the end of the last row's pixels

    uint8_t At(size_t offset) const { return offset < size ? pixels[offset] : 0; }
};

// Input rows as floats, the few that the current output row needs, each
// with the pixel just past its end and one spare lane.
struct FloatRows {
    int slots;
    size_t rowFloats;
    std::unique_ptr<float[]> values;  // written before they are read: not cleared
    std::vector<int> rows;            // which input row each slot holds; -1: none
};

const float* FloatRow(const FlatPicture& picture, FloatRows* cache, int row) {
    const size_t slot = static_cast<size_t>(row % cache->slots);
    float* values = cache->values.get() + slot * cache->rowFloats;
    if (cache->rows[slot] != row) {
        const size_t start = static_cast<size_t>(row) * picture.rowStride;
        const size_t inRow = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.components);
        const uint8_t* bytes = picture.pixels + start;
        for (size_t k = 0; k < inRow; ++k) values[k] = bytes[k];
        for (int k = 0; k < picture.components; ++k) {
            values[inRow + static_cast<size_t>(k)] = picture.At(start + inRow + static_cast<size_t>(k));
        }
        cache->rows[slot] = row;
    }
    return values;
}

Lanes LoadLanes(const float* row, int x, int components) {
    Lanes lanes;
    std::memcpy(&lanes, row + static_cast<size_t>(x) * static_cast<size_t>(components), sizeof lanes);
    return lanes;
}

// A pixel anywhere in the run of memory, past the row's end included.
Lanes FlatLanes(const FlatPicture& picture, int row, int x) {
    const size_t at = static_cast<size_t>(row) * picture.rowStride +
                      static_cast<size_t>(x) * static_cast<size_t>(picture.components);
    Lanes lanes = {0.0f, 0.0f, 0.0f, 0.0f};
    for (int k = 0; k < picture.components; ++k) lanes[k] = picture.At(at + static_cast<size_t>(k));
    return lanes;
}

struct Scaler {
    FlatPicture picture;
    std::vector<BoxStep> columns;
    std::vector<BoxStep> rows;
    float area;
    FloatRows cache;
    std::vector<const float*> rowsOfBox;  // the current output row's input rows, low to high
    std::unique_ptr<float[]> totals;      // the current output row's channel sums, and a spare
};

Scaler MakeScaler(const MipmapPicture& source, int outWidth, int outHeight) {
    Scaler s;
    const size_t inRow = static_cast<size_t>(source.width) * static_cast<size_t>(source.components);
    s.picture = FlatPicture{source.pixels, source.width, source.components, source.rowStride,
                            static_cast<size_t>(source.height - 1) * source.rowStride + inRow};
    s.columns = WalkAxis(source.width, outWidth, false);
    s.rows = WalkAxis(source.height, outHeight, true);
    const float convx = static_cast<float>(source.width) / static_cast<float>(outWidth);
    const float convy = static_cast<float>(source.height) / static_cast<float>(outHeight);
    s.area = convx * convy;
    // An output row reads the input rows from its low to its high end.
    const int rowsPerBox = static_cast<int>(std::floor(convy)) + 2;
    s.cache.slots = rowsPerBox;
    s.cache.rowFloats = inRow + static_cast<size_t>(source.components) + 1;
    s.cache.values.reset(new float[static_cast<size_t>(s.cache.slots) * s.cache.rowFloats]);
    s.cache.rows.assign(static_cast<size_t>(s.cache.slots), -1);
    s.rowsOfBox.resize(static_cast<size_t>(rowsPerBox));
    s.totals.reset(new float[static_cast<size_t>(outWidth) * static_cast<size_t>(source.components) + 1]);
    return s;
}

// A pixel of input row m, which (with GLU's drift) may lie beyond the pixel
// just past the row.
Lanes EdgeLanes(const Scaler& s, int m, int x, const float* row) {
    if (x <= s.picture.width) return LoadLanes(row, x, s.picture.components);
    return FlatLanes(s.picture, m, x);
}

// Output row i of the box filter, in GLU's order of operations: for a pixel
// whose box spans rows and columns, the first row from left to right, the
// last row, the left and right ends of the rows between (summed in pairs,
// and, as GLU's pointers drift, one pixel further right each row), then the
// whole pixels inside; narrower boxes take the shorter forms.
// The sum of one input row's pixels over a box's columns, added to
// `totals` in GLU's order: the left end, the whole pixels, the right end,
// each with its weight times the row's share `rowShare`.
template <int c>
Lanes AddRowOfBox(Lanes totals, const float* row, const BoxStep& x, float rowShare) {
    totals += LoadLanes(row, x.low, c) * (rowShare * (1 - x.lowFraction));
    for (int l = x.low + 1; l < x.high; ++l) totals += LoadLanes(row, l, c) * rowShare;
    return totals + LoadLanes(row, x.high, c) * (rowShare * x.highFraction);
}

template <int c>
void ScaleRow(Scaler* s, int i, uint8_t* out) {
    const BoxStep& y = s->rows[static_cast<size_t>(i)];
    const float** rows = s->rowsOfBox.data();
    for (int m = y.low; m <= y.high; ++m) rows[m - y.low] = FloatRow(s->picture, &s->cache, m);
    const int middleRows = y.high > y.low ? y.high - y.low - 1 : 0;
    const float* lowRow = rows[0];
    const float* highRow = rows[y.high - y.low];
    const float first = 1 - y.lowFraction;
    const float last = y.highFraction;
    const float share = y.highFraction - y.lowFraction;
    float* totalsOut = s->totals.get();
    const Lanes zero = {0.0f, 0.0f, 0.0f, 0.0f};
    if (y.high == y.low) {
        // A box within one input row.
        for (const BoxStep& x : s->columns) {
            const Lanes totals = x.high > x.low ? AddRowOfBox<c>(zero, lowRow, x, share)
                                                : LoadLanes(lowRow, x.low, c) * (share * (x.highFraction - x.lowFraction));
            std::memcpy(totalsOut, &totals, sizeof totals);
            totalsOut += c;
        }
    } else if (middleRows == 0) {
        // A box over two input rows, the first and the last.
        for (const BoxStep& x : s->columns) {
            Lanes totals;
            if (x.high > x.low) {
                totals = AddRowOfBox<c>(AddRowOfBox<c>(zero, lowRow, x, first), highRow, x, last);
            } else {
                totals = LoadLanes(lowRow, x.low, c) * (first * (x.highFraction - x.lowFraction)) + LoadLanes(highRow, x.low, c) * ((x.highFraction - x.lowFraction) * last);
            }
            std::memcpy(totalsOut, &totals, sizeof totals);
            totalsOut += c;
        }
    } else if (middleRows == 1) {
        // Three input rows: the one between the first and the last is read
        // where GLU's pointers have not drifted yet.
        const float* middleRow = rows[1];
        for (const BoxStep& x : s->columns) {
            Lanes totals;
            if (x.high > x.low) {
                totals = AddRowOfBox<c>(AddRowOfBox<c>(zero, lowRow, x, first), highRow, x, last);
                totals += LoadLanes(middleRow, x.low, c) * (1 - x.lowFraction) +
                          LoadLanes(middleRow, x.high, c) * x.highFraction;
                for (int l = x.low + 1; l < x.high; ++l) totals += LoadLanes(middleRow, l, c);
            } else {
                const float xShare = x.highFraction - x.lowFraction;
                totals = LoadLanes(lowRow, x.low, c) * (first * xShare);
                totals += LoadLanes(middleRow, x.low, c) * xShare;
                totals += LoadLanes(highRow, x.low, c) * (xShare * last);
            }
            std::memcpy(totalsOut, &totals, sizeof totals);
            totalsOut += c;
        }
    } else {
        for (const BoxStep& x : s->columns) {
            Lanes totals;
            if (x.high > x.low) {
                totals = AddRowOfBox<c>(AddRowOfBox<c>(zero, lowRow, x, first), highRow, x, last);
                for (int q = 0; q < middleRows; ++q) {
                    const int m = y.low + 1 + q;
                    totals += EdgeLanes(*s, m, x.low + q, rows[q + 1]) * (1 - x.lowFraction) +
                              EdgeLanes(*s, m, x.high + q, rows[q + 1]) * x.highFraction;
                }
            } else {
                totals = LoadLanes(lowRow, x.low, c) * (first * (x.highFraction - x.lowFraction));
                for (int q = 0; q < middleRows; ++q) totals += LoadLanes(rows[q + 1], x.low, c) * (x.highFraction - x.lowFraction);
                totals += LoadLanes(highRow, x.low, c) * ((x.highFraction - x.lowFraction) * last);
            }
            for (int q = 0; q < middleRows; ++q) {
                for (int l = x.low + 1; l < x.high; ++l) totals += LoadLanes(rows[q + 1], l, c);
            }
            std::memcpy(totalsOut, &totals, sizeof totals);
            totalsOut += c;
        }
    }
    // Each channel's total over the box's area, stored into a byte as GLU
    // does: truncated to an integer, the low byte kept.
    const float area = s->area;
    const size_t count = s->columns.size() * static_cast<size_t>(c);
    const float* totals = s->totals.get();
    for (size_t k = 0; k < count; ++k) out[k] = static_cast<uint8_t>(static_cast<int32_t>(totals[k] / area));
}

// --- Halving -----------------------------------------------------------------

// One row of the next level from two rows of this one, each channel
// (a + b + c + d + 2) / 4.
template <size_t c>
void HalveRowsOf(const uint8_t* upper, const uint8_t* lower, size_t half, uint8_t* out) {
    for (size_t j = 0; j < half; ++j) {
        const uint8_t* a = upper + 2 * j * c;
        const uint8_t* b = lower + 2 * j * c;
        for (size_t k = 0; k < c; ++k) {
            out[j * c + k] = static_cast<uint8_t>((a[k] + a[c + k] + b[k] + b[c + k] + 2) / 4);
        }
    }
}

void HalveRows(const uint8_t* upper, const uint8_t* lower, int width, int components, uint8_t* out) {
    const size_t half = static_cast<size_t>(width / 2);
    if (components == 3) {
        HalveRowsOf<3>(upper, lower, half, out);
    } else {
        HalveRowsOf<4>(upper, lower, half, out);
    }
}

// A single row halved along itself, each channel (a + b) / 2.
void HalveAlongRow(const uint8_t* row, int width, int components, uint8_t* out) {
    const size_t c = static_cast<size_t>(components);
    const size_t half = static_cast<size_t>(width / 2);
    for (size_t j = 0; j < half; ++j) {
        for (size_t k = 0; k < c; ++k) out[j * c + k] = static_cast<uint8_t>((row[2 * j * c + k] + row[2 * j * c + c + k]) / 2);
    }
}

// A single column halved: two one-pixel rows, each channel (a + b) / 2.
void HalveColumn(const uint8_t* upper, const uint8_t* lower, int components, uint8_t* out) {
    for (int k = 0; k < components; ++k) out[k] = static_cast<uint8_t>((upper[k] + lower[k]) / 2);
}

// --- The levels as a stream of rows ------------------------------------------

struct Level {
    int width;
    int height;
    int bandRows;
    int bandFirst;  // the level's row of the band's first row
    int filled;
    std::unique_ptr<uint8_t[]> band;
};

struct Pyramid {
    std::vector<Level> levels;
    int components;
    MipmapRowsSink sink;
    void* context;
};

size_t RowBytes(const Level& level, int components) {
    return static_cast<size_t>(level.width) * static_cast<size_t>(components);
}

void HandOn(Pyramid* p, size_t k, const uint8_t* rows, int first, int count, size_t stride);

// A row of level k is ready in its band: hand the band on once it is full
// or holds the level's last row.
void AddedRow(Pyramid* p, size_t k) {
    Level& level = p->levels[k];
    ++level.filled;
    if (level.filled < level.bandRows && level.bandFirst + level.filled < level.height) return;
    HandOn(p, k, level.band.get(), level.bandFirst, level.filled, RowBytes(level, p->components));
    level.bandFirst += level.filled;
    level.filled = 0;
}

uint8_t* NextBandRow(Pyramid* p, size_t k) {
    Level& level = p->levels[k];
    return level.band.get() + static_cast<size_t>(level.filled) * RowBytes(level, p->components);
}

// Rows first to first + count - 1 of level k: to the sink, then into the
// next level (a row count that is even, or the level's one row).
void HandOn(Pyramid* p, size_t k, const uint8_t* rows, int first, int count, size_t stride) {
    const Level& level = p->levels[k];
    const size_t packed = RowBytes(level, p->components);
    if (stride == packed) {
        p->sink(MipmapRows{static_cast<int>(k), level.width, level.height, p->components, first, count, rows},
                p->context);
    } else {
        for (int r = 0; r < count; ++r) {
            p->sink(MipmapRows{static_cast<int>(k), level.width, level.height, p->components, first + r, 1,
                               rows + static_cast<size_t>(r) * stride},
                    p->context);
        }
    }
    if (k + 1 == p->levels.size()) return;
    if (level.height == 1) {
        HalveAlongRow(rows, level.width, p->components, NextBandRow(p, k + 1));
        AddedRow(p, k + 1);
        return;
    }
    for (int r = 0; r + 1 < count; r += 2) {
        const uint8_t* upper = rows + static_cast<size_t>(r) * stride;
        const uint8_t* lower = upper + stride;
        if (level.width == 1) {
            HalveColumn(upper, lower, p->components, NextBandRow(p, k + 1));
        } else {
            HalveRows(upper, lower, level.width, p->components, NextBandRow(p, k + 1));
        }
        AddedRow(p, k + 1);
    }
}

}  // namespace

int NearestPowerOfTwo(int value) {
    if (value < 1) return 1;
    unsigned rest = static_cast<unsigned>(value);
    int power = 1;
    // GLU's rule: shift down to 1 (round down) or to 3 (two top bits set:
    // round up).
    while (rest != 1 && rest != 3) {
        rest >>= 1;
        power *= 2;
    }
    return rest == 3 ? power * 4 : power;
}

int MipmapLevelCount(int width, int height) {
    int levels = 0;
    while ((width >> levels) > 1 || (height >> levels) > 1) ++levels;
    return levels;
}

bool MakeMipmapLevels(const MipmapPicture& picture, int width, int height, MipmapRowsSink sink, void* context) {
    const int c = picture.components;
    if (picture.pixels == nullptr || picture.width < 1 || picture.height < 1 || width < 1 || height < 1 ||
        (c != 3 && c != 4) || picture.rowStride < static_cast<size_t>(picture.width) * static_cast<size_t>(c)) {
        return false;
    }
    Pyramid p{{}, c, sink, context};
    const int count = MipmapLevelCount(width, height);
    for (int k = 0; k <= count; ++k) {
        Level level{};
        level.width = width >> k > 0 ? width >> k : 1;
        level.height = height >> k > 0 ? height >> k : 1;
        level.bandRows = level.height < BAND_ROWS ? level.height : BAND_ROWS;
        p.levels.push_back(std::move(level));
    }
    // Level 0 comes from the picture in bands, except where it is the picture.
    const bool scaled = picture.width != width || picture.height != height;
    for (size_t k = scaled ? 0 : 1; k < p.levels.size(); ++k) {
        p.levels[k].band.reset(new uint8_t[static_cast<size_t>(p.levels[k].bandRows) * RowBytes(p.levels[k], c)]);
    }
    if (!scaled) {
        HandOn(&p, 0, picture.pixels, 0, height, picture.rowStride);
        return true;
    }
    if (picture.width == 2 * width && picture.height == 2 * height) {
        // An exact 2:1 shrink is a halving, as in GLU.
        for (int i = 0; i < height; ++i) {
            const uint8_t* upper = picture.pixels + static_cast<size_t>(2 * i) * picture.rowStride;
            HalveRows(upper, upper + picture.rowStride, picture.width, c, NextBandRow(&p, 0));
            AddedRow(&p, 0);
        }
        return true;
    }
    Scaler scaler = MakeScaler(picture, width, height);
    for (int i = 0; i < height; ++i) {
        if (c == 3) {
            ScaleRow<3>(&scaler, i, NextBandRow(&p, 0));
        } else {
            ScaleRow<4>(&scaler, i, NextBandRow(&p, 0));
        }
        AddedRow(&p, 0);
    }
    return true;
}
