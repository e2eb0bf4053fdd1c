#define GL_GLEXT_PROTOTYPES
#include "bench/bench_support.h"

#include <GL/glext.h>
#include <malloc.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <filesystem>

#include "app/app_window.h"
#include "render/scene_renderer.h"
#include "render/view.h"
#include "scene/panels.h"
#include "tests/support/program.h"

namespace {

bool pictureCheckFailed = false;

// The program's outline colours and widths.
constexpr float DARK_GREY = 0.2f;
constexpr float LIGHT_GREY = 0.8f;
constexpr float OUTLINE_WIDTH = 3.0f;
constexpr float HAIRLINE_WIDTH = 1.0f;

struct RulePanels {
    int cursor;
    int strips[3];
};
constexpr RulePanels RULES[2] = {
    {PANEL_CURSOR_A, {PANEL_UPPER_BODY_A, PANEL_SLIDE_A, PANEL_LOWER_BODY_A}},
    {PANEL_CURSOR_B, {PANEL_UPPER_BODY_B, PANEL_SLIDE_B, PANEL_LOWER_BODY_B}},
};

FloorVertex Vertex(float x, float y, float z, const float* texCoord, float grey) {
    return FloorVertex{{x, y, z}, {texCoord[0], texCoord[1]}, {grey, grey, grey}};
}

// One rule's outline: the lines carry the texture coordinate that was given
// last, the one of the last strip corner drawn before them.
void AddOutline(std::vector<FloorVertex>* out, const Panel& cursor, const float* lastTexCoord) {
    const auto& c = cursor.corner;
    auto at = [&](int k, float grey) { return Vertex(c[k][0], c[k][1], c[k][2], lastTexCoord, grey); };
    // The hairline's x is halfway along the bottom and top edges, in double
    // as the program computes it; GL keeps positions as floats either way.
    const float bottomX = static_cast<float>((static_cast<double>(c[0][0]) + c[3][0]) / 2.0);
    const float topX = static_cast<float>((static_cast<double>(c[1][0]) + c[2][0]) / 2.0);
    out->insert(out->end(), {at(0, DARK_GREY), at(1, DARK_GREY), at(2, DARK_GREY), at(3, DARK_GREY),
                             Vertex(bottomX, c[0][1], c[0][2], lastTexCoord, DARK_GREY),
                             Vertex(topX, c[1][1], c[0][2], lastTexCoord, DARK_GREY),
                             at(1, LIGHT_GREY), at(2, LIGHT_GREY), at(0, LIGHT_GREY), at(3, LIGHT_GREY)});
}

}  // namespace

SteadyMemory::SteadyMemory() {
    // glibc's own ceilings for the thresholds it raises.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
}

SteadyMemory::~SteadyMemory() {
    mallopt(M_MMAP_THRESHOLD, START_UP_MALLOC_THRESHOLD);
    mallopt(M_TRIM_THRESHOLD, START_UP_MALLOC_THRESHOLD);
}

const std::string& DefaultDataFolder() {
    static const std::string folder = std::filesystem::path(VERNASKEL_DATA_DIR).parent_path().string();
    return folder;
}

bool ReadDefaultTextureList(benchmark::State& state, TextureList* list) {
    const std::string path = DefaultDataFolder() + "/data/ts";
    FILE* file = std::fopen(path.c_str(), "r");
    const bool read = file != nullptr && ReadTextureList(file, list).problem == ListProblem::None;
    if (file != nullptr) std::fclose(file);
    if (!read) state.SkipWithError("no default data: build the vernaskel_default_data target first");
    return read;
}

bool StartOnDefaultData(benchmark::State& state) {
    TextureList list;
    if (!ReadDefaultTextureList(state, &list)) return false;
    if (StartProgramIn(DefaultDataFolder(), BENCH_WIDTH, BENCH_HEIGHT)) return true;
    state.SkipWithError("no headless window");
    return false;
}

bool CheckSamePicture(benchmark::State& state, const char* floor, const std::vector<uint8_t>& program,
                      const std::vector<uint8_t>& drawn) {
    size_t differing = 0;
    size_t first = 0;
    if (program.size() == drawn.size()) {
        for (size_t k = 0; k < program.size(); k += 4) {
            const bool same = std::equal(&program[k], &program[k + 3], &drawn[k]);
            if (!same && differing++ == 0) first = k;
        }
    }
    if (program.size() == drawn.size() && differing == 0 && !program.empty()) return true;

    pictureCheckFailed = true;
    if (program.size() != drawn.size() || program.empty()) {
        std::fprintf(stderr, "PICTURE CHECK FAILED: %s: %zu bytes read back against the program's %zu\n", floor,
                     drawn.size(), program.size());
    } else {
        const size_t pixel = first / 4;
        std::fprintf(stderr,
                     "PICTURE CHECK FAILED: %s does not draw the program's picture: %zu pixels differ, the first "
                     "at (%zu, %zu) from the top left: program %d %d %d, floor %d %d %d\n",
                     floor, differing, pixel % BENCH_WIDTH, pixel / BENCH_WIDTH, program[first], program[first + 1],
                     program[first + 2], drawn[first], drawn[first + 1], drawn[first + 2]);
    }
    state.SkipWithError("the floor's picture differs from the program's (see standard error)");
    return false;
}

bool AnyPictureCheckFailed() { return pictureCheckFailed; }

StartupParts& MeasuredStartupParts() {
    static StartupParts parts;
    return parts;
}

FloorScene CaptureFloorScene() {
    FloorScene scene{};
    // The frame leaves its projection set; the camera is pushed and popped.
    glGetDoublev(GL_PROJECTION_MATRIX, scene.projection);
    glMatrixMode(GL_MODELVIEW);
    ApplyCamera();
    glGetDoublev(GL_MODELVIEW_MATRIX, scene.modelview);
    glPopMatrix();
    scene.clientWidth = static_cast<int>(viewState.clientWidth);
    scene.clientHeight = static_cast<int>(viewState.clientHeight);

    for (int rule = 0; rule < 2; ++rule) {
        const RulePanels& panels = RULES[rule];
        const Panel& before = panelTable.panels[RULES[1 - rule].strips[2]];
        AddOutline(&scene.vertices, panelTable.panels[panels.cursor], before.texCoord[3]);
        for (int strip : panels.strips) {
            const Panel& panel = panelTable.panels[strip];
            for (int k = 0; k < 4; ++k) {
                scene.vertices.push_back(
                    Vertex(panel.corner[k][0], panel.corner[k][1], panel.corner[k][2], panel.texCoord[k], 1.0f));
            }
        }
        // Truncated as the program truncates it.
        scene.textureIndex[rule] = static_cast<int>(panelTable.panels[panels.strips[0]].textureIndex);
    }
    return scene;
}

void UploadFloorScene(FloorScene* scene, const uint32_t* textureNames) {
    for (int rule = 0; rule < 2; ++rule) {
        const int index = scene->textureIndex[rule];
        scene->textures[rule] = index >= 0 && index < TEXTURE_TABLE_CAPACITY ? textureNames[index] : 0;
    }
    glGenBuffers(1, &scene->buffer);
    glBindBuffer(GL_ARRAY_BUFFER, scene->buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(scene->vertices.size() * sizeof(FloorVertex)),
                 scene->vertices.data(), GL_STATIC_DRAW);
    const GLsizei stride = sizeof(FloorVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(FloorVertex, position)));
    glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(FloorVertex, texCoord)));
    glColorPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(FloorVertex, colour)));

    glViewport(0, 0, scene->clientWidth, scene->clientHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(scene->projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(scene->modelview);
    glClearColor(0, 0, 0, 0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // As a frame ends: texturing on, the second rule's texture bound.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, scene->textures[1]);
}

void DrawFloorFrame(const FloorScene& scene, bool firstFrame) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (firstFrame) glDisable(GL_TEXTURE_2D);
    for (int rule = 0; rule < 2; ++rule) {
        const GLint first = rule * FLOOR_RULE_VERTICES;
        glLineWidth(OUTLINE_WIDTH);
        glDrawArrays(GL_LINES, first, 4);
        glLineWidth(HAIRLINE_WIDTH);
        glDrawArrays(GL_LINES, first + 4, 2);
        glLineWidth(OUTLINE_WIDTH);
        glDrawArrays(GL_LINES, first + 6, 4);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, scene.textures[rule]);
        glDrawArrays(GL_QUADS, first + FLOOR_OUTLINE_VERTICES, 12);
    }
    PresentFrame();
}
